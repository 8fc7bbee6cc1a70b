#pragma once
// Win32 only: a VARIANT that clears itself. Whatever a COM call leaves in it (a string, an
// interface, an array) is freed when the guard goes out of scope, on every path out,
// thrown errors included, and before the guard is handed to another call to fill.
#include "platform/win32/win32_api.h"
// after windows.h
#include <oleauto.h>

#include "platform/win32/system_dll.h"

class ComVariant {
 public:
  // Empty (VT_EMPTY) as VariantInit leaves it; no oleaut32 call is needed for that.
  ComVariant() = default;
  ~ComVariant() { Clear(); }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;

  // For a call's out-parameter: what the guard held is cleared first.
  VARIANT* Put() {
    Clear();
    return &v_;
  }
  VARIANT& Get() { return v_; }

  // VariantClear from oleaut32, loaded from the system folder. Without it nothing COM
  // handed out can exist, so there is nothing to free either.
  void Clear() {
    if (v_.vt == VT_EMPTY) return;
    static const auto clear =
        system_dll::Get<decltype(&::VariantClear)>("oleaut32.dll", "VariantClear");
    if (clear != nullptr) clear(&v_);
    v_.vt = VT_EMPTY;
  }

 private:
  VARIANT v_{};
};
