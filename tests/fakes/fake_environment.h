#pragma once
#include <map>
#include <string>

#include "platform/environment.h"

// Variables set by the test; names match without regard to case.
class FakeEnvironment : public Environment {
 public:
  void Set(const std::string& name, const std::string& value) { vars_[Key(name)] = value; }
  void Unset(const std::string& name) { vars_.erase(Key(name)); }
  std::string GetVariable(const std::string& name) override {
    auto it = vars_.find(Key(name));
    return it == vars_.end() ? "" : it->second;
  }

 private:
  static std::string Key(std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
  }
  std::map<std::string, std::string> vars_;
};
