// The registry contract the program relies on, stated once and run against every backend:
// the in-memory registry, the SQLite store (native) and the real registry (under Wine).
// Every test works below HKCU\Software\qEnvContract, which it creates and removes again.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "registry_backends.h"

namespace {
constexpr const char* kScratch = "Software\\qEnvContract";
using Bytes = std::string;

const std::uint8_t* Data(const Bytes& b) {
  return reinterpret_cast<const std::uint8_t*>(b.data());
}
std::uint32_t Size(const Bytes& b) {
  return static_cast<std::uint32_t>(b.size());
}

class RegistryContract : public ::testing::TestWithParam<RegistryBackend> {
 protected:
  void SetUp() override {
    backend_ = GetParam().open();
    ASSERT_TRUE(backend_);
    reg_ = &backend_->registry();
    RemoveTree(reg::kCurrentUser, kScratch);
    ASSERT_EQ(0, reg_->CreateKey(reg::kCurrentUser, kScratch, base_));
  }
  void TearDown() override {
    if (!reg_) return;
    reg_->CloseKey(base_);
    RemoveTree(reg::kCurrentUser, kScratch);
  }

  // Deletes a key with everything below it, through the calls under test.
  void RemoveTree(RegKey parent, const std::string& path) {
    RegKey key = 0;
    if (reg_->OpenKeyEx(parent, path, reg::kKeyAllAccess, key) != 0) return;
    char name[1024];
    std::uint32_t size = sizeof name;
    while (reg_->EnumKeyEx(key, 0, name, &size) == 0) {
      const std::string child(name, size);
      RemoveTree(key, child);
      size = sizeof name;
      RegKey left = 0;
      if (reg_->OpenKeyEx(key, child, reg::kKeyRead, left) == 0) {
        reg_->CloseKey(left);
        break;  // could not delete it: stop rather than loop
      }
    }
    reg_->CloseKey(key);
    reg_->DeleteKey(parent, path);
  }

  RegKey Create(const std::string& sub) {
    RegKey key = 0;
    EXPECT_EQ(0, reg_->CreateKey(base_, sub, key)) << sub;
    return key;
  }
  long Set(RegKey key, const std::string& name, std::uint32_t type, const Bytes& bytes) {
    return reg_->SetValueEx(key, name, type, Data(bytes), Size(bytes));
  }
  // The value's bytes read through a buffer of exactly its size; the code on failure.
  long Get(RegKey key, const std::string& name, Bytes& bytes, std::uint32_t* type = nullptr) {
    std::uint32_t size = 0;
    long rc = reg_->QueryValueEx(key, name, type, nullptr, &size);
    if (rc != 0) return rc;
    bytes.assign(size, '\0');
    std::vector<std::uint8_t> buffer(size + 1);
    rc = reg_->QueryValueEx(key, name, type, buffer.data(), &size);
    bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return rc;
  }
  std::vector<std::string> SubkeyNames(RegKey key) {
    std::vector<std::string> names;
    char name[256];
    std::uint32_t size = sizeof name;
    long rc;
    for (std::uint32_t i = 0; (rc = reg_->EnumKeyEx(key, i, name, &size)) == 0; ++i) {
      names.emplace_back(name, size);
      size = sizeof name;
    }
    EXPECT_EQ(win32_error::kNoMoreItems, rc);
    return names;
  }
  std::vector<std::string> ValueNames(RegKey key) {
    std::vector<std::string> names;
    char name[256];
    std::uint32_t size = sizeof name;
    long rc;
    for (std::uint32_t i = 0;
         (rc = reg_->EnumValue(key, i, name, &size, nullptr, nullptr, nullptr)) == 0; ++i) {
      names.emplace_back(name, size);
      size = sizeof name;
    }
    EXPECT_EQ(win32_error::kNoMoreItems, rc);
    return names;
  }

  std::unique_ptr<RegistryUnderTest> backend_;
  Registry* reg_ = nullptr;
  RegKey base_ = 0;
};

TEST_P(RegistryContract, CreateMakesParentsAndReportsDisposition) {
  RegKey key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(0, reg_->CreateKeyEx(base_, "A\\B\\C", "REG_DWORD", 0, reg::kKeyAllAccess, key,
                                 &disposition));
  EXPECT_NE(0u, key);
  EXPECT_EQ(1u, disposition);
  reg_->CloseKey(key);

  ASSERT_EQ(0, reg_->CreateKeyEx(base_, "a\\b\\c", "", 0, reg::kKeyAllAccess, key, &disposition));
  EXPECT_EQ(2u, disposition) << "names compare without regard to case";
  reg_->CloseKey(key);

  RegKey a = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "A", reg::kKeyRead, a));
  EXPECT_EQ(std::vector<std::string>{"B"}, SubkeyNames(a));
  reg_->CloseKey(a);
}

TEST_P(RegistryContract, OpenFindsKeysWithoutRegardToCaseAndMissesMissingOnes) {
  reg_->CloseKey(Create("MixedCase\\Inner"));
  RegKey key = 0;
  EXPECT_EQ(0, reg_->OpenKeyEx(base_, "mixedcase\\INNER", reg::kKeyRead, key));
  EXPECT_NE(0u, key);
  reg_->CloseKey(key);
  EXPECT_EQ(0, reg_->OpenKey(base_, "MIXEDCASE", key));
  reg_->CloseKey(key);

  key = 1234;
  EXPECT_EQ(win32_error::kFileNotFound, reg_->OpenKeyEx(base_, "Missing", reg::kKeyRead, key));
  EXPECT_EQ(0u, key);
  EXPECT_EQ(win32_error::kFileNotFound, reg_->OpenKey(base_, "MixedCase\\Missing", key));
  EXPECT_EQ(win32_error::kBadPathname, reg_->OpenKeyEx(base_, "\\MixedCase", reg::kKeyRead, key));
}

// Either view bit alone reaches HKCU\Software's one key: a store of one view ignores it, as a
// 32-bit Windows does.
TEST_P(RegistryContract, OneViewBitReachesTheSameKey) {
  for (std::uint32_t mask : {0x20106u, 0xF013Fu, 0x20206u, 0xF023Fu}) {
    RegKey key = 0;
    EXPECT_EQ(0, reg_->CreateKeyEx(base_, "View", "", 0, mask, key, nullptr)) << mask;
    EXPECT_EQ(0, Set(key, "v" + std::to_string(mask), reg::kDword, Bytes(4, '\7')));
    EXPECT_EQ(0, reg_->CloseKey(key));
    EXPECT_EQ(0, reg_->OpenKeyEx(base_, "View", mask, key)) << mask;
    EXPECT_EQ(0, reg_->CloseKey(key));
  }
  RegKey plain = Create("View");
  EXPECT_EQ(4u, ValueNames(plain).size());
  reg_->CloseKey(plain);
}

TEST_P(RegistryContract, BothViewBitsAreAnInvalidParameter) {
  if (!GetParam().refusesBothViews)
    GTEST_SKIP() << "Wine takes both view bits for KEY_WOW64_64KEY; Windows 7 and later answer 87";
  reg_->CloseKey(Create("View"));
  for (std::uint32_t mask : {0x20319u, 0x20306u, 0xF033Fu, 0x300u}) {
    RegKey key = 77;
    EXPECT_EQ(87, reg_->OpenKeyEx(base_, "View", mask, key)) << mask;
    EXPECT_EQ(87, reg_->CreateKeyEx(base_, "New", "", 0, mask, key, nullptr)) << mask;
    EXPECT_EQ(0u, key);
  }
  RegKey none = 0;
  EXPECT_EQ(2, reg_->OpenKeyEx(base_, "New", reg::kKeyRead, none)) << "nothing created";
}

TEST_P(RegistryContract, HandlesAreDistinctNonZeroAndDeadOnceClosed) {
  RegKey first = Create("H");
  RegKey second = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "H", reg::kKeyRead, second));
  EXPECT_NE(0u, first);
  EXPECT_NE(0u, second);
  EXPECT_NE(first, second);
  EXPECT_EQ(0, reg_->CloseKey(second));
  EXPECT_EQ(win32_error::kInvalidHandle, reg_->CloseKey(second));
  EXPECT_EQ(0, Set(first, "v", reg::kDword, Bytes(4, '\1')));
  reg_->CloseKey(first);
}

TEST_P(RegistryContract, MasklessOpenOfNoSubkeyGivesTheSameHandle) {
  RegKey same = 0;
  EXPECT_EQ(0, reg_->OpenKey(base_, "", same));
  EXPECT_EQ(base_, same);
  EXPECT_EQ(0, reg_->OpenKey(reg::kLocalMachine, "", same));
  EXPECT_EQ(reg::kLocalMachine, same);
}

TEST_P(RegistryContract, RootZeroAndUnknownHandlesAnswerInvalidHandle) {
  std::uint8_t buffer[8];
  char name[8];
  for (RegKey bad : {RegKey{0}, RegKey{0x7FFFFFF0}}) {
    SCOPED_TRACE(bad);
    RegKey key = 99;
    std::uint32_t size = sizeof buffer;
    std::uint32_t nameSize = sizeof name;
    EXPECT_EQ(6, reg_->OpenKeyEx(bad, "Software", reg::kKeyRead, key));
    EXPECT_EQ(0u, key);
    EXPECT_EQ(6, reg_->CreateKey(bad, "Software\\qEnvContract\\X", key));
    EXPECT_EQ(6, reg_->CreateKeyEx(bad, "X", "", 0, reg::kKeyAllAccess, key, nullptr));
    EXPECT_EQ(6, reg_->QueryValueEx(bad, "v", nullptr, buffer, &size));
    EXPECT_EQ(6, reg_->SetValueEx(bad, "v", reg::kBinary, buffer, 1));
    EXPECT_EQ(6, reg_->EnumKeyEx(bad, 0, name, &nameSize));
    EXPECT_EQ(6, reg_->EnumValue(bad, 0, name, &nameSize, nullptr, nullptr, nullptr));
    EXPECT_EQ(6, reg_->DeleteValue(bad, "v"));
    EXPECT_EQ(6, reg_->DeleteKey(bad, "X"));
    EXPECT_EQ(6, reg_->CloseKey(bad));
  }
  RegKey key = 99;
  EXPECT_EQ(6, reg_->OpenKey(0, "Software", key));
}

TEST_P(RegistryContract, ValuesKeepTypeAndExactBytes) {
  struct Case {
    const char* name;
    std::uint32_t type;
    Bytes bytes;
  };
  const Case cases[] = {
      {"text", reg::kSz, Bytes("abc")},  // no NUL: stored as given
      {"text0", reg::kSz, Bytes("abc\0", 4)},
      {"empty", reg::kSz, Bytes()},
      {"expand", reg::kExpandSz, Bytes("%PATH%\\x\0", 9)},
      {"multi", reg::kMultiSz, Bytes("a\0b\0\0", 5)},
      {"dword", reg::kDword, Bytes("\x78\x56\x34\x12", 4)},
      {"bin", reg::kBinary, Bytes("\x01\x00\xFF\x0A", 4)},
      {"none", reg::kNone, Bytes("\x00\x01", 2)},
      {"emptybin", reg::kBinary, Bytes()},
  };
  for (const Case& c : cases) ASSERT_EQ(0, Set(base_, c.name, c.type, c.bytes)) << c.name;
  for (const Case& c : cases) {
    Bytes read;
    std::uint32_t type = 77;
    ASSERT_EQ(0, Get(base_, c.name, read, &type)) << c.name;
    EXPECT_EQ(c.type, type) << c.name;
    EXPECT_EQ(c.bytes, read) << c.name;
  }
}

TEST_P(RegistryContract, NamesCompareWithoutCaseAndDefaultValueIsItsOwn) {
  ASSERT_EQ(0, Set(base_, "Name", reg::kBinary, "\x01"));
  ASSERT_EQ(0, Set(base_, "NAME", reg::kDword, Bytes("\x02\0\0\0", 4)));
  Bytes read;
  std::uint32_t type = 0;
  ASSERT_EQ(0, Get(base_, "name", read, &type));
  EXPECT_EQ(reg::kDword, type);
  EXPECT_EQ(Bytes("\x02\0\0\0", 4), read);
  EXPECT_EQ(std::vector<std::string>{"Name"}, ValueNames(base_)) << "first spelling kept";

  EXPECT_EQ(win32_error::kFileNotFound, Get(base_, "", read));
  ASSERT_EQ(0, Set(base_, "", reg::kSz, Bytes("d\0", 2)));
  ASSERT_EQ(0, Get(base_, "", read));
  EXPECT_EQ(Bytes("d\0", 2), read);
  EXPECT_EQ(win32_error::kFileNotFound, Get(base_, "@", read)) << "@ is an ordinary name";
}

// A value of each length read into the program's 255-byte buffer: what fits is copied,
// a longer one answers 234 with the size it needs and leaves the buffer alone.
TEST_P(RegistryContract, BufferTooSmallAnswersMoreDataWithTheNeededSize) {
  for (std::uint32_t length : {254u, 255u, 256u, 100000u}) {
    for (std::uint32_t type : {reg::kSz, reg::kBinary}) {
      SCOPED_TRACE(std::to_string(length) + " bytes of type " + std::to_string(type));
      Bytes bytes(length, 'q');
      if (type == reg::kSz)
        bytes.back() = '\0';
      else
        bytes[length / 2] = '\0';
      ASSERT_EQ(0, Set(base_, "v", type, bytes));

      std::vector<std::uint8_t> buffer(255, 0xEE);
      std::uint32_t size = 255;
      std::uint32_t seen = 0;
      const long rc = reg_->QueryValueEx(base_, "v", &seen, buffer.data(), &size);
      EXPECT_EQ(length, size);
      EXPECT_EQ(type, seen);
      if (length <= 255) {
        EXPECT_EQ(0, rc);
        EXPECT_EQ(0, std::memcmp(buffer.data(), bytes.data(), length));
      } else {
        EXPECT_EQ(win32_error::kMoreData, rc);
        EXPECT_EQ(std::vector<std::uint8_t>(255, 0xEE), buffer);
      }

      size = 1;
      EXPECT_EQ(0, reg_->QueryValueEx(base_, "v", nullptr, nullptr, &size)) << "size only";
      EXPECT_EQ(length, size);
      Bytes whole;
      ASSERT_EQ(0, Get(base_, "v", whole));
      EXPECT_EQ(bytes, whole);
    }
  }
}

TEST_P(RegistryContract, MissingValueAnswersFileNotFound) {
  std::uint32_t size = 1;
  std::uint8_t byte = 0;
  EXPECT_EQ(win32_error::kFileNotFound, reg_->QueryValueEx(base_, "nope", nullptr, nullptr, &size));
  EXPECT_EQ(win32_error::kFileNotFound, reg_->QueryValueEx(base_, "nope", nullptr, &byte, &size));
  EXPECT_EQ(win32_error::kFileNotFound, reg_->DeleteValue(base_, "nope"));
}

// Wine lists subkeys and values sorted, letters compared as lower case, so "[" and "_"
// come before any letter; the default value comes first.
TEST_P(RegistryContract, EnumerationIsSortedWithoutRegardToCase) {
  const std::vector<std::string> created = {"b", "A", "_x", "[y", "C", "a1", "Ab", "0", "~"};
  const std::vector<std::string> sorted = {"0", "[y", "_x", "A", "a1", "Ab", "b", "C", "~"};
  for (const std::string& name : created) {
    reg_->CloseKey(Create("Keys\\" + name));
    ASSERT_EQ(0, Set(base_, name, reg::kDword, Bytes(4, '\0')));
  }
  ASSERT_EQ(0, Set(base_, "", reg::kSz, Bytes("\0", 1)));
  RegKey keys = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "Keys", reg::kKeyRead, keys));
  EXPECT_EQ(sorted, SubkeyNames(keys));
  reg_->CloseKey(keys);

  std::vector<std::string> withDefault = sorted;
  withDefault.insert(withDefault.begin(), "");
  EXPECT_EQ(withDefault, ValueNames(base_));
}

TEST_P(RegistryContract, EnumerationReportsTypesDataAndShortBuffers) {
  ASSERT_EQ(0, Set(base_, "long", reg::kBinary, Bytes(300, '\x5A')));
  char name[64];
  std::uint32_t nameSize = sizeof name;
  std::uint32_t type = 0;
  std::uint8_t data[255];
  std::uint32_t dataSize = sizeof data;
  EXPECT_EQ(win32_error::kMoreData,
            reg_->EnumValue(base_, 0, name, &nameSize, &type, data, &dataSize));
  EXPECT_EQ(300u, dataSize);

  std::vector<std::uint8_t> big(300);
  nameSize = sizeof name;
  dataSize = 300;
  ASSERT_EQ(0, reg_->EnumValue(base_, 0, name, &nameSize, &type, big.data(), &dataSize));
  EXPECT_EQ("long", std::string(name, nameSize));
  EXPECT_EQ(reg::kBinary, type);
  EXPECT_EQ(std::vector<std::uint8_t>(300, 0x5A), big);
  nameSize = sizeof name;
  EXPECT_EQ(win32_error::kNoMoreItems,
            reg_->EnumValue(base_, 1, name, &nameSize, nullptr, nullptr, nullptr));

  reg_->CloseKey(Create("SixChr"));
  char small[6];
  nameSize = sizeof small;
  EXPECT_EQ(win32_error::kMoreData, reg_->EnumKeyEx(base_, 0, small, &nameSize));
  nameSize = 7;
  ASSERT_EQ(0, reg_->EnumKeyEx(base_, 0, name, &nameSize));
  EXPECT_EQ(6u, nameSize);
  EXPECT_STREQ("SixChr", name);
  EXPECT_EQ(win32_error::kNoMoreItems, reg_->EnumKeyEx(base_, 1, name, &nameSize));
}

TEST_P(RegistryContract, KeyWithSubkeysCannotBeDeleted) {
  reg_->CloseKey(Create("P\\Q"));
  EXPECT_EQ(win32_error::kAccessDenied, reg_->DeleteKey(base_, "P"));
  RegKey p = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "p", reg::kKeyAllAccess, p));
  EXPECT_EQ(0, reg_->DeleteKey(p, "q"));
  EXPECT_EQ(win32_error::kFileNotFound, reg_->DeleteKey(p, "q"));
  reg_->CloseKey(p);
  EXPECT_EQ(0, reg_->DeleteKey(base_, "P"));
  RegKey gone = 0;
  EXPECT_EQ(win32_error::kFileNotFound, reg_->OpenKeyEx(base_, "P", reg::kKeyRead, gone));
}

TEST_P(RegistryContract, DeletedKeysHandleAnswersKeyDeleted) {
  RegKey doomed = Create("Doomed");
  ASSERT_EQ(0, Set(doomed, "v", reg::kDword, Bytes(4, '\0')));
  RegKey other = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "Doomed", reg::kKeyAllAccess, other));
  ASSERT_EQ(0, reg_->DeleteKey(doomed, ""));  // the opened key itself

  char name[16];
  std::uint32_t nameSize = sizeof name;
  std::uint32_t size = 4;
  std::uint8_t data[4];
  for (RegKey handle : {doomed, other}) {
    EXPECT_EQ(win32_error::kKeyDeleted, reg_->QueryValueEx(handle, "v", nullptr, data, &size));
    EXPECT_EQ(win32_error::kKeyDeleted, reg_->SetValueEx(handle, "w", reg::kBinary, data, 1));
    EXPECT_EQ(win32_error::kKeyDeleted, reg_->EnumKeyEx(handle, 0, name, &nameSize));
    EXPECT_EQ(0, reg_->CloseKey(handle));
  }
  RegKey gone = 0;
  EXPECT_EQ(win32_error::kFileNotFound, reg_->OpenKeyEx(base_, "Doomed", reg::kKeyRead, gone));
}

TEST_P(RegistryContract, DeleteValueRemovesOnlyThatValue) {
  ASSERT_EQ(0, Set(base_, "", reg::kSz, Bytes("x\0", 2)));
  ASSERT_EQ(0, Set(base_, "keep", reg::kSz, Bytes("y\0", 2)));
  EXPECT_EQ(0, reg_->DeleteValue(base_, ""));
  EXPECT_EQ(std::vector<std::string>{"keep"}, ValueNames(base_));
  EXPECT_EQ(0, reg_->DeleteValue(base_, "KEEP"));
  EXPECT_TRUE(ValueNames(base_).empty());
}

TEST_P(RegistryContract, RightsAreThoseTheHandleWasOpenedWith) {
  RegKey writeOnly = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(reg::kCurrentUser, kScratch, 0x20106, writeOnly));
  EXPECT_EQ(0, Set(writeOnly, "w", reg::kDword, Bytes(4, '\0')));
  std::uint32_t size = 4;
  std::uint8_t data[4];
  EXPECT_EQ(win32_error::kAccessDenied, reg_->QueryValueEx(writeOnly, "w", nullptr, data, &size));
  reg_->CloseKey(writeOnly);

  RegKey readOnly = 0;
  ASSERT_EQ(0, reg_->OpenKeyEx(reg::kCurrentUser, kScratch, reg::kKeyRead, readOnly));
  EXPECT_EQ(win32_error::kAccessDenied, Set(readOnly, "r", reg::kDword, Bytes(4, '\0')));
  EXPECT_EQ(win32_error::kAccessDenied, reg_->DeleteValue(readOnly, "w"));
  EXPECT_EQ(0, reg_->QueryValueEx(readOnly, "w", nullptr, data, &size));
  reg_->CloseKey(readOnly);
}

// Wine hands a text back with a NUL after it when the buffer has room and the text does
// not end in one; other types are copied as they are.
TEST_P(RegistryContract, TextsReadIntoRoomierBuffersGetATerminatingNul) {
  struct Case {
    std::uint32_t type;
    Bytes stored;
    std::uint32_t capacity;
    Bytes buffer;  // after the query, from a buffer filled with 'x'
  };
  const Case cases[] = {
      {reg::kSz, "abc", 5, Bytes("abc\0x", 5)},
      {reg::kSz, "abc", 3, "abc"},
      {reg::kSz, Bytes("ab\0", 3), 5, Bytes("ab\0xx", 5)},
      {reg::kSz, "", 2, "xx"},
      {reg::kExpandSz, "x", 3, Bytes("x\0x", 3)},
      {reg::kMultiSz, Bytes("a\0b", 3), 5, Bytes("a\0b\0x", 5)},
      {reg::kBinary, "abc", 5, "abcxx"},
      {reg::kDword, "abc", 5, "abcxx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + c.stored);
    ASSERT_EQ(0, Set(base_, "v", c.type, c.stored));
    Bytes buffer(c.capacity, 'x');
    std::uint32_t size = c.capacity;
    ASSERT_EQ(0, reg_->QueryValueEx(base_, "v", nullptr,
                                    reinterpret_cast<std::uint8_t*>(buffer.data()), &size));
    EXPECT_EQ(c.stored.size(), size);
    EXPECT_EQ(c.buffer, buffer);
  }
}

TEST_P(RegistryContract, EnumValueWithShortBuffersFillsWhatWineFills) {
  RegKey key = Create("E");
  ASSERT_EQ(0, Set(key, "valname", reg::kBinary, "12345"));
  char name[8];
  std::uint8_t data[8];
  std::uint32_t nameSize = 4, dataSize = 8, type = 0;
  std::memset(name, 'x', sizeof name);
  // The name does not fit: as much of it as fits, the data and its size all the same.
  EXPECT_EQ(win32_error::kMoreData,
            reg_->EnumValue(key, 0, name, &nameSize, &type, data, &dataSize));
  EXPECT_EQ(Bytes("val\0xxxx", 8), Bytes(name, 8));
  EXPECT_EQ(4u, nameSize);
  EXPECT_EQ(5u, dataSize);
  EXPECT_EQ(reg::kBinary, type);
  EXPECT_EQ("12345", Bytes(reinterpret_cast<char*>(data), 5));

  // The data does not fit: nothing copied, the size it needs and the type.
  std::memset(name, 'x', sizeof name);
  std::memset(data, 'y', sizeof data);
  nameSize = 8;
  dataSize = 3;
  type = 0;
  EXPECT_EQ(win32_error::kMoreData,
            reg_->EnumValue(key, 0, name, &nameSize, &type, data, &dataSize));
  EXPECT_EQ(Bytes(8, 'x'), Bytes(name, 8));
  EXPECT_EQ(Bytes(8, 'y'), Bytes(reinterpret_cast<char*>(data), 8));
  EXPECT_EQ(8u, nameSize);
  EXPECT_EQ(5u, dataSize);
  EXPECT_EQ(reg::kBinary, type);
  reg_->CloseKey(key);
}

TEST_P(RegistryContract, KeyPathFormsAndLimits) {
  std::string parts;
  while (parts.size() < 300) parts += "abcd\\";
  struct Case {
    std::string path;
    long create;
  };
  const Case cases[] = {
      {"Twice\\\\Split\\", 0},  // empty parts are skipped
      {"\\Leading", win32_error::kBadPathname},
      {std::string(256, 'n'), 0},
      {std::string(257, 'n'), win32_error::kInvalidParameter},
      {std::string(260, 'n'), win32_error::kInvalidParameter},
      {std::string(261, 'n'), win32_error::kMoreData},  // the whole path is over 260
      {parts, win32_error::kMoreData},
      {std::string(10000, 'n'), win32_error::kMoreData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.substr(0, 20) + "... (" + std::to_string(c.path.size()) + ")");
    RegKey key = 0;
    EXPECT_EQ(c.create, reg_->CreateKey(base_, c.path, key));
    if (key) reg_->CloseKey(key);
    EXPECT_EQ(c.create ? c.create : 0, reg_->OpenKeyEx(base_, c.path, reg::kKeyRead, key));
    if (key) reg_->CloseKey(key);
  }
  RegKey split = 0;
  EXPECT_EQ(0, reg_->OpenKeyEx(base_, "twice\\split", reg::kKeyRead, split));
  reg_->CloseKey(split);
}

TEST_P(RegistryContract, ValueNamesUpTo16383CharactersAndNullData) {
  EXPECT_EQ(0, Set(base_, std::string(16383, 'v'), reg::kBinary, "a"));
  EXPECT_EQ(win32_error::kInvalidParameter, Set(base_, std::string(16384, 'v'), reg::kBinary, "a"));
  EXPECT_EQ(998, reg_->SetValueEx(base_, "n", reg::kBinary, nullptr, 4));
  EXPECT_EQ(0, reg_->SetValueEx(base_, "n", reg::kBinary, nullptr, 0));
  std::uint8_t byte = 0;
  EXPECT_EQ(win32_error::kInvalidParameter,
            reg_->QueryValueEx(base_, "n", nullptr, &byte, nullptr));
}

TEST_P(RegistryContract, EmptySubkeyOpensANewHandleReportedAsCreated) {
  RegKey key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(0, reg_->CreateKeyEx(base_, "", "", 0, reg::kKeyAllAccess, key, &disposition));
  EXPECT_NE(base_, key);
  EXPECT_EQ(1u, disposition);
  reg_->CloseKey(key);
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "", reg::kKeyRead, key));
  EXPECT_NE(base_, key);
  reg_->CloseKey(key);
}

TEST_P(RegistryContract, PredefinedKeysNeedNoClosingAndPerformanceDataHoldsNothing) {
  for (RegKey root : {reg::kCurrentUser, reg::kDynData, RegKey{0x8000000F}, RegKey{0xFFFFFFF0}})
    EXPECT_EQ(0, reg_->CloseKey(root)) << root;
  RegKey key = 0;
  EXPECT_EQ(0, reg_->OpenKeyEx(reg::kPerformanceData, "", reg::kKeyRead, key));
  EXPECT_EQ(reg::kPerformanceData, key);
  EXPECT_EQ(6, reg_->OpenKeyEx(reg::kPerformanceData, "x", reg::kKeyRead, key));
  EXPECT_EQ(6, reg_->CreateKey(reg::kPerformanceData, "x", key));
  EXPECT_EQ(6, reg_->SetValueEx(reg::kPerformanceData, "x", reg::kBinary, nullptr, 0));
  std::uint32_t created = 0;
  EXPECT_EQ(0, reg_->CreateKeyEx(reg::kDynData, "qEnvContract", "", 0, reg::kKeyAllAccess, key,
                                 &created));
  reg_->CloseKey(key);
  EXPECT_EQ(0, reg_->DeleteKey(reg::kDynData, "qEnvContract"));
}

// Names in the ANSI code page compare as Wine compares them: Windows-1252 letters without
// regard to case, in the order of their lower-case code points.
TEST_P(RegistryContract, NonAsciiNamesFoldAndSortAsWindows1252) {
  reg_->CloseKey(Create("\xC9t\xE9"));  // Été
  RegKey key = 0;
  EXPECT_EQ(0, reg_->OpenKeyEx(base_, "\xE9T\xC9", reg::kKeyRead, key));
  reg_->CloseKey(key);
  reg_->DeleteKey(base_, "\xC9t\xE9");

  const std::vector<std::string> created = {"\x8A",
                                            "\x9A"
                                            "1",
                                            "\x9F",
                                            "\xFF"
                                            "1",
                                            "\xD7",
                                            "\xF7",
                                            "\xDF",
                                            "\xA0",
                                            "\x81",
                                            "\xC0",
                                            "\xE0"
                                            "1",
                                            "~",
                                            "\x80",
                                            "\xE9",
                                            "\xC9x"};
  const std::vector<std::string> sorted = {"~",
                                           "\x81",
                                           "\xA0",
                                           "\xD7",
                                           "\xDF",
                                           "\xC0",
                                           "\xE0"
                                           "1",
                                           "\xE9",
                                           "\xC9x",
                                           "\xF7",
                                           "\x9F",
                                           "\xFF"
                                           "1",
                                           "\x8A",
                                           "\x9A"
                                           "1",
                                           "\x80"};
  for (const std::string& name : created) reg_->CloseKey(Create(name));
  EXPECT_EQ(sorted, SubkeyNames(base_));
}

// A link key made with REG_OPTION_CREATE_LINK leads to its target when opened by path, is
// itself only with REG_OPTION_OPEN_LINK, and deleting it that way leaves the target whole.
TEST_P(RegistryContract, LinkKeysLeadToTheirTargetUnlessOpenedAsLinks) {
  const std::string to = "SYSTEM\\qEnvContractTarget";
  RegKey target = 0, link = 0, through = 0;
  ASSERT_EQ(0, reg_->CreateKey(reg::kLocalMachine, to + "\\Child", through));
  reg_->CloseKey(through);
  ASSERT_EQ(0, reg_->CreateKey(reg::kLocalMachine, to, target));
  ASSERT_EQ(0, reg_->CreateKeyEx(base_, "Link", "", reg::kOptionCreateLink, reg::kKeyAllAccess,
                                 link, nullptr));
  Bytes name, read;
  for (char c : "\\Registry\\Machine\\" + to) name += std::string{c, '\0'};
  ASSERT_EQ(0, Set(link, reg::kLinkValueName, reg::kLink, name));
  reg_->CloseKey(link);
  EXPECT_EQ(183, reg_->CreateKeyEx(base_, "Link", "", reg::kOptionCreateLink, reg::kKeyAllAccess,
                                   through, nullptr));
  ASSERT_EQ(0, reg_->OpenKeyEx(base_, "Link", reg::kKeyRead, through));
  EXPECT_EQ(std::vector<std::string>{"Child"}, SubkeyNames(through));
  EXPECT_EQ(std::vector<std::string>{}, ValueNames(through));
  EXPECT_EQ(std::vector<std::string>{"Link"}, SubkeyNames(base_));
  RegKey itself = 0;
  ASSERT_EQ(
      0, reg_->OpenKeyExOptions(base_, "Link", reg::kOptionOpenLink, reg::kKeyAllAccess, itself));
  EXPECT_EQ(0, Get(itself, reg::kLinkValueName, read));
  EXPECT_EQ(name, read);
  EXPECT_EQ(0, reg_->DeleteKey(itself, ""));
  EXPECT_EQ(win32_error::kFileNotFound, reg_->OpenKeyEx(base_, "Link", reg::kKeyRead, link));
  EXPECT_EQ(std::vector<std::string>{"Child"}, SubkeyNames(target)) << "the target stays";
  for (RegKey k : {target, through, itself}) reg_->CloseKey(k);
  RemoveTree(reg::kLocalMachine, to);
}

std::string BackendName(const ::testing::TestParamInfo<RegistryBackend>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::ValuesIn(RegistryBackends()),
                         BackendName);
}  // namespace
