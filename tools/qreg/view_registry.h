#pragma once
// The registry as one view of it: every open and create call, with or without a mask,
// carries the view bit that /reg:32 or /reg:64 asks for, so that no call a verb makes, the
// registry class's own reads included, reaches the other view.
#include "platform/registry.h"

namespace qreg {

class ViewRegistry : public Registry {
 public:
  explicit ViewRegistry(Registry& inner) : inner_(inner) {}
  // 0 (the process's own view), reg::kView64Bit or reg::kView32Bit.
  void Select(std::uint32_t view) { view_ = view; }

  long OpenKey(RegKey root, const std::string& subKey, RegKey& result) override {
    // RegOpenKeyA asks for the rights the caller may have.
    if (view_ == 0) return inner_.OpenKey(root, subKey, result);
    return inner_.OpenKeyEx(root, subKey, kMaximumAllowed | view_, result);
  }
  long OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t mask,
                 RegKey& result) override {
    return inner_.OpenKeyEx(root, subKey, Masked(mask), result);
  }
  long OpenKeyExOptions(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t mask, RegKey& result) override {
    return inner_.OpenKeyExOptions(root, subKey, options, Masked(mask), result);
  }
  long CreateKey(RegKey root, const std::string& subKey, RegKey& result) override {
    if (view_ == 0) return inner_.CreateKey(root, subKey, result);
    return inner_.CreateKeyEx(root, subKey, "", 0, kMaximumAllowed | view_, result, nullptr);
  }
  long CreateKeyEx(RegKey root, const std::string& subKey, const std::string& keyClass,
                   std::uint32_t options, std::uint32_t mask, RegKey& result,
                   std::uint32_t* disposition) override {
    return inner_.CreateKeyEx(root, subKey, keyClass, options, Masked(mask), result, disposition);
  }
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    return inner_.QueryValueEx(key, name, type, data, size);
  }
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
    return inner_.SetValueEx(key, name, type, data, size);
  }
  long EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    return inner_.EnumKeyEx(key, index, name, nameSize);
  }
  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
    return inner_.EnumValue(key, index, name, nameSize, type, data, dataSize);
  }
  long DeleteKey(RegKey key, const std::string& subKey) override {
    return inner_.DeleteKey(key, subKey);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return inner_.DeleteValue(key, name);
  }
  long CloseKey(RegKey key) override { return inner_.CloseKey(key); }

 private:
  static constexpr std::uint32_t kMaximumAllowed = 0x02000000;
  static constexpr std::uint32_t kViewBits = reg::kView64Bit | reg::kView32Bit;

  // The caller's rights with the selected view in place of whatever view bits it passed
  // (the class's 64-bit forms pass KEY_WOW64_64KEY).
  std::uint32_t Masked(std::uint32_t mask) const {
    return view_ == 0 ? mask : (mask & ~kViewBits) | view_;
  }

  Registry& inner_;
  std::uint32_t view_ = 0;
};

}  // namespace qreg
