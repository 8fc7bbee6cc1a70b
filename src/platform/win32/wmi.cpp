// WMI through COM: IWbemLocator on ROOT\CIMV2, the instances of one class, every
// non-system property turned into ANSI text. Any failing COM call throws RuntimeError
// with the HRESULT as its number. ole32 and oleaut32 are loaded from the system folder on
// the first query; without them every query fails that way too. COM and the connection
// are made by the first query and kept for the later ones of the run.
#include "platform/wmi.h"

#include "platform/win32/win32_api.h"
// after windows.h
#include <oleauto.h>
#include <wbemcli.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/win32/com_variant.h"
#include "platform/win32/system_dll.h"

namespace {

// The COM and automation functions a query calls, resolved once; `error` is the code of
// the first one missing (0 when none is).
struct ComApi {
  decltype(&::CoInitializeEx) CoInitializeEx = nullptr;
  decltype(&::CoUninitialize) CoUninitialize = nullptr;
  decltype(&::CoCreateInstance) CoCreateInstance = nullptr;
  decltype(&::CoSetProxyBlanket) CoSetProxyBlanket = nullptr;
  decltype(&::SysAllocString) SysAllocString = nullptr;
  decltype(&::SysFreeString) SysFreeString = nullptr;
  decltype(&::SysStringLen) SysStringLen = nullptr;
  decltype(&::VariantChangeType) VariantChangeType = nullptr;
  decltype(&::VariantClear) VariantClear = nullptr;  // for ComVariant; checked here with the rest
  DWORD error = 0;

  template <typename F>
  void Resolve(F& fn, const char* dll, const char* name) {
    fn = system_dll::Get<F>(dll, name);
    if (fn == nullptr && error == 0) error = ::GetLastError();
  }
};

const ComApi& Com() {
  static const ComApi api = [] {
    ComApi a;
    a.Resolve(a.CoInitializeEx, "ole32.dll", "CoInitializeEx");
    a.Resolve(a.CoUninitialize, "ole32.dll", "CoUninitialize");
    a.Resolve(a.CoCreateInstance, "ole32.dll", "CoCreateInstance");
    a.Resolve(a.CoSetProxyBlanket, "ole32.dll", "CoSetProxyBlanket");
    a.Resolve(a.SysAllocString, "oleaut32.dll", "SysAllocString");
    a.Resolve(a.SysFreeString, "oleaut32.dll", "SysFreeString");
    a.Resolve(a.SysStringLen, "oleaut32.dll", "SysStringLen");
    a.Resolve(a.VariantChangeType, "oleaut32.dll", "VariantChangeType");
    a.Resolve(a.VariantClear, "oleaut32.dll", "VariantClear");
    return a;
  }();
  return api;
}

// Releases a COM interface when it goes out of scope.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** Put() { return &p_; }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// COM for this thread for one query; a thread already in another apartment is used as it is.
class ComScope {
 public:
  ComScope() {
    const HRESULT hr = Com().CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    owned_ = SUCCEEDED(hr);
  }
  ~ComScope() {
    if (owned_) Com().CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool owned_ = false;
};

std::string ToAnsi(const wchar_t* text, int length) {
  if (!text || length <= 0) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return "";
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring ToWide(const std::string& text) {
  if (text.empty()) return L"";
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

[[noreturn]] void Fail(HRESULT hr, const char* what) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " (0x%08lX)", static_cast<unsigned long>(hr));
  throw RuntimeError(static_cast<long>(hr), std::string("Automation error: ") + what + buf);
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) Fail(hr, what);
}

class BStr {
 public:
  BStr() = default;
  explicit BStr(const std::wstring& s) : b_(Com().SysAllocString(s.c_str())) {}
  ~BStr() { Com().SysFreeString(b_); }
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  // For a call's out-parameter, on an empty BStr.
  BSTR* Put() { return &b_; }
  BSTR Get() const { return b_; }

 private:
  BSTR b_ = nullptr;
};

// The property as text the way a script reads it: Null/Empty give nullopt; numbers,
// Booleans and dates through the variant's own conversion. Arrays have no text form and
// are left out of the map.
bool PropertyText(VARIANT& v, std::optional<std::string>& out) {
  if (v.vt == VT_NULL || v.vt == VT_EMPTY) {
    out.reset();
    return true;
  }
  if (v.vt & VT_ARRAY) return false;
  const ComApi& com = Com();
  ComVariant text;
  if (FAILED(com.VariantChangeType(text.Put(), &v, VARIANT_ALPHABOOL, VT_BSTR))) return false;
  out = ToAnsi(text.Get().bstrVal, static_cast<int>(com.SysStringLen(text.Get().bstrVal)));
  return true;
}

void SetBlanket(IUnknown* proxy) {
  // Impersonation lets the provider answer for this user; the call fails harmlessly on an
  // in-process object.
  Com().CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                          RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// COM for the thread and the connection to ROOT\CIMV2. Members are released in the
// reverse order: the services, the locator, then COM.
struct Session {
  ComScope com;
  ComPtr<IWbemLocator> locator;
  ComPtr<IWbemServices> services;
  DWORD thread = GetCurrentThreadId();
};

std::unique_ptr<Session> Connect() {
  auto session = std::make_unique<Session>();
  Check(Com().CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                               reinterpret_cast<void**>(session->locator.Put())),
        "cannot create the WMI locator");
  BStr ns(L"ROOT\\CIMV2");
  Check(session->locator->ConnectServer(ns.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                        session->services.Put()),
        "cannot connect to ROOT\\CIMV2");
  SetBlanket(session->services.Get());
  return session;
}

// Ends a property enumeration on every path out of the loop.
class PropertyEnumeration {
 public:
  explicit PropertyEnumeration(IWbemClassObject* object) : object_(object) {
    Check(object_->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY), "cannot list the properties");
  }
  ~PropertyEnumeration() { object_->EndEnumeration(); }
  PropertyEnumeration(const PropertyEnumeration&) = delete;
  PropertyEnumeration& operator=(const PropertyEnumeration&) = delete;

 private:
  IWbemClassObject* object_;
};

class Win32Wmi final : public Wmi {
 public:
  std::vector<WmiInstance> InstancesOf(const std::string& className) override {
    if (const DWORD missing = Com().error) Fail(HRESULT_FROM_WIN32(missing), "cannot load COM");
    // The first successful connection serves every later query of its thread: COM start-up,
    // the locator and the connection cost more than the query. A connection that failed is
    // not kept, so the next query tries again; another thread (apartment) gets its own.
    std::unique_ptr<Session> ownSession;
    Session* session = session_.get();
    if (session == nullptr || session->thread != GetCurrentThreadId()) {
      ownSession = Connect();
      session = ownSession.get();
      if (!session_) session_ = std::move(ownSession);
    }

    ComPtr<IEnumWbemClassObject> instances;
    BStr cls(ToWide(className));
    Check(session->services->CreateInstanceEnum(cls.Get(), WBEM_FLAG_FORWARD_ONLY, nullptr,
                                                instances.Put()),
          "cannot enumerate the class");
    SetBlanket(instances.Get());

    std::vector<WmiInstance> result;
    for (;;) {
      ComPtr<IWbemClassObject> object;
      ULONG returned = 0;
      const HRESULT hr =
          instances->Next(static_cast<long>(WBEM_INFINITE), 1, object.Put(), &returned);
      Check(hr, "cannot read the next instance");
      if (returned == 0 || !object.Get()) break;
      result.push_back(ReadProperties(object.Get()));
    }
    return result;
  }

 private:
  static WmiInstance ReadProperties(IWbemClassObject* object) {
    const ComApi& com = Com();
    WmiInstance instance;
    const PropertyEnumeration enumeration(object);
    for (;;) {
      BStr name;
      ComVariant value;
      const HRESULT hr = object->Next(0, name.Put(), value.Put(), nullptr, nullptr);
      if (hr == WBEM_S_NO_MORE_DATA) break;
      if (FAILED(hr)) Fail(hr, "cannot read a property");
      std::optional<std::string> text;
      if (PropertyText(value.Get(), text))
        instance[ToAnsi(name.Get(), static_cast<int>(com.SysStringLen(name.Get())))] = text;
    }
    return instance;
  }

  std::unique_ptr<Session> session_;
};

}  // namespace

std::unique_ptr<Wmi> CreateWmi() {
  return std::make_unique<Win32Wmi>();
}
