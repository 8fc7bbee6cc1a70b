#pragma once
// A modal window of labels and buttons with one timer. The form's logic lives with its
// caller: this service only shows the controls it is given, runs the modal loop, hands timer
// ticks and button presses to the form, and closes when told.
#include <cstdint>
#include <string>
#include <vector>

enum class ControlKind { Label, Button };

// A control as the form designer placed it, in pixels of the window's client area.
struct ControlSpec {
  std::string name;  // what events and setters call it: "LblMsg", "CmdYes" ...
  ControlKind kind = ControlKind::Label;
  std::string caption;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool visible = true;
};

struct FormSpec {
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  std::vector<ControlSpec> controls;
};

// The form's side. Called on the thread that called ShowModal, one event at a time, and
// never again once the form has asked the window to close.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The controls exist and the window is not yet visible.
  virtual void Load() = 0;
  // Once per timer interval, while the timer runs.
  virtual void Timer() = 0;
  // A visible button was pressed.
  virtual void Click(const std::string& button) = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  // Creates the form's controls, calls events.Load, shows the window and delivers events
  // until it closes: through Close from a handler, or by the user's own means (the close
  // box, Escape) without any event. Returns false when there is no window system to show it
  // on; then no event was delivered.
  virtual bool ShowModal(const FormSpec& form, WindowEvents& events) = 0;

  // For the handlers, while the window is shown. Unknown control names are ignored.
  virtual void SetCaption(const std::string& control, const std::string& caption) = 0;
  virtual void SetVisible(const std::string& control, bool visible) = 0;
  // Fires events.Timer every intervalMs from now on; 0 stops the timer.
  virtual void SetTimer(std::uint32_t intervalMs) = 0;
  // Closes the window; ShowModal returns once the current handler has returned.
  virtual void Close() = 0;
};
