#pragma once
// The process environment. Names match without regard to case, as on Windows.
#include <string>

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value; the empty string when it is not set.
  virtual std::string GetVariable(const std::string& name) = 0;
};
