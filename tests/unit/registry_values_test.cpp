#include <gtest/gtest.h>

#include <functional>

#include "registry_fixture.h"

namespace {
using ::testing::ElementsAre;

const std::string kNotFound = "2-The system cannot find the file specified.";
const std::string kBadHandle = "6-The handle is invalid.";
const std::string kKey = "HKCU\\Software\\T";

using Writer = std::function<std::int32_t(clsRegistryAccess&, const std::string& path,
                                          const std::string& name, std::string& err)>;

struct WriterCase {
  std::string label;
  Writer write;       // writes the case's value under name
  std::string entry;  // the entry line for name "n"
  std::uint32_t type;
  std::string bytes;  // what is stored
  bool atIsDefault;   // "@" names the default value
  std::uint32_t openMask;
  std::string setError;  // sErr when setting "n" in HKEY_CURRENT_USER\Software\T answers 5
};

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

const std::vector<WriterCase>& WriterCases() {
  static const std::vector<WriterCase> cases{
      {"WriteString",
       [](auto& r, auto& p, auto& n, auto& e) { return r.WriteString(p, n, "abc", e); },
       "MSG : WriteString, path:" + kKey + ", Name:n, value:abc", 1, "abc", true, 0x20006,
       "Error while setting the value for REG_SZ n with value abc"},
      {"WriteStringTo64Bit",
       [](auto& r, auto& p, auto& n, auto& e) { return r.WriteStringTo64Bit(p, n, "abc", e); },
       "MSG : WriteString, path:" + kKey + ", Name:n, value:abc", 1, "abc", true, 0x20106,
       "Error while setting the value for REG_SZ, n with value abc"},
      {"WriteMultiString",
       [](auto& r, auto& p, auto& n, auto& e) {
         return r.WriteMultiString(p, n, std::string("a\0b\0\0", 5), e);
       },
       "MSG : WriteMultiString, path:" + kKey + ", Name:n, value:" + std::string("a\0b\0\0", 5), 7,
       std::string("a\0b\0\0", 5), true, 0x20006,
       "Error while setting the value for REG_MULTI_SZ n with value " + std::string("a\0b\0\0", 5)},
      {"WriteMulti64ToString",
       [](auto& r, auto& p, auto& n, auto& e) {
         return r.WriteMulti64ToString(p, n, std::string("a\0\0", 3), e);
       },
       "MSG : WriteMultiString, path:" + kKey + ", Name:n, value:" + std::string("a\0\0", 3), 7,
       std::string("a\0\0", 3), true, 0x20106,
       "Error while setting the value for REG_MULTI_SZ n with value " + std::string("a\0\0", 3)},
      {"WriteDWORD", [](auto& r, auto& p, auto& n, auto& e) { return r.WriteDWORD(p, n, -2, e); },
       "MSG : WriteDWORD, path:" + kKey + ", Name:n, value:-2", 4, Bytes({0xFE, 0xFF, 0xFF, 0xFF}),
       false, 0x20006, "Error while setting the value for string n with value -2"},
      {"WriteDWORD64Bit",
       [](auto& r, auto& p, auto& n, auto& e) { return r.WriteDWORD64Bit(p, n, 0x12345678, e); },
       "MSG : WriteDWORD64Bit, path:" + kKey + ", Name:n, value:305419896", 4,
       Bytes({0x78, 0x56, 0x34, 0x12}), false, 0x20106,
       "Error while setting the value for string n with value 305419896"},
      {"WriteBinary",
       [](auto& r, auto& p, auto& n, auto& e) { return r.WriteBinary(p, n, "01 0a FF", e); },
       "MSG : WriteBinary, path:" + kKey + ", Name:n, value:01 0a FF", 3, Bytes({1, 10, 255}),
       false, 0x20006,
       // The value as StrToBin made it: the bytes themselves.
       "Error while setting the value for REG_BINARY n with value " + Bytes({1, 10, 255})},
      {"WriteBinary64bit",
       [](auto& r, auto& p, auto& n, auto& e) { return r.WriteBinary64bit(p, n, "00ff", e); },
       "MSG : WriteBinary64bit, path:" + kKey + ", Name:n, value:00ff", 3, Bytes({0, 255}), false,
       0x20106, "Error while setting the value for REG_BINARY n with value " + Bytes({0, 255})},
  };
  return cases;
}

void PrintTo(const WriterCase& c, std::ostream* os) {
  *os << c.label;
}

class WriterTest : public RegistryTest, public ::testing::WithParamInterface<WriterCase> {};

TEST_P(WriterTest, StoresTypeAndBytesAndCreatesAMissingKey) {
  const WriterCase& c = GetParam();
  err = "stale";
  EXPECT_NE(c.write(reg, kKey, "n", err), 0);
  EXPECT_EQ(err, "");
  const auto stored = fake.registry.Value(kKey, "n");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, c.type);
  EXPECT_EQ(stored->data, c.bytes);
  EXPECT_EQ(registry.masks.back(), c.openMask);
  // The existence test, the creation and the open all ask the view written to.
  for (std::uint32_t mask : registry.masks) EXPECT_EQ(mask & 0x300u, c.openMask & 0x300u) << mask;
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front(), c.entry);
  EXPECT_EQ(log[1], "MSG : Creating the resgistry key " + kKey);
  EXPECT_EQ(log.back(), "MSG : Successfully written the value.");
}

TEST_P(WriterTest, AtNamesTheDefaultValueOnlyForTextWriters) {
  const WriterCase& c = GetParam();
  fake.registry.CreatePath(kKey);
  EXPECT_NE(c.write(reg, kKey, "@", err), 0);
  EXPECT_EQ(fake.registry.Value(kKey, "").has_value(), c.atIsDefault);
  EXPECT_EQ(fake.registry.Value(kKey, "@").has_value(), !c.atIsDefault);
}

TEST_P(WriterTest, WithoutKeyCreationAMissingKeyIsLeftAlone) {
  const WriterCase& c = GetParam();
  reg.CreateKeyIfDoesntExists(false);
  fake.system.lastError = 2;
  EXPECT_EQ(c.write(reg, kKey, "n", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_FALSE(fake.registry.HasKey(kKey));
  const std::vector<std::string> log = Log();
  if (c.type == 3)
    EXPECT_THAT(log, ElementsAre(c.entry, "ERR : " + kNotFound));
  else
    EXPECT_THAT(log, ElementsAre(c.entry));
}

TEST_P(WriterTest, ASetFailureIsReportedAndTheKeyClosed) {
  const WriterCase& c = GetParam();
  fake.registry.CreatePath(kKey);
  registry.setValueFails = 5;
  EXPECT_EQ(c.write(reg, "HKEY_CURRENT_USER\\Software\\T", "n", err), 0);
  EXPECT_EQ(err, c.setError + " for registry key HKCU\\Software\\T, 5-Access is denied.");
  // The log shows the binary value's LF as "\n": the line stays one line.
  std::string logged = err;
  if (const std::size_t lf = logged.find('\n'); lf != std::string::npos)
    logged.replace(lf, 1, "\\n");
  EXPECT_EQ(Log().back(), "ERR : " + logged);
}

INSTANTIATE_TEST_SUITE_P(AllEight, WriterTest, ::testing::ValuesIn(WriterCases()),
                         [](const auto& info) { return info.param.label; });

TEST_F(RegistryTest, OpenFailureTextsOfTheWriters) {
  // An unknown hive: creation fails, then the open does.
  EXPECT_EQ(reg.WriteString("HKU\\X", "n", "v", err), 0);
  EXPECT_EQ(err, "Error while opening the REG_SZ key, HKU\\X, " + kBadHandle);
  EXPECT_EQ(Log().back(), "ERR :" + err);
  EXPECT_EQ(reg.WriteBinary("HKU\\X", "n", "01", err), 0);
  EXPECT_EQ(err, "Error while opening the REG_BINARY key, HKU\\X, " + kBadHandle);
  EXPECT_EQ(reg.WriteDWORD("HKU\\X", "n", 5, err), 0);
  EXPECT_EQ(err,
            "Error while opening the value for string n with value 5 for registry key "
            "HKU\\X, " +
                kBadHandle + ".");
  EXPECT_EQ(Log().back(), "ERR : " + err);
  EXPECT_EQ(reg.WriteDWORD64Bit("HKU\\X", "n", 5, err), 0);
  EXPECT_EQ(err,
            "Error while setting the value for string n with value 5 for registry key "
            "HKU\\X, " +
                kBadHandle);
  EXPECT_EQ(Log().back(), "ERR : " + err);
}

TEST_F(RegistryTest, BinaryWritersRefuseHexThatWouldBeStoredAsOtherBytes) {
  for (const std::string bad : {"0G", "010", "01 0", "zz", "0x01", "01,02"}) {
    for (bool view64 : {false, true}) {
      err.clear();
      const std::int32_t r =
          view64 ? reg.WriteBinary64bit(kKey, "b", bad, err) : reg.WriteBinary(kKey, "b", bad, err);
      EXPECT_EQ(r, 0) << bad;
      EXPECT_EQ(err, "Error while setting the value for REG_BINARY b with value " + bad +
                         " for registry key " + kKey + ", invalid hex data");
      EXPECT_EQ(Log().back(), "ERR : " + err);
    }
  }
  EXPECT_FALSE(fake.registry.HasKey(kKey));
  // No hex digits at all is an empty binary value.
  EXPECT_NE(reg.WriteBinary(kKey, "e", "  ", err), 0);
  EXPECT_EQ(fake.registry.Value(kKey, "e")->data, "");
}

TEST_F(RegistryTest, KillValueResults) {
  fake.registry.SetString(kKey, "v", "x");
  fake.registry.SetString(kKey, "", "d");
  EXPECT_NE(reg.KillValue64bit(kKey, "v", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_THAT(Log(), ElementsAre("MSG : KillValue64bit, path:" + kKey + ", Value:v",
                                 "MSG : Successfully deleted the value."));
  EXPECT_NE(reg.KillValue(kKey, "", err), 0);
  EXPECT_FALSE(fake.registry.Value(kKey, "").has_value());

  // A value that is not there: the deletion failed, so the result is 0.
  EXPECT_EQ(reg.KillValue("HKEY_CURRENT_USER\\Software\\T", "v", err), 0);
  EXPECT_EQ(err, "Error while deleteing the value v for registry key " + kKey + ", " + kNotFound);
  fake.registry.SetString(kKey, "w", "x");
  registry.deleteValueFails = 5;
  EXPECT_EQ(reg.KillValue64bit(kKey, "w", err), 0);
  EXPECT_EQ(err,
            "Error while deleteing the value w for registry key " + kKey + ", 5-Access is denied.");
  Log();

  // A missing key: only the 64-bit form reports it in sErr.
  EXPECT_EQ(reg.KillValue("HKCU\\Software\\None", "v", err), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(Log().back(), "ERR : while opening the key HKCU\\Software\\None, " + kNotFound);
  EXPECT_EQ(reg.KillValue64bit("HKCU\\Software\\None", "v", err), 0);
  EXPECT_EQ(err, "Error while opening the key HKCU\\Software\\None, " + kNotFound);
}

TEST_F(RegistryTest, EnumValuesListsByTypeInEnumerationOrder) {
  fake.registry.SetRaw(kKey, "c", 3, Bytes({1}));
  fake.registry.SetDword(kKey, "b", 7);
  fake.registry.SetString(kKey, "a", "x");
  fake.registry.SetString(kKey, "m", std::string("p\0q\0", 4), 7);
  fake.registry.SetString(kKey, "e", "%X%", 2);
  std::vector<std::string> names{"stale"};
  std::vector<RegVariant> values;
  std::int32_t all = -1;
  EXPECT_EQ(reg.EnumValues(kKey, names, values, all), 5);
  EXPECT_THAT(names, ElementsAre("a", "b", "c", "e", "m"));
  EXPECT_EQ(values, (std::vector<RegVariant>{std::string("x"), 7, std::string("01 00 00 00"),
                                             std::monostate{}, std::monostate{}}));
  std::int32_t dword = 4;
  EXPECT_EQ(reg.EnumValues(kKey, names, values, dword), 1);
  EXPECT_THAT(names, ElementsAre("b"));
  EXPECT_EQ(reg.EnumValues("HKCU\\Software\\None", names, values, all), -1);
}

TEST_F(RegistryTest, EnumValuesListsDataBeyondTheBufferWhole) {
  std::string big(100000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  fake.registry.SetRaw(kKey, "big", 3, big);
  fake.registry.SetRaw(kKey, "zero", 3, "");
  std::vector<std::string> names;
  std::vector<RegVariant> values;
  std::int32_t binary = 3;
  ASSERT_EQ(reg.EnumValues(kKey, names, values, binary), 2);
  EXPECT_THAT(names, ElementsAre("big", "zero"));
  const std::string& hex = std::get<std::string>(values[0]);
  EXPECT_EQ(hex.size(), 6u * big.size() + 5);
  EXPECT_EQ(hex.substr(0, 18), "00 00 07 00 0E 00 ");
  EXPECT_EQ(hex.substr(hex.size() - 11), "59 00 00 00");
  EXPECT_EQ(std::get<std::string>(values[1]), "");
}
}  // namespace
