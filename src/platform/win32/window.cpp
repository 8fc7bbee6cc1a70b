// Win32 only: the form as a top-level window of STATIC and BUTTON children, with its own
// modal message loop and a WM_TIMER. user32 and gdi32 come from the system folder when the
// first window is made.
#include "platform/window.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <map>
#include <memory>
#include <string>

#include "platform/service_factories.h"
#include "platform/win32/system_dll.h"

namespace {
constexpr char kClassName[] = "qEnvForm";
constexpr UINT_PTR kTimerId = 1;
constexpr int kFirstControlId = 100;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The window functions of user32 and gdi32, resolved on the first window: a run that shows
// none never loads them. `complete` is false when one is missing; then no window is made.
struct UserApi {
  decltype(&::GetClassInfoExA) GetClassInfoExA = nullptr;
  decltype(&::LoadCursorA) LoadCursorA = nullptr;
  decltype(&::RegisterClassExA) RegisterClassExA = nullptr;
  decltype(&::DefWindowProcA) DefWindowProcA = nullptr;
  decltype(&::DestroyWindow) DestroyWindow = nullptr;
  decltype(&::IsWindowVisible) IsWindowVisible = nullptr;
  decltype(&::KillTimer) KillTimer = nullptr;
  decltype(&::CreateWindowExA) CreateWindowExA = nullptr;
  decltype(&::SendMessageA) SendMessageA = nullptr;
  decltype(&::AdjustWindowRectEx) AdjustWindowRectEx = nullptr;
  decltype(&::GetSystemMetrics) GetSystemMetrics = nullptr;
  decltype(&::SystemParametersInfoA) SystemParametersInfoA = nullptr;
  decltype(&::ShowWindow) ShowWindow = nullptr;
  decltype(&::UpdateWindow) UpdateWindow = nullptr;
  decltype(&::SetForegroundWindow) SetForegroundWindow = nullptr;
  decltype(&::SetFocus) SetFocus = nullptr;
  decltype(&::GetMessageA) GetMessageA = nullptr;
  decltype(&::IsDialogMessageA) IsDialogMessageA = nullptr;
  decltype(&::TranslateMessage) TranslateMessage = nullptr;
  decltype(&::DispatchMessageA) DispatchMessageA = nullptr;
  decltype(&::PostQuitMessage) PostQuitMessage = nullptr;
  decltype(&::SetWindowTextA) SetWindowTextA = nullptr;
  decltype(&::SetTimer) SetTimer = nullptr;
  // 32-bit user32 has no ...LongPtr functions: the headers name the ...Long ones.
#ifdef _WIN64
  decltype(&::SetWindowLongPtrA) SetWindowLongPtrA = nullptr;
  decltype(&::GetWindowLongPtrA) GetWindowLongPtrA = nullptr;
#else
  decltype(&::SetWindowLongA) SetWindowLongPtrA = nullptr;
  decltype(&::GetWindowLongA) GetWindowLongPtrA = nullptr;
#endif
  decltype(&::GetStockObject) GetStockObject = nullptr;
  decltype(&::GetDC) GetDC = nullptr;
  decltype(&::ReleaseDC) ReleaseDC = nullptr;
  decltype(&::GetDeviceCaps) GetDeviceCaps = nullptr;
  bool complete = true;

  template <typename F>
  void Resolve(F& fn, const char* dll, const char* name) {
    fn = system_dll::Get<F>(dll, name);
    complete = complete && fn != nullptr;
  }
};

const UserApi& User() {
  static const UserApi api = [] {
    UserApi a;
    a.Resolve(a.GetClassInfoExA, "user32.dll", "GetClassInfoExA");
    a.Resolve(a.LoadCursorA, "user32.dll", "LoadCursorA");
    a.Resolve(a.RegisterClassExA, "user32.dll", "RegisterClassExA");
    a.Resolve(a.DefWindowProcA, "user32.dll", "DefWindowProcA");
    a.Resolve(a.DestroyWindow, "user32.dll", "DestroyWindow");
    a.Resolve(a.IsWindowVisible, "user32.dll", "IsWindowVisible");
    a.Resolve(a.KillTimer, "user32.dll", "KillTimer");
    a.Resolve(a.CreateWindowExA, "user32.dll", "CreateWindowExA");
    a.Resolve(a.SendMessageA, "user32.dll", "SendMessageA");
    a.Resolve(a.AdjustWindowRectEx, "user32.dll", "AdjustWindowRectEx");
    a.Resolve(a.GetSystemMetrics, "user32.dll", "GetSystemMetrics");
    a.Resolve(a.SystemParametersInfoA, "user32.dll", "SystemParametersInfoA");
    a.Resolve(a.ShowWindow, "user32.dll", "ShowWindow");
    a.Resolve(a.UpdateWindow, "user32.dll", "UpdateWindow");
    a.Resolve(a.SetForegroundWindow, "user32.dll", "SetForegroundWindow");
    a.Resolve(a.SetFocus, "user32.dll", "SetFocus");
    a.Resolve(a.GetMessageA, "user32.dll", "GetMessageA");
    a.Resolve(a.IsDialogMessageA, "user32.dll", "IsDialogMessageA");
    a.Resolve(a.TranslateMessage, "user32.dll", "TranslateMessage");
    a.Resolve(a.DispatchMessageA, "user32.dll", "DispatchMessageA");
    a.Resolve(a.PostQuitMessage, "user32.dll", "PostQuitMessage");
    a.Resolve(a.SetWindowTextA, "user32.dll", "SetWindowTextA");
    a.Resolve(a.SetTimer, "user32.dll", "SetTimer");
#ifdef _WIN64
    a.Resolve(a.SetWindowLongPtrA, "user32.dll", "SetWindowLongPtrA");
    a.Resolve(a.GetWindowLongPtrA, "user32.dll", "GetWindowLongPtrA");
#else
    a.Resolve(a.SetWindowLongPtrA, "user32.dll", "SetWindowLongA");
    a.Resolve(a.GetWindowLongPtrA, "user32.dll", "GetWindowLongA");
#endif
    a.Resolve(a.GetStockObject, "gdi32.dll", "GetStockObject");
    a.Resolve(a.GetDC, "user32.dll", "GetDC");
    a.Resolve(a.ReleaseDC, "user32.dll", "ReleaseDC");
    a.Resolve(a.GetDeviceCaps, "gdi32.dll", "GetDeviceCaps");
    return a;
  }();
  return api;
}

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
    HDC screen = User().GetDC(nullptr);
    const int d = screen ? User().GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) User().ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return MulDiv(pixels, dpi, 96);
}

bool RegisterFormClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA wc{};
  if (User().GetClassInfoExA(instance, kClassName, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = User().LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return User().RegisterClassExA(&wc) != 0;
}

LRESULT CALLBACK Win32Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    User().SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<Win32Window*>(cs->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Win32Window*>(User().GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return User().DefWindowProcA(hwnd, msg, wParam, lParam);
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
        User().DestroyWindow(hwnd);
        return 0;
      }
      auto it = buttonIds_.find(id);
      if (it != buttonIds_.end() && HIWORD(wParam) == BN_CLICKED && !done_) {
        HWND button = reinterpret_cast<HWND>(lParam);
        if (button == nullptr || User().IsWindowVisible(button)) events_->Click(it->second);
      }
      return 0;
    }
    case WM_CLOSE:
      User().DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      User().KillTimer(hwnd, kTimerId);
      done_ = true;
      return 0;
    case WM_NCDESTROY:
      User().SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
  }
  return User().DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool Win32Window::CreateControls(const FormSpec& form) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HFONT font = static_cast<HFONT>(User().GetStockObject(DEFAULT_GUI_FONT));
  int id = kFirstControlId;
  for (const ControlSpec& c : form.controls) {
    const bool button = c.kind == ControlKind::Button;
    DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
    style |= button ? (BS_PUSHBUTTON | WS_TABSTOP) : (SS_CENTER | SS_NOPREFIX);
    HWND child = User().CreateWindowExA(
        0, button ? "BUTTON" : "STATIC", c.caption.c_str(), style, Scaled(c.left), Scaled(c.top),
        Scaled(c.width), Scaled(c.height), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        instance, nullptr);
    if (child == nullptr) return false;
    User().SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[c.name] = child;
    if (button) buttonIds_[id] = c.name;
    ++id;
  }
  return true;
}

bool Win32Window::ShowModal(const FormSpec& form, WindowEvents& events) {
  if (!User().complete) return false;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterFormClass(instance, &Proc)) return false;
  controls_.clear();
  buttonIds_.clear();
  events_ = &events;

  RECT frame{0, 0, Scaled(form.clientWidth), Scaled(form.clientHeight)};
  User().AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{0, 0, User().GetSystemMetrics(SM_CXSCREEN), User().GetSystemMetrics(SM_CYSCREEN)};
  User().SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;

  done_ = false;
  HWND hwnd = User().CreateWindowExA(kExStyle, kClassName, form.caption.c_str(), kStyle, x, y,
                                     width, height, nullptr, nullptr, instance, this);
  if (hwnd == nullptr) {
    done_ = true;
    return false;
  }
  if (!CreateControls(form)) {
    User().DestroyWindow(hwnd);
    return false;
  }

  events.Load();
  if (!done_) {
    User().ShowWindow(hwnd, SW_SHOWNORMAL);
    User().UpdateWindow(hwnd);
    User().SetForegroundWindow(hwnd);
    // Focus on the first visible button, so that Enter and Space press it.
    for (const auto& [id, name] : buttonIds_) {
      HWND button = controls_[name];
      if (User().IsWindowVisible(button)) {
        User().SetFocus(button);
        break;
      }
    }
  }

  MSG msg;
  bool quit = false;
  while (!done_) {
    const BOOL got = User().GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      if (hwnd_ != nullptr) User().DestroyWindow(hwnd_);
      break;
    }
    if (hwnd_ != nullptr && User().IsDialogMessageA(hwnd_, &msg)) continue;
    User().TranslateMessage(&msg);
    User().DispatchMessageA(&msg);
  }
  // WM_QUIT belongs to the loop that called us.
  if (quit) User().PostQuitMessage(static_cast<int>(msg.wParam));
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
  if (HWND c = Control(control)) User().SetWindowTextA(c, caption.c_str());
}

void Win32Window::SetVisible(const std::string& control, bool visible) {
  if (HWND c = Control(control)) User().ShowWindow(c, visible ? SW_SHOW : SW_HIDE);
}

void Win32Window::SetTimer(std::uint32_t intervalMs) {
  if (hwnd_ == nullptr) return;
  if (intervalMs == 0)
    User().KillTimer(hwnd_, kTimerId);
  else
    User().SetTimer(hwnd_, kTimerId, intervalMs, nullptr);
}

void Win32Window::Close() {
  if (hwnd_ != nullptr && !done_) User().DestroyWindow(hwnd_);
}
}  // namespace

std::unique_ptr<Window> CreateWindow() {
  return std::make_unique<Win32Window>();
}
