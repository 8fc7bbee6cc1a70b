#pragma once
// Scriptable doubles of WMI and the host-name lookup.
#include <functional>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "platform/net.h"
#include "platform/runtime_error.h"
#include "platform/wmi.h"

class FakeWmi : public Wmi {
 public:
  std::vector<WmiInstance> InstancesOf(const std::string& className) override {
    if (stuck.valid()) stuck.wait();
    ++queries;
    if (fails) throw RuntimeError(-2147217405, "Access denied");
    auto it = classes.find(className);
    return it == classes.end() ? std::vector<WmiInstance>{} : it->second;
  }
  std::map<std::string, std::vector<WmiInstance>> classes;
  bool fails = false;
  std::shared_future<void> stuck;  // when set, every query waits until it is ready
  int queries = 0;
};

class FakeNet : public Net {
 public:
  int Startup(std::uint16_t) override {
    ++startups;
    return 0;
  }
  void Cleanup() override { ++cleanups; }
  bool GetHostByName(const std::string& name, HostRecord& record) override {
    lookedUp.push_back(name);
    auto it = hosts.find(name);
    if (it == hosts.end()) return false;
    record = it->second;
    return true;
  }
  std::map<std::string, HostRecord> hosts;
  std::vector<std::string> lookedUp;
  int startups = 0;
  int cleanups = 0;
};
