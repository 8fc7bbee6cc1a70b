// Win32 only: the form as a top-level window of STATIC and BUTTON children, with its own
// modal message loop and a WM_TIMER.
#include "platform/win32/win32_api.h"
// after windows.h
#include <map>
#include <memory>
#include <string>

#include "platform/service_factories.h"
#include "platform/window.h"

namespace {
constexpr char kClassName[] = "qEnvForm";
constexpr UINT_PTR kTimerId = 1;
constexpr int kFirstControlId = 100;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

class Win32Window final : public Window {
 public:
  bool ShowModal(const FormSpec& form, WindowEvents& events) override;
  void SetCaption(const std::string& control, const std::string& caption) override;
  void SetVisible(const std::string& control, bool visible) override;
  void SetTimer(std::uint32_t intervalMs) override;
  void Close() override;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  HWND Control(const std::string& name) const;
  bool CreateControls(const FormSpec& form);

  HWND hwnd_ = nullptr;
  WindowEvents* events_ = nullptr;
  bool done_ = true;
  std::map<std::string, HWND> controls_;
  std::map<int, std::string> buttonIds_;
};

// The form is laid out in pixels at 96 dots per inch. The manifest declares the program
// DPI-aware (no blurred bitmap stretching), so the layout follows the system's DPI, as
// the stock font does.
int Scaled(int pixels) {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int d = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return MulDiv(pixels, dpi, 96);
}

bool RegisterFormClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA wc{};
  if (GetClassInfoExA(instance, kClassName, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassExA(&wc) != 0;
}

LRESULT CALLBACK Win32Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<Win32Window*>(cs->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_TIMER:
      if (wParam == kTimerId && !done_) events_->Timer();
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDCANCEL) {  // Escape: as the close box
        DestroyWindow(hwnd);
        return 0;
      }
      auto it = buttonIds_.find(id);
      if (it != buttonIds_.end() && HIWORD(wParam) == BN_CLICKED && !done_) {
        HWND button = reinterpret_cast<HWND>(lParam);
        if (button == nullptr || IsWindowVisible(button)) events_->Click(it->second);
      }
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kTimerId);
      done_ = true;
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool Win32Window::CreateControls(const FormSpec& form) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int id = kFirstControlId;
  for (const ControlSpec& c : form.controls) {
    const bool button = c.kind == ControlKind::Button;
    DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
    style |= button ? (BS_PUSHBUTTON | WS_TABSTOP) : (SS_CENTER | SS_NOPREFIX);
    HWND child =
        CreateWindowExA(0, button ? "BUTTON" : "STATIC", c.caption.c_str(), style, Scaled(c.left),
                        Scaled(c.top), Scaled(c.width), Scaled(c.height), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (child == nullptr) return false;
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[c.name] = child;
    if (button) buttonIds_[id] = c.name;
    ++id;
  }
  return true;
}

bool Win32Window::ShowModal(const FormSpec& form, WindowEvents& events) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterFormClass(instance, &Proc)) return false;
  controls_.clear();
  buttonIds_.clear();
  events_ = &events;

  RECT frame{0, 0, Scaled(form.clientWidth), Scaled(form.clientHeight)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;

  done_ = false;
  HWND hwnd = CreateWindowExA(kExStyle, kClassName, form.caption.c_str(), kStyle, x, y, width,
                              height, nullptr, nullptr, instance, this);
  if (hwnd == nullptr) {
    done_ = true;
    return false;
  }
  if (!CreateControls(form)) {
    DestroyWindow(hwnd);
    return false;
  }

  events.Load();
  if (!done_) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    // Focus on the first visible button, so that Enter and Space press it.
    for (const auto& [id, name] : buttonIds_) {
      HWND button = controls_[name];
      if (IsWindowVisible(button)) {
        SetFocus(button);
        break;
      }
    }
  }

  MSG msg;
  bool quit = false;
  while (!done_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      if (hwnd_ != nullptr) DestroyWindow(hwnd_);
      break;
    }
    if (hwnd_ != nullptr && IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // WM_QUIT belongs to the loop that called us.
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  events_ = nullptr;
  controls_.clear();
  buttonIds_.clear();
  return true;
}

HWND Win32Window::Control(const std::string& name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void Win32Window::SetCaption(const std::string& control, const std::string& caption) {
  if (HWND c = Control(control)) SetWindowTextA(c, caption.c_str());
}

void Win32Window::SetVisible(const std::string& control, bool visible) {
  if (HWND c = Control(control)) ShowWindow(c, visible ? SW_SHOW : SW_HIDE);
}

void Win32Window::SetTimer(std::uint32_t intervalMs) {
  if (hwnd_ == nullptr) return;
  if (intervalMs == 0)
    KillTimer(hwnd_, kTimerId);
  else
    ::SetTimer(hwnd_, kTimerId, intervalMs, nullptr);
}

void Win32Window::Close() {
  if (hwnd_ != nullptr && !done_) DestroyWindow(hwnd_);
}
}  // namespace

std::unique_ptr<Window> CreateWindow() {
  return std::make_unique<Win32Window>();
}
