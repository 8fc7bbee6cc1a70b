#pragma once
// Variables of this process, which the programs it starts inherit, set or removed for one
// scope and put back as they were at its end.
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ScopedVariables {
 public:
  using Value = std::pair<std::string, std::optional<std::string>>;  // nullopt: removed

  ScopedVariables() = default;
  ScopedVariables(std::initializer_list<Value> values);
  ~ScopedVariables();
  ScopedVariables(const ScopedVariables&) = delete;
  ScopedVariables& operator=(const ScopedVariables&) = delete;

  void Set(const std::string& name, const std::optional<std::string>& value);

 private:
  std::vector<Value> saved_;  // each name's value before its first Set
};
