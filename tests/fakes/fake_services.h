#pragma once
// Scriptable doubles of WMI and the host-name lookup.
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/net.h"
#include "platform/runtime_error.h"
#include "platform/wmi.h"

class FakeWmi : public Wmi {
 public:
  std::vector<WmiInstance> InstancesOf(const std::string& className) override {
    {
      // A stuck service: the query waits until the test lets it go.
      std::unique_lock<std::mutex> lock(gate_);
      opened_.wait(lock, [this] { return !blocks; });
    }
    ++queries;
    if (fails) throw RuntimeError(-2147217405, "Access denied");
    auto it = classes.find(className);
    return it == classes.end() ? std::vector<WmiInstance>{} : it->second;
  }
  void Unblock() {
    {
      const std::lock_guard<std::mutex> lock(gate_);
      blocks = false;
    }
    opened_.notify_all();
  }
  std::map<std::string, std::vector<WmiInstance>> classes;
  bool fails = false;
  bool blocks = false;  // set before the first query; Unblock() ends it
  int queries = 0;

 private:
  std::mutex gate_;
  std::condition_variable opened_;
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
