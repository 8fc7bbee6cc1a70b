// POSIX only: termios raw mode, poll and ANSI cursor movement on the controlling terminal.
#include "platform/posix/terminal_window.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>
#include <thread>

#include "platform/service_factories.h"

namespace {
// Keys arrive one by one, unechoed, and Ctrl-C is a key (it closes the window) rather than
// a signal that would leave the terminal raw; the settings come back on every way out.
class RawMode {
 public:
  explicit RawMode(int fd) : fd_(fd) {
    if (fd_ < 0 || tcgetattr(fd_, &saved_) != 0) {
      fd_ = -1;
      return;
    }
    termios raw = saved_;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &raw) != 0) fd_ = -1;
  }
  ~RawMode() {
    if (fd_ >= 0) tcsetattr(fd_, TCSANOW, &saved_);
  }
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

 private:
  int fd_;
  termios saved_{};
};

constexpr char kEscape = 0x1b;
constexpr char kCtrlC = 0x03;
constexpr char kCtrlD = 0x04;
}  // namespace

TerminalWindow::TerminalWindow(int terminal, bool ownsTerminal)
    : fd_(terminal), ownsFd_(ownsTerminal) {}

TerminalWindow::TerminalWindow() : fd_(-1), ownsFd_(true), openOnShow_(true) {}

TerminalWindow::~TerminalWindow() {
  if (ownsFd_ && fd_ >= 0) close(fd_);
}

char TerminalWindow::KeyOf(const std::string& caption) {
  for (unsigned char c : caption)
    if (std::isalnum(c)) return static_cast<char>(std::toupper(c));
  return 0;
}

ControlSpec* TerminalWindow::Find(const std::string& name) {
  for (ControlSpec& c : controls_)
    if (c.name == name) return &c;
  return nullptr;
}

void TerminalWindow::SetCaption(const std::string& control, const std::string& caption) {
  ControlSpec* c = Find(control);
  if (c == nullptr || c->caption == caption) return;
  c->caption = caption;
  dirty_ = true;
}

void TerminalWindow::SetVisible(const std::string& control, bool visible) {
  ControlSpec* c = Find(control);
  if (c == nullptr || c->visible == visible) return;
  c->visible = visible;
  dirty_ = true;
}

void TerminalWindow::SetTimer(std::uint32_t intervalMs) {
  intervalMs_ = intervalMs;
  nextTick_ = Clock::now() + std::chrono::milliseconds(intervalMs);
}

void TerminalWindow::Write(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a terminal that went away just stops showing the window
    done += static_cast<std::size_t>(n);
  }
}

void TerminalWindow::Draw() {
  std::vector<const ControlSpec*> labels;
  std::vector<const ControlSpec*> buttons;
  for (const ControlSpec& c : controls_) {
    if (!c.visible) continue;
    (c.kind == ControlKind::Label ? labels : buttons).push_back(&c);
  }
  std::stable_sort(labels.begin(), labels.end(), [](auto* a, auto* b) { return a->top < b->top; });
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](auto* a, auto* b) { return a->left < b->left; });

  std::vector<std::string> lines;
  lines.push_back("== " + caption_ + " ==");
  for (const ControlSpec* l : labels) lines.push_back("   " + l->caption);
  std::string keys = "  ";
  for (const ControlSpec* b : buttons)
    keys += std::string(" [") + KeyOf(b->caption) + "] " + b->caption + " ";
  lines.push_back(keys);

  // Back to the first line of the last drawing, then every line afresh.
  std::string out;
  if (drawnLines_ > 0) out += "\r\x1b[" + std::to_string(drawnLines_) + "A";
  for (const std::string& line : lines) out += "\x1b[2K" + line + "\r\n";
  out += "\x1b[J";
  drawnLines_ = static_cast<int>(lines.size());
  dirty_ = false;
  Write(out);
}

void TerminalWindow::HandleInput(const char* bytes, long count, WindowEvents& events) {
  // A lone Escape is the close box; longer sequences that start with it are the terminal's
  // own keys (arrows, function keys) and mean nothing here.
  if (bytes[0] == kEscape) {
    if (count == 1) closed_ = true;
    return;
  }
  for (long i = 0; i < count && !closed_; ++i) {
    if (bytes[i] == kCtrlC || bytes[i] == kCtrlD) {
      closed_ = true;
      return;
    }
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[i])));
    for (const ControlSpec& c : controls_) {
      if (c.kind == ControlKind::Button && c.visible && key != 0 && KeyOf(c.caption) == key) {
        const std::string name = c.name;  // the handler may change the controls
        events.Click(name);
        break;
      }
    }
  }
}

bool TerminalWindow::ShowModal(const FormSpec& form, WindowEvents& events) {
  if (openOnShow_) {
    openOnShow_ = false;
    fd_ = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  caption_ = form.caption;
  controls_ = form.controls;
  intervalMs_ = 0;
  closed_ = false;
  drawnLines_ = 0;

  events.Load();
  bool input = fd_ >= 0 && isatty(fd_);
  RawMode raw(input ? fd_ : -1);
  if (input) Write("\x1b[?25l");  // no cursor blinking over the window
  if (input && !closed_) Draw();

  while (!closed_) {
    // With nobody at a terminal and no timer, nothing could ever close it.
    if (!input && intervalMs_ == 0) break;
    if (input) {
      int timeout = -1;
      if (intervalMs_ > 0) {
        // Rounded up: a wait rounded down to 0 would spin until the tick is due.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick_ - Clock::now());
        timeout = static_cast<int>(std::max<long long>(0, wait.count()));
      }
      pollfd p{fd_, POLLIN, 0};
      const int ready = poll(&p, 1, timeout);
      if (ready < 0 && errno != EINTR) input = false;
      if (ready > 0) {
        if (p.revents & POLLIN) {
          char bytes[32];
          const ssize_t n = read(fd_, bytes, sizeof bytes);
          if (n > 0)
            HandleInput(bytes, n, events);
          else if (n == 0 || errno != EINTR)
            input = false;
        } else {
          input = false;  // hung up
        }
      }
    } else {
      std::this_thread::sleep_until(nextTick_);
    }
    if (!closed_ && intervalMs_ > 0 && Clock::now() >= nextTick_) {
      const auto interval = std::chrono::milliseconds(intervalMs_);
      nextTick_ += interval;
      // After a stall (a stopped process), one tick and not a burst of them.
      if (nextTick_ <= Clock::now()) nextTick_ = Clock::now() + interval;
      events.Timer();
      dirty_ = true;
    }
    if (input && !closed_ && dirty_) Draw();
  }
  if (fd_ >= 0 && isatty(fd_)) {
    Draw();
    Write("\x1b[?25h");
  }
  return true;
}

std::unique_ptr<Window> CreateWindow() {
  // A run never shows the window: the terminal is opened only when it is.
  return std::make_unique<TerminalWindow>();
}
