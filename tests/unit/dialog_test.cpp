#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes/fake_platform.h"

namespace {
using Lines = std::vector<std::string>;

// Shows a fresh dialog on a run whose window plays the given script.
class DialogTest : public ::testing::Test {
 protected:
  bool Show(double seconds, bool okOnly, std::vector<FakeWindow::Step> script = {}) {
    run.fake.window.script = std::move(script);
    std::string message = "shutdown";
    return dialog.ShowForm(message, seconds, okOnly);
  }
  FakeWindow& window() { return run.fake.window; }

  FakeRun run;
  Dialog dialog{run.ctx};
};

struct TimeLeftCase {
  double seconds;
  const char* separator;
  const char* text;
};

TEST_F(DialogTest, TimeLeftText) {
  const TimeLeftCase cases[] = {
      {0, ".", "0"},
      {-0.0, ".", "0"},
      {45, ".", "45 second(s)"},
      {1, ".", "1 second(s)"},
      {59.5, ".", "59.5 second(s)"},
      {59.5, ",", "59,5 second(s)"},
      {0.25, ".", "0.25 second(s)"},
      {-1, ".", "-1 second(s)"},
      {-0.5, ".", "-0.5 second(s)"},
      {-7200, ".", "-7200 second(s)"},
      {60, ".", "1 minute(s) "},
      {61, ".", "1 minute(s) 1 second(s)"},
      {119.5, ",", "1 minute(s) 59 second(s)"},
      {3599, ".", "59 minute(s) 59 second(s)"},
      {3599.9, ".", "59 minute(s) 59 second(s)"},
      {3600, ".", "1 hour(s) "},
      {3601, ".", "1 hour(s) 1 second(s)"},
      {3660, ".", "1 hour(s) 1 minute(s) "},
      {3661, ".", "1 hour(s) 1 minute(s) 1 second(s)"},
      {7200.5, ".", "2 hour(s) "},
      {90061, ".", "25 hour(s) 1 minute(s) 1 second(s)"},
      {std::numeric_limits<double>::quiet_NaN(), ".", ""},
      {std::numeric_limits<double>::infinity(), ".", ""},
  };
  for (const auto& c : cases) {
    run.fake.clock.decimalSeparator = c.separator;
    EXPECT_EQ(dialog.TimeLeft(c.seconds), c.text) << c.seconds << " with " << c.separator;
  }
}

TEST_F(DialogTest, CountdownWithoutAnswerAgreesAfterItsSeconds) {
  EXPECT_TRUE(Show(3, false));
  EXPECT_EQ(window().ticks, 3);
  EXPECT_TRUE(window().closedByForm);
  EXPECT_EQ(window().timerIntervalMs, 0u);  // stopped with the window
  EXPECT_EQ(run.LogMessages(), Lines{"MSG: Interval elapsed closing window"});
  using Change = std::pair<std::string, std::string>;
  EXPECT_EQ(window().captionChanges, (std::vector<Change>{{"LblTimer", "3 second(s)"},
                                                          {"LblTimer", "2 second(s)"},
                                                          {"LblTimer", "1 second(s)"}}));
}

TEST_F(DialogTest, FormAsLoaded) {
  std::string message = "Reboot now?";
  double seconds = 90;
  bool okOnly = false;
  window().script = {FakeWindow::CloseBoxStep()};
  dialog.ShowForm(message, seconds, okOnly);
  EXPECT_EQ(window().form.caption, "Ruze Dezu Dazaded");
  // The message is kept, the question stays as designed.
  EXPECT_EQ(dialog.Message, "Reboot now?");
  EXPECT_EQ(window().captions["LblMsg"], "Do you want to shutdown?");
  EXPECT_EQ(window().captions["LblTimer"], "1 minute(s) 30 second(s)");
  EXPECT_EQ(window().timerIntervalMs, 1000u);
  EXPECT_EQ(window().VisibleButtons(), (Lines{"CmdYes", "CmdNo"}));
  EXPECT_EQ(window().captions["CmdYes"], "Yes");
  EXPECT_EQ(window().captions["CmdNo"], "No");
}

struct PressCase {
  bool okOnly;
  const char* button;
  bool result;
  const char* logLine;
};

TEST_F(DialogTest, EachButtonLogsAnswersAndCloses) {
  const PressCase cases[] = {
      {false, "CmdYes", true, "MSG: User clicked on <<Yes>> button"},
      {false, "CmdNo", false, "MSG: User clicked on <<NO>> button"},
      {true, "CmdOK", true, "MSG: User clicked on <<OK>> button"},
  };
  for (const auto& c : cases) {
    FakeRun fresh;
    Dialog d(fresh.ctx);
    fresh.fake.window.script = {FakeWindow::TickStep(), FakeWindow::TickStep(),
                                FakeWindow::PressStep(c.button)};
    std::string message;
    double seconds = 30;
    bool okOnly = c.okOnly;
    EXPECT_EQ(d.ShowForm(message, seconds, okOnly), c.result) << c.button;
    EXPECT_EQ(fresh.LogMessages(), Lines{c.logLine}) << c.button;
    EXPECT_TRUE(fresh.fake.window.closedByForm) << c.button;
    EXPECT_EQ(fresh.fake.window.ticks, 2) << c.button;  // no tick after the press
    EXPECT_EQ(d.SecondsLeft, 28) << c.button;
  }
}

TEST_F(DialogTest, OkOnlyShowsOneButtonAndHidesYesNo) {
  // Yes cannot be pressed while hidden; the countdown decides.
  EXPECT_TRUE(Show(2, true, {FakeWindow::PressStep("CmdYes"), FakeWindow::PressStep("CmdNo")}));
  EXPECT_EQ(window().VisibleButtons(), Lines{"CmdOK"});
  EXPECT_EQ(window().captions["CmdOK"], "OK");
  EXPECT_EQ(window().refusedPresses, (Lines{"CmdYes", "CmdNo"}));
  EXPECT_EQ(run.LogMessages(), Lines{"MSG: Interval elapsed closing window"});

  // And the other way round on the next showing.
  EXPECT_FALSE(Show(2, false, {FakeWindow::PressStep("CmdOK"), FakeWindow::PressStep("CmdNo")}));
  EXPECT_EQ(window().VisibleButtons(), (Lines{"CmdYes", "CmdNo"}));
  EXPECT_EQ(window().refusedPresses, Lines{"CmdOK"});
}

struct ExpiryCase {
  double seconds;
  int ticks;
};

TEST_F(DialogTest, CountdownEndsOnceNoTimeIsLeftWhateverItStartedFrom) {
  const ExpiryCase cases[] = {
      {2.5, 3}, {0.25, 1}, {0, 1}, {-4, 1}, {1, 1}, {std::nan(""), 1},
  };
  for (const auto& c : cases) {
    FakeRun fresh;
    Dialog d(fresh.ctx);
    // A countdown that never ends would run into this and be closed by the user.
    fresh.fake.window.maxTicks = 50;
    std::string message;
    double seconds = c.seconds;
    bool okOnly = false;
    EXPECT_TRUE(d.ShowForm(message, seconds, okOnly)) << c.seconds;
    EXPECT_EQ(fresh.fake.window.ticks, c.ticks) << c.seconds;
    EXPECT_TRUE(fresh.fake.window.closedByForm) << c.seconds;
    EXPECT_EQ(fresh.LogMessages(), Lines{"MSG: Interval elapsed closing window"}) << c.seconds;
  }
}

TEST_F(DialogTest, ClosingOtherwiseKeepsTheLastAnswer) {
  EXPECT_FALSE(Show(30, false, {FakeWindow::TickStep(), FakeWindow::CloseBoxStep()}));
  EXPECT_TRUE(window().closedByUser);
  EXPECT_TRUE(run.LogMessages().empty());

  EXPECT_TRUE(Show(30, false, {FakeWindow::PressStep("CmdYes")}));
  EXPECT_TRUE(Show(30, false, {FakeWindow::CloseBoxStep()}));
  EXPECT_EQ(window().shows, 3);
  EXPECT_EQ(run.LogMessages(), Lines{"MSG: User clicked on <<Yes>> button"});
}

TEST_F(DialogTest, NoWindowSystemShowsNothingAndAgreesToNothing) {
  window().available = false;
  EXPECT_FALSE(Show(0, false));
  EXPECT_EQ(window().shows, 0);
  EXPECT_TRUE(run.LogMessages().empty());
}
}  // namespace
