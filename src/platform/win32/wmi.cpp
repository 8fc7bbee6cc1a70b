// WMI through COM: IWbemLocator on ROOT\CIMV2, the instances of one class, every
// non-system property turned into ANSI text. Any failing COM call throws RuntimeError
// with the HRESULT as its number.
#include "platform/win32/win32_api.h"
// after windows.h
#include <oleauto.h>
#include <wbemcli.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/wmi.h"

namespace {

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
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    owned_ = SUCCEEDED(hr);
  }
  ~ComScope() {
    if (owned_) CoUninitialize();
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
  wsprintfA(buf, " (0x%08lX)", static_cast<unsigned long>(hr));
  throw RuntimeError(static_cast<long>(hr), std::string("Automation error: ") + what + buf);
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) Fail(hr, what);
}

class BStr {
 public:
  explicit BStr(const std::wstring& s) : b_(SysAllocString(s.c_str())) {}
  ~BStr() { SysFreeString(b_); }
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  BSTR Get() const { return b_; }

 private:
  BSTR b_;
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
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, &v, VARIANT_ALPHABOOL, VT_BSTR))) return false;
  out = ToAnsi(text.bstrVal, static_cast<int>(SysStringLen(text.bstrVal)));
  VariantClear(&text);
  return true;
}

void SetBlanket(IUnknown* proxy) {
  // Impersonation lets the provider answer for this user; the call fails harmlessly on an
  // in-process object.
  CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

class Win32Wmi final : public Wmi {
 public:
  std::vector<WmiInstance> InstancesOf(const std::string& className) override {
    ComScope com;
    ComPtr<IWbemLocator> locator;
    Check(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                           reinterpret_cast<void**>(locator.Put())),
          "cannot create the WMI locator");
    ComPtr<IWbemServices> services;
    BStr ns(L"ROOT\\CIMV2");
    Check(locator->ConnectServer(ns.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                 services.Put()),
          "cannot connect to ROOT\\CIMV2");
    SetBlanket(services.Get());

    ComPtr<IEnumWbemClassObject> instances;
    BStr cls(ToWide(className));
    Check(services->CreateInstanceEnum(cls.Get(), WBEM_FLAG_FORWARD_ONLY, nullptr, instances.Put()),
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
    WmiInstance instance;
    Check(object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY), "cannot list the properties");
    for (;;) {
      BSTR name = nullptr;
      VARIANT value;
      VariantInit(&value);
      const HRESULT hr = object->Next(0, &name, &value, nullptr, nullptr);
      if (hr == WBEM_S_NO_MORE_DATA) break;
      if (FAILED(hr)) {
        object->EndEnumeration();
        Fail(hr, "cannot read a property");
      }
      std::optional<std::string> text;
      if (PropertyText(value, text))
        instance[ToAnsi(name, static_cast<int>(SysStringLen(name)))] = text;
      SysFreeString(name);
      VariantClear(&value);
    }
    object->EndEnumeration();
    return instance;
  }
};

}  // namespace

std::unique_ptr<Wmi> CreateWmi() {
  return std::make_unique<Win32Wmi>();
}
