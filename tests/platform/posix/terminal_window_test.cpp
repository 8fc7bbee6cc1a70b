// The terminal stand-in of the window on a pseudo-terminal: keys typed by the test are the
// user's presses, what the window draws is read back from the terminal's other side.
#include "platform/posix/terminal_window.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "ui/dialog.h"

namespace {
using Lines = std::vector<std::string>;

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    // Keys are typed ahead of the window; with signals on, the line discipline would take
    // Ctrl-C for itself before the window could read it.
    termios t{};
    if (slave_ >= 0 && tcgetattr(slave_, &t) == 0) {
      t.c_lflag &= ~static_cast<tcflag_t>(ISIG);
      tcsetattr(slave_, TCSANOW, &t);
    }
  }
  ~PseudoTerminal() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  bool ok() const { return slave_ >= 0; }
  int slave() const { return slave_; }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // Everything the window has drawn so far.
  std::string Screen() {
    std::string out;
    pollfd p{master_, POLLIN, 0};
    char buf[4096];
    while (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
  }
  tcflag_t LocalFlags() const {
    termios t{};
    tcgetattr(slave_, &t);
    return t.c_lflag;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

struct Answer {
  const char* keys;
  bool okOnly;
  bool result;
  Lines log;
  const char* buttonsDrawn;
};

TEST(TerminalWindow, KeysAnswerTheDialog) {
  const Answer cases[] = {
      {"n", false, false, {"MSG: User clicked on <<NO>> button"}, "[Y] Yes  [N] No"},
      {"Y", false, true, {"MSG: User clicked on <<Yes>> button"}, "[Y] Yes  [N] No"},
      // Keys of hidden buttons and unknown keys do nothing.
      {"xyno", true, true, {"MSG: User clicked on <<OK>> button"}, "[O] OK "},
      // Escape alone and Ctrl-C close the window with no answer.
      {"\x1b", false, false, {}, "[Y] Yes  [N] No"},
      {"q\x03y", false, false, {}, "[Y] Yes  [N] No"},
  };
  for (const auto& c : cases) {
    PseudoTerminal tty;
    ASSERT_TRUE(tty.ok());
    const tcflag_t before = tty.LocalFlags();
    TerminalWindow window(tty.slave(), false);
    FakeRun run(window);
    Dialog dialog(run.ctx);
    tty.Type(c.keys);
    std::string message;
    double seconds = 30;
    bool okOnly = c.okOnly;
    EXPECT_EQ(dialog.ShowForm(message, seconds, okOnly), c.result) << c.keys;
    EXPECT_EQ(run.LogMessages(), c.log) << c.keys;
    EXPECT_EQ(tty.LocalFlags(), before) << "terminal left changed by " << c.keys;
    const std::string screen = tty.Screen();
    for (const char* text :
         {"Ruze Dezu Dazaded", "Do you want to shutdown?", "30 second(s)", c.buttonsDrawn})
      EXPECT_NE(screen.find(text), std::string::npos) << text << " not in: " << screen;
    if (c.okOnly) {
      EXPECT_EQ(screen.find("[Y]"), std::string::npos);
    }
  }
}

// A form whose timer runs fast and closes it at the third tick.
struct ThreeTicks : WindowEvents {
  explicit ThreeTicks(Window& w) : window(w) {}
  void Load() override {
    window.SetTimer(5);
    window.SetCaption("Lbl", "tick 0");
  }
  void Timer() override {
    ++ticks;
    window.SetCaption("Lbl", "tick " + std::to_string(ticks));
    if (ticks == 3) window.Close();
  }
  void Click(const std::string& button) override { clicks.push_back(button); }
  Window& window;
  int ticks = 0;
  Lines clicks;
};

const FormSpec kForm{"Ticks", 100, 50, {{"Lbl", ControlKind::Label, "", 0, 0, 100, 20, true}}};

TEST(TerminalWindow, TimerTicksRedrawTheWindow) {
  PseudoTerminal tty;
  ASSERT_TRUE(tty.ok());
  TerminalWindow window(tty.slave(), false);
  ThreeTicks form(window);
  EXPECT_TRUE(window.ShowModal(kForm, form));
  EXPECT_EQ(form.ticks, 3);
  const std::string screen = tty.Screen();
  for (const char* text : {"tick 0", "tick 1", "tick 2", "tick 3"})
    EXPECT_NE(screen.find(text), std::string::npos) << text;
}

TEST(TerminalWindow, WithoutTerminalOnlyTheTimerCloses) {
  TerminalWindow window(-1, false);
  ThreeTicks form(window);
  EXPECT_TRUE(window.ShowModal(kForm, form));
  EXPECT_EQ(form.ticks, 3);

  // No timer and nobody to answer: it is gone at once rather than waiting forever.
  struct Idle : WindowEvents {
    void Load() override {}
    void Timer() override { ++ticks; }
    void Click(const std::string&) override {}
    int ticks = 0;
  } idle;
  EXPECT_TRUE(window.ShowModal(kForm, idle));
  EXPECT_EQ(idle.ticks, 0);
}

TEST(TerminalWindow, UnansweredDialogWithoutTerminalCountsDownToTrue) {
  TerminalWindow window(-1, false);
  FakeRun run(window);
  Dialog dialog(run.ctx);
  std::string message;
  double seconds = 0.5;  // one real tick
  bool okOnly = false;
  EXPECT_TRUE(dialog.ShowForm(message, seconds, okOnly));
  EXPECT_EQ(run.LogMessages(), Lines{"MSG: Interval elapsed closing window"});
}

}  // namespace
