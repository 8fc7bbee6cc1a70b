#include "support/scoped_variables.h"

#include <algorithm>

#include "support/test_support.h"

namespace {
void Apply(const std::string& name, const std::optional<std::string>& value) {
  if (value)
    test_support::SetProcessVariable(name, *value);
  else
    test_support::UnsetProcessVariable(name);
}
}  // namespace

ScopedVariables::ScopedVariables(std::initializer_list<Value> values) {
  for (const auto& [name, value] : values) Set(name, value);
}

ScopedVariables::~ScopedVariables() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Apply(it->first, it->second);
}

void ScopedVariables::Set(const std::string& name, const std::optional<std::string>& value) {
  if (std::none_of(saved_.begin(), saved_.end(),
                   [&](const Value& saved) { return saved.first == name; }))
    saved_.emplace_back(name, test_support::ProcessVariable(name));
  Apply(name, value);
}
