#pragma once
// Win32 only: a kernel handle (file, folder, process, thread, token) held by one owner that
// closes it once, on every path out of the code that opened it, thrown exceptions included.
#include "platform/win32/win32_api.h"
// after windows.h
#include <utility>

// Traits say what "no handle" is and how one is closed; OwnedHandle below is the one the
// product uses, other traits serve the tests.
template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() noexcept = default;
  explicit ScopedHandle(Handle handle) noexcept : handle_(handle) {}
  ~ScopedHandle() { Reset(); }

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

  // Gives the handle up without closing it: the caller closes it now.
  Handle Release() noexcept { return std::exchange(handle_, Traits::None()); }

  // Closes the handle held, if any, and holds handle instead.
  void Reset(Handle handle = Traits::None()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (Traits::IsValid(old)) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::None();
};

// CreateFileA answers INVALID_HANDLE_VALUE on failure, OpenProcessToken and CreateProcessA
// leave NULL: neither is a handle to close.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle None() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

using OwnedHandle = ScopedHandle<KernelHandleTraits>;
