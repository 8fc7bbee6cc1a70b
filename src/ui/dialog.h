#pragma once
// The countdown confirmation form: asks "Do you want to shutdown?" with Yes and No (or one
// OK button), shows the time left, and agrees by itself when the time runs out.
#include <string>

#include "platform/window.h"

class RunContext;

// The text shown for a number of seconds ("45 second(s)", "1 minute(s) 1 second(s)" ...);
// decimalSeparator is the locale's, used for seconds that are not whole.
std::string FormatTimeLeft(double seconds, const std::string& decimalSeparator);

class Dialog final : private WindowEvents {
 public:
  static constexpr const char* kCaption = "Ruze Dezu Dazaded";

  explicit Dialog(RunContext& ctx);

  // Shows the form modally and returns Result once it has closed. Result is kept between
  // showings: a window closed without an answer returns what the last answer was.
  bool ShowForm(const std::string& message, double seconds, bool okOnly);
  std::string TimeLeft(double seconds);

  void Form_Load();
  void CmdOK_Click();
  void CmdYes_Click();
  void CmdNo_Click();
  void Timer1_Timer();

  // The controls as designed (positions in pixels of the client area).
  static FormSpec Design();

  std::string Message;
  double SecondsLeft = 0;
  bool OkOnly = false;
  bool Result = false;

 private:
  void Load() override { Form_Load(); }
  void Timer() override { Timer1_Timer(); }
  void Click(const std::string& button) override;
  void Answer(const std::string& logLine, bool result);
  void Unload();

  RunContext& ctx_;
};
