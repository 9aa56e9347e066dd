#pragma once
// Owners for the Win32 and automation resources the tool touches: every
// handle, BSTR and VARIANT is released by its owner, on every path.
// COM interface pointers are owned by Microsoft::WRL::ComPtr.

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace urlcheck {

// A move-only owner of a handle-like value, closed by Traits::Close and
// invalid when it equals Traits::Invalid() (CreateFileW fails with
// INVALID_HANDLE_VALUE, most other APIs with null).
template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() = default;
  explicit UniqueHandle(Value value) : value_(value) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Value Get() const { return value_; }
  bool IsValid() const { return value_ != Traits::Invalid(); }
  explicit operator bool() const { return IsValid(); }

  Value Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(Value value = Traits::Invalid()) {
    const Value old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Value value_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { CloseHandle(value); }
};
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { CloseHandle(value); }
};
struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { FindClose(value); }
};
struct IconHandleTraits {
  using Value = HICON;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DestroyIcon(value); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;      // CreateFileW
using UniqueFind = UniqueHandle<FindHandleTraits>;      // FindFirstFileW
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;  // processes, threads, events
using UniqueIcon = UniqueHandle<IconHandleTraits>;

// A VARIANT that is cleared when it goes out of scope (it may own a BSTR or
// an interface reference).
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&variant_); }
  ~ScopedVariant() { VariantClear(&variant_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  VARIANT* Receive() {
    VariantClear(&variant_);
    return &variant_;
  }
  const VARIANT& Get() const { return variant_; }

 private:
  VARIANT variant_;
};

// EXCEPINFO as filled by IDispatch::Invoke: its strings are freed here.
class ScopedExcepInfo {
 public:
  ScopedExcepInfo() = default;
  ~ScopedExcepInfo() { Clear(); }
  ScopedExcepInfo(const ScopedExcepInfo&) = delete;
  ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;

  EXCEPINFO* Receive() {
    Clear();
    return &info_;
  }
  const EXCEPINFO& Get() const { return info_; }

 private:
  void Clear() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
    info_ = EXCEPINFO{};
  }
  EXCEPINFO info_{};
};

}  // namespace urlcheck
