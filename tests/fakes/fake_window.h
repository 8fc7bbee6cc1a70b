#pragma once
// A headless window: it keeps the controls' state, and delivers a scripted series of timer
// ticks, button presses and close-box clicks at once, without waiting for any clock.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/window.h"

class FakeWindow : public Window {
 public:
  struct Step {
    enum Kind { Tick, Press, CloseBox } kind = Tick;
    std::string button;
  };
  static Step TickStep() { return {Step::Tick, ""}; }
  static Step PressStep(const std::string& button) { return {Step::Press, button}; }
  static Step CloseBoxStep() { return {Step::CloseBox, ""}; }

  bool ShowModal(const FormSpec& form, WindowEvents& events) override;
  void SetCaption(const std::string& control, const std::string& caption) override;
  void SetVisible(const std::string& control, bool visible) override;
  void SetTimer(std::uint32_t intervalMs) override { timerIntervalMs = intervalMs; }
  void Close() override { closedByForm = true; }

  // The buttons visible at this moment, in the form's order.
  std::vector<std::string> VisibleButtons() const;

  // What the user does while the window is shown. Once the script has run out, the
  // window is left alone: ticks keep coming while the timer runs, at most maxTicks in all
  // (then the user gives up and closes it), and with no timer the user closes it.
  std::vector<Step> script;
  int maxTicks = 10000;
  // False: there is no window system, ShowModal fails.
  bool available = true;

  // What happened during the last showing.
  FormSpec form;
  std::map<std::string, std::string> captions;
  std::map<std::string, bool> visible;
  // Every caption change, in order: control name and new text.
  std::vector<std::pair<std::string, std::string>> captionChanges;
  std::uint32_t timerIntervalMs = 0;
  int shows = 0;
  int ticks = 0;
  bool closedByForm = false;
  bool closedByUser = false;
  // Presses the window refused: hidden or unknown buttons.
  std::vector<std::string> refusedPresses;

 private:
  bool Known(const std::string& control) const { return captions.count(control) > 0; }
  bool IsButton(const std::string& control) const;
};
