#include <gtest/gtest.h>

#include "registry/registry_access.h"

namespace {
using namespace std::string_literals;

struct StrToBinCase {
  std::string hex;
  std::string bytes;
  std::string rewritten;
  friend void PrintTo(const StrToBinCase& c, std::ostream* os) { *os << '"' << c.hex << '"'; }
};

class StrToBinTest : public ::testing::TestWithParam<StrToBinCase> {};

TEST_P(StrToBinTest, BytesAndTheCallersVariableWithoutSpaces) {
  std::string hex = GetParam().hex;
  EXPECT_EQ(clsRegistryAccess::StrToBin(hex), GetParam().bytes);
  EXPECT_EQ(hex, GetParam().rewritten);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, StrToBinTest,
    ::testing::Values(
        StrToBinCase{"41 42", "AB", "4142"}, StrToBinCase{"", "", ""}, StrToBinCase{"   ", "", ""},
        StrToBinCase{"01 0a FF", "\x01\x0A\xFF", "010aFF"},
        StrToBinCase{" 0 10 AF F ", "\x01\x0A\xFF", "010AFF"}, StrToBinCase{"00", "\0"s, "00"},
        // Odd lengths: half the length rounded half to even.
        StrToBinCase{"4", "", "4"}, StrToBinCase{"414", "A\x04", "414"},
        StrToBinCase{"41424", "AB", "41424"}, StrToBinCase{"4142434", "ABC\x04", "4142434"},
        StrToBinCase{"414243444", "ABCD", "414243444"},
        // Pieces read as far as their leading hex digits go.
        StrToBinCase{"G1", "\0"s, "G1"}, StrToBinCase{"1G", "\x01", "1G"},
        StrToBinCase{"zz41", "\0A"s, "zz41"}, StrToBinCase{"\t41\n", "\0\x01"s, "\t41\n"},
        StrToBinCase{"\xE9\xE9"
                     "41",
                     "\0A"s,
                     "\xE9\xE9"
                     "41"}));

TEST(BinToStr, TwoDigitsAndZeroPerCharacterClosedByTwoZeros) {
  EXPECT_EQ(clsRegistryAccess::BinToStr("AB"), "41 00 42 00 00 00");
  EXPECT_EQ(clsRegistryAccess::BinToStr("\n"), "0A 00 00 00");
  EXPECT_EQ(clsRegistryAccess::BinToStr("\0"s), "00 00 00 00");
  EXPECT_EQ(clsRegistryAccess::BinToStr("\xFF\x80 "), "FF 00 80 00 20 00 00 00");
  EXPECT_EQ(clsRegistryAccess::BinToStr(""), "");
}

TEST(BinToStr, EveryByteGivesItsTwoDigitsAndStrToBinReadsThemBack) {
  std::string all, units;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (char c : all) units += std::string{c, '\0'};
  std::string hex = clsRegistryAccess::BinToStr(all);
  EXPECT_EQ(hex.size(), 6 * all.size() + 5);
  EXPECT_EQ(clsRegistryAccess::StrToBin(hex), units + "\0\0"s);
}

TEST(IsBinValid, HexDigitsAndSpacesOnlyAndNotBlank) {
  struct Case {
    std::string text;
    bool valid;
  };
  const Case cases[] = {{"01 af", true},
                        {"0123456789ABCDEFabcdef", true},
                        {"0", true},
                        {" f ", true},
                        {"0G", false},
                        {"   ", false},
                        {"", false},
                        {"\t01", false},
                        {"0x01", false},
                        {"01\n", false},
                        {"\xE9"
                         "1",
                         false},
                        {"01\0"s, false}};
  for (const Case& c : cases) EXPECT_EQ(clsRegistryAccess::isBinValid(c.text), c.valid) << c.text;
}

}  // namespace
