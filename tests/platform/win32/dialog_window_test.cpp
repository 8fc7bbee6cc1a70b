// The dialog on the real Win32 window, answered through the window system from a second
// thread, as a user would. Under Wine this needs an X display; without a window system the
// tests skip. The first test leaves a screenshot of the window in the build folder.
#include "platform/win32/win32_api.h"
// after windows.h
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_platform.h"
#include "platform/service_factories.h"
#include "support/test_support.h"
#include "ui/dialog.h"

namespace {
using Lines = std::vector<std::string>;

constexpr char kScreenshot[] = QENV_BINARY_DIR "/dialog_window.png";

// Wine gives a desktop of its own a virtual screen, where closing a window is immediate
// (on the bare X root, with no window manager, each close waits about two seconds). On
// Windows the desktop is simply an empty one.
HDESK TestDesktop() {
  static HDESK desktop = [] {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      const char size[] = "800x600";
      RegSetValueExA(key, "qenv-test", 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof size);
      RegCloseKey(key);
    }
    return CreateDesktopA("qenv-test", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  }();
  return desktop;
}

void UseTestDesktop() {
  if (HDESK d = TestDesktop()) SetThreadDesktop(d);
}

struct Control {
  std::string className;
  std::string text;
  bool visible;
  HWND hwnd;
};

std::string TextOf(HWND hwnd) {
  char buf[256] = {};
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

std::vector<Control> ControlsOf(HWND form) {
  std::vector<Control> out;
  for (HWND c = GetWindow(form, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(c, cls, sizeof cls);
    out.push_back({cls, TextOf(c), IsWindowVisible(c) != FALSE, c});
  }
  return out;
}

HWND Find(const std::vector<Control>& controls, const std::string& text) {
  for (const Control& c : controls)
    if (c.text == text) return c.hwnd;
  return nullptr;
}

Lines Visible(const std::vector<Control>& controls, const char* className) {
  Lines out;
  for (const Control& c : controls)
    if (c.visible && _stricmp(c.className.c_str(), className) == 0) out.push_back(c.text);
  return out;
}

// Imagemagick's import, a Linux program that Wine starts on request (without a handle to
// wait on: the finished file appears under its final name when it is complete).
bool TakeScreenshot(const std::string& path) {
  if (GetFileAttributesA("Z:\\usr\\bin\\import") == INVALID_FILE_ATTRIBUTES) return false;
  const std::string dosPath = "Z:" + path;
  DeleteFileA(dosPath.c_str());
  const std::string part = path + ".part.png";
  std::string command =
      "sh -c \"import -window root '" + part + "' && mv '" + part + "' '" + path + "'\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA("Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return false;
  if (pi.hProcess) CloseHandle(pi.hProcess);
  if (pi.hThread) CloseHandle(pi.hThread);
  for (int i = 0; i < 300; ++i) {
    if (GetFileAttributesA(dosPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

// The user at the screen: waits for the dialog, reads it, and then does one thing to it.
class User {
 public:
  template <typename Act>
  void Start(Act act) {
    thread_ = std::thread([this, act] {
      UseTestDesktop();
      for (int i = 0; i < 600 && form_ == nullptr; ++i) {
        HWND h = FindWindowA("qEnvForm", Dialog::kCaption);
        if (h != nullptr && IsWindowVisible(h))
          form_ = h;
        else
          Sleep(50);
      }
      if (form_ == nullptr) return;
      Sleep(300);  // let the window system draw it
      controls_ = ControlsOf(form_);
      act(form_, controls_);
    });
  }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  ~User() { Join(); }

  HWND form_ = nullptr;
  std::vector<Control> controls_;

 private:
  std::thread thread_;
};

class DialogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseTestDesktop();
    window_ = CreateWindow();
    // An empty form that closes as it loads: shown at all only with a window system.
    struct Probe : WindowEvents {
      Window* w;
      void Load() override { w->Close(); }
      void Timer() override {}
      void Click(const std::string&) override {}
    } probe;
    probe.w = window_.get();
    if (!window_->ShowModal(FormSpec{"probe", 10, 10, {}}, probe)) {
      EXPECT_FALSE(test_support::BedProvides("display")) << "this bed runs an X display";
      GTEST_SKIP() << "no window system (under Wine: no X display)";
    }
    run_ = std::make_unique<FakeRun>(*window_);
  }

  bool Show(double seconds, bool okOnly) {
    Dialog dialog(run_->ctx);
    std::string message = "shutdown";
    return dialog.ShowForm(message, seconds, okOnly);
  }

  std::unique_ptr<Window> window_;
  std::unique_ptr<FakeRun> run_;
};

TEST_F(DialogWindowTest, NoPressedOnTheWindowAnswersFalse) {
  bool screenshot = false;
  User user;
  user.Start([&](HWND, const std::vector<Control>& controls) {
    screenshot = TakeScreenshot(kScreenshot);
    PostMessageA(Find(controls, "No"), BM_CLICK, 0, 0);
  });
  EXPECT_FALSE(Show(30, false));
  user.Join();

  ASSERT_NE(user.form_, nullptr) << "the dialog never appeared";
  EXPECT_EQ(run_->LogMessages(), Lines{"MSG: User clicked on <<NO>> button"});
  EXPECT_EQ(Visible(user.controls_, "Static"), (Lines{"Do you want to shutdown?", "30 second(s)"}));
  EXPECT_EQ(Visible(user.controls_, "Button"), (Lines{"Yes", "No"}));
  EXPECT_FALSE(IsWindow(user.form_));
  if (GetFileAttributesA("Z:\\usr\\bin\\import") != INVALID_FILE_ATTRIBUTES) {
    ASSERT_TRUE(screenshot) << kScreenshot;
    FILE* f = std::fopen(("Z:" + std::string(kScreenshot)).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char magic[4] = {};
    EXPECT_EQ(std::fread(magic, 1, 4, f), 4u);
    std::fclose(f);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    std::printf("screenshot: %s\n", kScreenshot);
  }
}

TEST_F(DialogWindowTest, UnansweredWindowCountsDownToTrue) {
  User user;
  std::string captionSeen;
  user.Start([&](HWND form, const std::vector<Control>&) { captionSeen = TextOf(form); });
  EXPECT_TRUE(Show(2, false));
  user.Join();
  EXPECT_EQ(captionSeen, "Ruze Dezu Dazaded");
  EXPECT_EQ(run_->LogMessages(), Lines{"MSG: Interval elapsed closing window"});
}

TEST_F(DialogWindowTest, OkOnlyAnswersOkAndIgnoresItsHiddenButtons) {
  User user;
  user.Start([&](HWND, const std::vector<Control>& controls) {
    // A click that reaches a hidden button is no answer.
    PostMessageA(Find(controls, "Yes"), BM_CLICK, 0, 0);
    PostMessageA(Find(controls, "OK"), BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(Show(30, true));
  user.Join();
  EXPECT_EQ(Visible(user.controls_, "Button"), Lines{"OK"});
  EXPECT_EQ(run_->LogMessages(), Lines{"MSG: User clicked on <<OK>> button"});
}

TEST_F(DialogWindowTest, CloseBoxLeavesTheAnswerUnset) {
  User user;
  user.Start([&](HWND form, const std::vector<Control>&) { PostMessageA(form, WM_CLOSE, 0, 0); });
  EXPECT_FALSE(Show(30, false));
  user.Join();
  EXPECT_NE(user.form_, nullptr);
  EXPECT_TRUE(run_->LogMessages().empty());
}
}  // namespace
