// The reading operations on the in-memory registry: results, sErr, log lines, and every
// key closed again whichever way the operation left.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/runtime_error.h"
#include "registry/registry_access.h"

namespace {
using namespace std::string_literals;
using Lines = std::vector<std::string>;

const std::string kNotFound = "2-The system cannot find the file specified.";
const std::string kInvalidHandle = "6-The handle is invalid.";
const std::string kMoreData = "234-More data is available.";

class RegistryRead : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(run.fake.registry.OpenHandleCount(), 0u) << "a key was left open";
  }
  MemoryRegistry& registry() { return run.fake.registry; }
  clsRegistryAccess& access() { return run.ctx.RegistryAccess(); }

  FakeRun run;
};

struct TextCase {
  const char* label;
  std::uint32_t type;
  std::string bytes;
  std::string expected;
};

// ReadString and ReadMultiStringValue read any type and stop at the first NUL.
TEST_F(RegistryRead, TextReadersGiveTheBytesUpToTheFirstNulWhateverTheType) {
  const TextCase cases[] = {
      {"plain", reg::kSz, "R-1\0"s, "R-1"},
      {"empty", reg::kSz, "\0"s, ""},
      {"no bytes at all", reg::kSz, "", ""},
      {"254 characters", reg::kSz, std::string(254, 'a') + '\0', std::string(254, 'a')},
      {"expandable stays unexpanded", reg::kExpandSz, "%SystemRoot%\\x\0"s, "%SystemRoot%\\x"},
      {"list gives its first string", reg::kMultiSz, "a\0b\0\0"s, "a"},
      {"dword bytes", reg::kDword, "CBA\0"s, "CBA"},
      {"bytes above 127", reg::kSz, "\xE9t\xE9\0"s, "\xE9t\xE9"},
  };
  for (const TextCase& c : cases) {
    registry().SetRaw("HKLM\\SOFTWARE\\T", "v", c.type, c.bytes);
    std::string err = "earlier text";
    EXPECT_EQ(access().ReadString("HKLM\\SOFTWARE\\T", "v", err), c.expected) << c.label;
    std::string path = "HKLM\\SOFTWARE\\T";
    EXPECT_EQ(access().ReadMultiStringValue(path, "v", err), c.expected) << c.label;
    EXPECT_EQ(err, "earlier text") << c.label << ": success leaves sErr alone";
  }
}

TEST_F(RegistryRead, ReadStringLogsThePathAsPassedAndFailsWithTheSystemText) {
  struct Case {
    std::string path, name, err;
  };
  const Case cases[] = {
      {"HKLM\\SOFTWARE\\NoSuchKey", "RegID", kNotFound},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\DORAZA", "RegID", kNotFound},
      {"HKU\\Software", "x", kInvalidHandle},
      {"", "", kInvalidHandle},
      {"HKLM\\SOFTWARE\\Long", "v", kMoreData},  // 256 bytes with its NUL
      {"HKLM\\SOFTWARE\\Long", "huge", kMoreData},
  };
  for (const Case& c : cases) {
    FakeRun fresh;
    fresh.fake.registry.SetString("HKLM\\SOFTWARE\\DORAZA", "Other", "x");
    fresh.fake.registry.SetString("HKLM\\SOFTWARE\\Long", "v", std::string(255, 'a'));
    fresh.fake.registry.SetRaw("HKLM\\SOFTWARE\\Long", "huge", reg::kSz, std::string(100000, 'a'));
    std::string err;
    EXPECT_EQ(fresh.ctx.RegistryAccess().ReadString(c.path, c.name, err), "") << c.path;
    EXPECT_EQ(err, c.err) << c.path;
    EXPECT_EQ(fresh.LogMessages(),
              (Lines{"MSG : ReadString, " + c.path + "[" + c.name + "]", "ERR : " + c.err}));
    EXPECT_EQ(fresh.fake.registry.OpenHandleCount(), 0u) << c.path;
  }
}

TEST_F(RegistryRead, ValueOf255BytesWithoutNulIsTrappedWithTheShortenedPath) {
  registry().SetRaw("HKLM\\SOFTWARE\\T", "raw", reg::kBinary, std::string(255, 'x'));
  std::string err;
  EXPECT_EQ(access().ReadString("HKEY_LOCAL_MACHINE\\SOFTWARE\\T", "raw", err), "");
  const std::string text =
      "Error while reading the string key HKLM\\SOFTWARE\\T[raw], Invalid procedure call or "
      "argument";
  EXPECT_EQ(err, text);
  EXPECT_EQ(run.LogMessages(),
            (Lines{"MSG : ReadString, HKEY_LOCAL_MACHINE\\SOFTWARE\\T[raw]", "ERR : " + text}));

  FakeRun multi;
  multi.fake.registry.SetRaw("HKLM\\SOFTWARE\\T", "raw", reg::kMultiSz, std::string(255, 'x'));
  std::string path = "hkey_local_machine\\SOFTWARE\\T";
  EXPECT_EQ(multi.ctx.RegistryAccess().ReadMultiStringValue(path, "raw", err), "");
  EXPECT_EQ(err,
            "Error while reading the multi string key HKLM\\SOFTWARE\\T[raw], Invalid procedure "
            "call or argument");
  EXPECT_EQ(multi.fake.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistryRead, ReadMultiStringValueRewritesTheCallersPathOnly) {
  registry().SetRaw("HKLM\\SOFTWARE", "list", reg::kMultiSz, "a\0b\0\0"s);
  std::string path = "HKEY_LOCAL_MACHINE\\SOFTWARE";
  std::string err;
  EXPECT_EQ(access().ReadMultiStringValue(path, "list", err), "a");
  EXPECT_EQ(path, "HKLM\\SOFTWARE");
  EXPECT_EQ(run.LogMessages(),
            Lines{"MSG : ReadMultiStringValue, HKEY_LOCAL_MACHINE\\SOFTWARE[list]"});

  const std::string byValue = "HKEY_LOCAL_MACHINE\\SOFTWARE";
  EXPECT_EQ(access().ReadString(byValue, "list", err), "a");
  EXPECT_EQ(byValue, "HKEY_LOCAL_MACHINE\\SOFTWARE");
}

TEST_F(RegistryRead, DefaultValueHasTheEmptyNameAndAtSignIsAnOrdinaryName) {
  registry().CreatePath("HKCU\\Software\\T");
  EXPECT_FALSE(access().ValueExists("HKCU\\Software\\T", ""));
  registry().SetString("HKCU\\Software\\T", "", "default");
  registry().SetString("HKCU\\Software\\T", "@", "at");
  EXPECT_TRUE(access().ValueExists("HKCU\\Software\\T", ""));
  EXPECT_EQ(access().ReadString("HKCU\\Software\\T", ""), "default");
  EXPECT_EQ(access().ReadString("HKCU\\Software\\T", "@"), "at");
}

TEST_F(RegistryRead, ValueExistsForAnySizeAndNothingLogged) {
  registry().SetRaw("HKLM\\SOFTWARE\\T", "big", reg::kBinary, std::string(100000, '\x01'));
  registry().SetRaw("HKLM\\SOFTWARE\\T", "none", reg::kBinary, "");
  EXPECT_TRUE(access().ValueExists("HKLM\\SOFTWARE\\T", "big"));
  EXPECT_TRUE(access().ValueExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\T", "NONE"));
  EXPECT_FALSE(access().ValueExists("HKLM\\SOFTWARE\\T", "missing"));
  EXPECT_FALSE(access().ValueExists("HKLM\\SOFTWARE\\Missing", "big"));
  EXPECT_FALSE(access().ValueExists("HKX\\SOFTWARE\\T", "big"));
  EXPECT_TRUE(run.LogMessages().empty());
}

TEST_F(RegistryRead, ReadDWORDIsLittleEndianAndZeroOnAnyFailure) {
  struct Case {
    const char* label;
    std::uint32_t type;
    std::string bytes;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"dword", reg::kDword, "\x78\x56\x34\x12", 0x12345678},
      {"all bits", reg::kDword, "\xFF\xFF\xFF\xFF", -1},
      {"text A with its NUL", reg::kSz, "A\0"s, 65},
      {"two bytes", reg::kBinary, "\x01\x02", 0x0201},
      {"five bytes is too large", reg::kBinary, "\x01\x02\x03\x04\x05", 0},
      {"empty", reg::kBinary, "", 0},
  };
  for (const Case& c : cases) {
    registry().SetRaw("HKLM\\SOFTWARE\\T", "d", c.type, c.bytes);
    EXPECT_EQ(access().ReadDWORD("HKLM\\SOFTWARE\\T", "d", 7), c.expected) << c.label;
  }
  FakeRun fresh;
  EXPECT_EQ(fresh.ctx.RegistryAccess().ReadDWORD("HKLM\\SOFTWARE\\T", "d", 7), 0);
  EXPECT_EQ(fresh.LogMessages(), Lines{"MSG : ReadDWORD, HKLM\\SOFTWARE\\T[d]"});
}

TEST_F(RegistryRead, ReadBinaryGivesHexTextOfTheWholeValue) {
  registry().SetRaw("HKLM\\SOFTWARE\\T", "three", reg::kBinary, "\x01\x02\x0A");
  registry().SetRaw("HKLM\\SOFTWARE\\T", "one", reg::kBinary, "\x7F");
  registry().SetRaw("HKLM\\SOFTWARE\\T", "empty", reg::kBinary, "");
  registry().SetString("HKLM\\SOFTWARE\\T", "text", "AB");
  registry().SetRaw("HKLM\\SOFTWARE\\T", "big", reg::kBinary, std::string(100000, '\xAB'));

  EXPECT_EQ(access().ReadBinary("HKLM\\SOFTWARE\\T", "three", "dflt"), "01 00 02 00 0A 00 00 00");
  EXPECT_EQ(access().ReadBinary("HKLM\\SOFTWARE\\T", "one"), "7F 00 00 00");
  EXPECT_EQ(access().ReadBinary("HKLM\\SOFTWARE\\T", "empty", "dflt"), "");
  EXPECT_EQ(access().ReadBinary("HKLM\\SOFTWARE\\T", "text"), "41 00 42 00 00 00 00 00");
  EXPECT_EQ(access().ReadBinary("HKLM\\SOFTWARE\\T", "missing", "dflt"), "");
  EXPECT_EQ(access().ReadBinary("HKLM\\SOFTWARE\\Missing", "three", "dflt"), "");
  const std::string big = access().ReadBinary("HKLM\\SOFTWARE\\T", "big");
  ASSERT_EQ(big.size(), 6u * 100000 + 5);
  EXPECT_EQ(big.substr(0, 12), "AB 00 AB 00 ");
  EXPECT_EQ(big.substr(big.size() - 11), "AB 00 00 00");
  EXPECT_EQ(run.LogMessages().at(0), "MSG : ReadBinary, HKLM\\SOFTWARE\\T[three]");
  EXPECT_EQ(run.LogMessages().size(), 7u) << "failures are silent";
}

TEST_F(RegistryRead, ReadExpandableStringExpandsEitherTypeAndReturnsTheWholeExpansion) {
  run.fake.system.expandVariables = {{"SystemRoot", "C:\\WINDOWS"},
                                     {"BIG", std::string(5000, 'b')},
                                     {"N998", std::string(998, 'n')}};
  struct Case {
    const char* label;
    std::uint32_t type;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"sz", reg::kSz, "%SystemRoot%\\x", "C:\\WINDOWS\\x"},
      {"expand sz", reg::kExpandSz, "%systemroot%\\x", "C:\\WINDOWS\\x"},
      {"unset name stays", reg::kSz, "%NoSuchVar%\\x", "%NoSuchVar%\\x"},
      {"empty", reg::kSz, "", ""},
      {"999 characters fit the first buffer", reg::kSz, "%N998%z", std::string(998, 'n') + "z"},
      {"1000 characters", reg::kSz, "%N998%zz", std::string(998, 'n') + "zz"},
      {"5000 characters", reg::kSz, "<%BIG%>", "<" + std::string(5000, 'b') + ">"},
      {"599 characters", reg::kSz, std::string(599, 'c'), std::string(599, 'c')},
  };
  for (const Case& c : cases) {
    registry().SetString("HKLM\\SOFTWARE\\T", "e", c.text, c.type);
    EXPECT_EQ(access().ReadExpandableString("HKLM\\SOFTWARE\\T", "e", "dflt"), c.expected)
        << c.label;
  }
}

TEST_F(RegistryRead, ReadExpandableStringFailuresAreSilentExceptAValueWithoutNul) {
  registry().SetString("HKLM\\SOFTWARE\\T", "600", std::string(600, 'c'));  // 601 with NUL
  registry().SetRaw("HKLM\\SOFTWARE\\T", "raw", reg::kBinary, std::string(600, 'c'));
  EXPECT_EQ(access().ReadExpandableString("HKLM\\SOFTWARE\\T", "600", "dflt"), "");
  EXPECT_EQ(access().ReadExpandableString("HKLM\\SOFTWARE\\T", "missing", "dflt"), "");
  EXPECT_EQ(access().ReadExpandableString("HKLM\\SOFTWARE\\Missing", "600"), "");
  EXPECT_EQ(run.LogMessages(), (Lines{"MSG : ReadExpandableString, HKLM\\SOFTWARE\\T[600]",
                                      "MSG : ReadExpandableString, HKLM\\SOFTWARE\\T[missing]",
                                      "MSG : ReadExpandableString, HKLM\\SOFTWARE\\Missing[600]"}));
  // Not guarded: the run-time error reaches the caller, and the key is closed all the same.
  EXPECT_THROW(access().ReadExpandableString("HKLM\\SOFTWARE\\T", "raw"), RuntimeError);
}

}  // namespace
