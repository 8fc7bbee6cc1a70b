#pragma once
// A modal window with labels, buttons and a one-second timer, for the countdown dialog.
// (The dialog's issue fills this in.)
class Window {
 public:
  virtual ~Window() = default;
};
