#pragma once
// WMI on the local machine: the instances of a class, each a map of property name to
// its text (nullopt for a Null property). Any failure throws RuntimeError.
#include <map>
#include <optional>
#include <string>
#include <vector>

using WmiInstance = std::map<std::string, std::optional<std::string>>;

class Wmi {
 public:
  virtual ~Wmi() = default;
  virtual std::vector<WmiInstance> InstancesOf(const std::string& className) = 0;
};
