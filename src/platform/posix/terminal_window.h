#pragma once
// The window on a text terminal: the caption, the visible labels top to bottom and the
// visible buttons as keys, redrawn at every tick and whenever a control changes. With no
// terminal it is a window nobody answers: only the timer can close it.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

class TerminalWindow final : public Window {
 public:
  // terminal: a descriptor of a terminal, read and written, owned when ownsTerminal;
  // -1 for none.
  TerminalWindow(int terminal, bool ownsTerminal);
  // On the process's controlling terminal, opened when the window is first shown.
  TerminalWindow();
  ~TerminalWindow() override;
  TerminalWindow(const TerminalWindow&) = delete;
  TerminalWindow& operator=(const TerminalWindow&) = delete;

  bool ShowModal(const FormSpec& form, WindowEvents& events) override;
  void SetCaption(const std::string& control, const std::string& caption) override;
  void SetVisible(const std::string& control, bool visible) override;
  void SetTimer(std::uint32_t intervalMs) override;
  void Close() override { closed_ = true; }

  // The key that presses a button: the first letter or digit of its caption, upper-cased.
  static char KeyOf(const std::string& caption);

 private:
  using Clock = std::chrono::steady_clock;
  ControlSpec* Find(const std::string& name);
  void Draw();
  void Write(const std::string& text);
  void HandleInput(const char* bytes, long count, WindowEvents& events);

  int fd_;
  bool ownsFd_;
  bool openOnShow_ = false;
  std::string caption_;
  std::vector<ControlSpec> controls_;
  std::uint32_t intervalMs_ = 0;
  Clock::time_point nextTick_;
  bool closed_ = false;
  int drawnLines_ = 0;
  bool dirty_ = false;
};
