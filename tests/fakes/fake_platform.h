#pragma once
// Every platform service as a test double, and a run context built on them.
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_environment.h"
#include "fakes/fake_files.h"
#include "fakes/fake_process.h"
#include "fakes/fake_services.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "fakes/memory_registry.h"
#include "fakes/test_context.h"
#include "platform/platform.h"
#include "run/run_context.h"

struct FakePlatform {
  MemoryRegistry registry;
  FakeSystem system;
  FakeEnvironment environment;
  FakeClock clock;
  FakeFiles files;
  FakeWmi wmi;
  FakeNet net;
  FakeProcess process;
  FakeWindow window;

  Platform View() { return View(window); }
  // The fakes with another window service (a real one, for the window tests).
  Platform View(Window& shown, Wmi* asked = nullptr) {
    return Platform{registry, system,  environment, clock, files, asked ? *asked : wmi,
                    net,      process, shown};
  }
};

// A log file's lines, each without its CR LF.
std::vector<std::string> SplitLogLines(const std::string& content);
// A log file's messages: each line's part after the stamp and the tab.
std::vector<std::string> LogMessagesIn(const std::string& content);

// A run context on fakes with the log open on the file "log.txt"; LogLines() reads back
// what was written (each line without its CR LF).
class FakeRun {
 public:
  FakeRun();
  explicit FakeRun(Window& window);
  explicit FakeRun(Wmi& wmi);  // the fakes with another WMI service
  // Opens the log (what the start-up does); a fresh FakeRun has it open already.
  void OpenLog();
  std::vector<std::string> LogLines();
  // Only the messages (the part after the stamp and the tab).
  std::vector<std::string> LogMessages();

  FakePlatform fake;
  TestContext ctx;
  static constexpr const char* kLogPath = "log.txt";
};
