#include "ui/dialog.h"

#include "platform/clock.h"
#include "run/log_writer.h"
#include "run/run_context.h"

Dialog::Dialog(RunContext& ctx) : ctx_(ctx) {}

FormSpec Dialog::Design() {
  FormSpec form;
  form.caption = kCaption;
  form.clientWidth = 300;
  form.clientHeight = 124;
  form.controls = {
      {"LblMsg", ControlKind::Label, "Do you want to shutdown?", 12, 16, 276, 20, true},
      {"LblTimer", ControlKind::Label, "", 12, 44, 276, 20, true},
      {"CmdOK", ControlKind::Button, "OK", 112, 84, 76, 26, true},
      {"CmdYes", ControlKind::Button, "Yes", 64, 84, 76, 26, true},
      {"CmdNo", ControlKind::Button, "No", 160, 84, 76, 26, true},
  };
  return form;
}

bool Dialog::ShowForm(const std::string& message, double seconds, bool okOnly) {
  Message = message;
  SecondsLeft = seconds;
  OkOnly = okOnly;
  // Without a window system nothing was shown and nobody agreed: Result stays as it is.
  ctx_.platform.window.ShowModal(Design(), *this);
  return Result;
}

std::string Dialog::TimeLeft(double seconds) {
  std::string separator = ".";
  try {
    separator = ctx_.platform.clock.DecimalSeparator();
  } catch (...) {
  }
  return FormatTimeLeft(seconds, separator);
}

void Dialog::Form_Load() {
  Window& window = ctx_.platform.window;
  window.SetTimer(1000);
  window.SetVisible("CmdOK", OkOnly);
  window.SetVisible("CmdYes", !OkOnly);
  window.SetVisible("CmdNo", !OkOnly);
  window.SetCaption("LblTimer", TimeLeft(SecondsLeft));
}

void Dialog::Timer1_Timer() {
  SecondsLeft -= 1;
  // Once the time is up, whatever it started from: a countdown from a fraction, from 0 or
  // below (or from no number at all) would otherwise step past 0 and never end.
  if (!(SecondsLeft > 0)) {
    subWriteLog(ctx_, "MSG: Interval elapsed closing window");
    Result = true;
    Unload();
    return;
  }
  ctx_.platform.window.SetCaption("LblTimer", TimeLeft(SecondsLeft));
}

void Dialog::CmdOK_Click() {
  Answer("MSG: User clicked on <<OK>> button", true);
}
void Dialog::CmdYes_Click() {
  Answer("MSG: User clicked on <<Yes>> button", true);
}
void Dialog::CmdNo_Click() {
  Answer("MSG: User clicked on <<NO>> button", false);
}

void Dialog::Click(const std::string& button) {
  if (button == "CmdOK")
    CmdOK_Click();
  else if (button == "CmdYes")
    CmdYes_Click();
  else if (button == "CmdNo")
    CmdNo_Click();
}

void Dialog::Answer(const std::string& logLine, bool result) {
  subWriteLog(ctx_, logLine);
  Result = result;
  Unload();
}

void Dialog::Unload() {
  ctx_.platform.window.SetTimer(0);
  ctx_.platform.window.Close();
}
