// The reading operations on the in-memory registry: results, sErr, log lines, and every
// key closed again whichever way the operation left. Values at the buffer limits are
// checked on every backend in tests/platform.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/runtime_error.h"
#include "registry/registry_access.h"

namespace {
using namespace std::string_literals;
using Lines = std::vector<std::string>;
const std::string kT = "HKLM\\SOFTWARE\\T";

class RegistryRead : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(run.fake.registry.OpenHandleCount(), 0u) << "key left open";
  }
  void Set(const std::string& name, std::uint32_t type, const std::string& bytes) {
    run.fake.registry.SetRaw(kT, name, type, bytes);
  }
  clsRegistryAccess& access() { return run.ctx.RegistryAccess(); }
  FakeRun run;
};

TEST_F(RegistryRead, TextReadersStopAtTheFirstNulWhateverTheType) {
  const std::tuple<std::uint32_t, std::string, std::string> cases[] = {
      {reg::kSz, "R-1\0"s, "R-1"},
      {reg::kSz, "", ""},
      {reg::kExpandSz, "%SystemRoot%\\x\0"s, "%SystemRoot%\\x"},
      {reg::kMultiSz, "a\0b\0\0"s, "a"},
      {reg::kDword, "CBA\0"s, "CBA"},
  };
  for (const auto& [type, bytes, expected] : cases) {
    Set("v", type, bytes);
    std::string err = "earlier", path = kT;
    EXPECT_EQ(access().ReadString(kT, "v", err), expected);
    EXPECT_EQ(access().ReadMultiStringValue(path, "v", err), expected);
    EXPECT_EQ(err, "earlier") << "success leaves sErr alone";
  }
}

TEST_F(RegistryRead, TextReadersLogThePathAsPassedAndFailWithTheSystemText) {
  const std::pair<std::string, std::string> cases[] = {
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\DORAZA", "2-The system cannot find the file specified."},
      {"HKU\\Software", "6-The handle is invalid."},
      {"", "6-The handle is invalid."},
  };
  for (const auto& [path, text] : cases) {
    FakeRun fresh;
    std::string err, caller = path;
    EXPECT_EQ(fresh.ctx.RegistryAccess().ReadString(path, "RegID", err), "");
    EXPECT_EQ(err, text);
    EXPECT_EQ(fresh.ctx.RegistryAccess().ReadMultiStringValue(caller, "RegID", err), "");
    EXPECT_EQ(fresh.LogMessages(),
              (Lines{"MSG : ReadString, " + path + "[RegID]", "ERR : " + text,
                     "MSG : ReadMultiStringValue, " + path + "[RegID]", "ERR : " + text}));
  }
}

TEST_F(RegistryRead, GuardTextShowsTheShortenedPathAndMultiRewritesTheCallersPath) {
  Set("raw", reg::kBinary, std::string(255, 'x'));  // no NUL in the 255-byte buffer
  std::string err, path = "hkey_local_machine\\SOFTWARE\\T";
  EXPECT_EQ(access().ReadString("HKEY_LOCAL_MACHINE\\SOFTWARE\\T", "raw", err), "");
  const std::string tail = " key HKLM\\SOFTWARE\\T[raw], Invalid procedure call or argument";
  EXPECT_EQ(err, "Error while reading the string" + tail);
  EXPECT_EQ(access().ReadMultiStringValue(path, "raw", err), "");
  EXPECT_EQ(err, "Error while reading the multi string" + tail);
  EXPECT_EQ(path, "HKLM\\SOFTWARE\\T");
  EXPECT_EQ(run.LogMessages(),
            (Lines{"MSG : ReadString, HKEY_LOCAL_MACHINE\\SOFTWARE\\T[raw]",
                   "ERR : Error while reading the string" + tail,
                   "MSG : ReadMultiStringValue, hkey_local_machine\\SOFTWARE\\T[raw]",
                   "ERR : Error while reading the multi string" + tail}));
}

TEST_F(RegistryRead, ReadDWORDIsLittleEndianAndZeroOnAnyFailure) {
  const std::tuple<std::uint32_t, std::string, std::int32_t> cases[] = {
      {reg::kDword, "\x78\x56\x34\x12", 0x12345678},
      {reg::kDword, "\xFF\xFF\xFF\xFF", -1},
      {reg::kSz, "A\0"s, 65},
      {reg::kBinary, "\x01\x02", 0x0201},
      {reg::kBinary, "\x01\x02\x03\x04\x05", 0},
  };
  for (const auto& [type, bytes, expected] : cases) {
    Set("d", type, bytes);
    EXPECT_EQ(access().ReadDWORD(kT, "d", 7), expected);
  }
  FakeRun fresh;
  EXPECT_EQ(fresh.ctx.RegistryAccess().ReadDWORD(kT, "d", 7), 0);
  EXPECT_EQ(fresh.LogMessages(), Lines{"MSG : ReadDWORD, HKLM\\SOFTWARE\\T[d]"});
}

TEST_F(RegistryRead, ReadBinaryGivesHexTextOfWhatIsStoredAndEmptyOnFailure) {
  Set("one", reg::kBinary, "\x7F");
  Set("none", reg::kBinary, "");
  Set("text", reg::kSz, "AB\0"s);
  EXPECT_EQ(access().ReadBinary(kT, "one", "dflt"), "7F 00 00 00");
  EXPECT_EQ(access().ReadBinary(kT, "none", "dflt"), "");
  EXPECT_EQ(access().ReadBinary(kT, "text"), "41 00 42 00 00 00 00 00");
  EXPECT_EQ(access().ReadBinary(kT, "missing", "dflt"), "");
  EXPECT_EQ(access().ReadBinary("HKLM\\Missing", "one", "dflt"), "");
  EXPECT_EQ(run.LogMessages().size(), 5u) << "one line per call, failures silent";
}

TEST_F(RegistryRead, ReadExpandableStringExpandsEitherTypeAndGivesTheWholeExpansion) {
  run.fake.system.expandVariables = {{"SystemRoot", "C:\\WINDOWS"},
                                     {"N998", std::string(998, 'n')}};
  const std::tuple<std::uint32_t, std::string, std::string> cases[] = {
      {reg::kSz, "%SystemRoot%\\x\0"s, "C:\\WINDOWS\\x"},
      {reg::kExpandSz, "%systemroot%\\x\0"s, "C:\\WINDOWS\\x"},
      {reg::kSz, "%NoSuchVar%\\x\0"s, "%NoSuchVar%\\x"},
      {reg::kSz, "\0"s, ""},
      {reg::kSz, "%N998%z\0"s, std::string(998, 'n') + "z"},  // 999: fills the 1000
      {reg::kSz, "%N998%zz\0"s, std::string(998, 'n') + "zz"},
      {reg::kSz, "%N998%%N998%%N998%\0"s, std::string(3 * 998, 'n')},
  };
  for (const auto& [type, bytes, expected] : cases) {
    Set("e", type, bytes);
    EXPECT_EQ(access().ReadExpandableString(kT, "e", "dflt"), expected) << bytes;
  }
}

TEST_F(RegistryRead, ReadExpandableStringFailsSilentlyButPassesARunTimeErrorOn) {
  Set("600", reg::kSz, std::string(600, 'c') + '\0');
  Set("raw", reg::kBinary, std::string(600, 'c'));
  EXPECT_EQ(access().ReadExpandableString(kT, "600", "dflt"), "");
  EXPECT_EQ(access().ReadExpandableString("HKLM\\Missing", "600"), "");
  EXPECT_EQ(run.LogMessages(), (Lines{"MSG : ReadExpandableString, HKLM\\SOFTWARE\\T[600]",
                                      "MSG : ReadExpandableString, HKLM\\Missing[600]"}));
  EXPECT_THROW(access().ReadExpandableString(kT, "raw"), RuntimeError);
}

TEST_F(RegistryRead, ValueExistsLooksUpWithoutLogging) {
  Set("none", reg::kBinary, "");
  EXPECT_TRUE(access().ValueExists(kT, "NONE"));
  EXPECT_FALSE(access().ValueExists(kT, "missing"));
  EXPECT_FALSE(access().ValueExists("HKLM\\Missing", "none"));
  EXPECT_FALSE(access().ValueExists("HKX\\SOFTWARE\\T", "none"));
  EXPECT_TRUE(run.LogMessages().empty());
}

}  // namespace
