#include "text/leading_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace {

struct Case {
  std::string text;
  double value;
};

// Named by its text: without this GoogleTest prints a case as its raw bytes, reading the
// string's unused buffer.
void PrintTo(const Case& c, std::ostream* os) {
  *os << '"' << c.text << "\" -> " << c.value;
}

class LeadingNumberCase : public testing::TestWithParam<Case> {};

TEST_P(LeadingNumberCase, ReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(LeadingNumber(GetParam().text), GetParam().value)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, LeadingNumberCase,
    testing::Values(Case{"", 0}, Case{"0", 0}, Case{"0.0", 0}, Case{"abc", 0}, Case{"-0", 0},
                    Case{"12", 12}, Case{"0012", 12}, Case{"12abc", 12}, Case{"00042", 42},
                    Case{"42x", 42}, Case{"-7", -7}, Case{"+7", 7}, Case{"--7", 0}, Case{"+-7", 0},
                    Case{"1.5", 1.5}, Case{".5", 0.5}, Case{"5.", 5}, Case{"1.2.3", 1.2},
                    Case{".", 0}, Case{"-.", 0}, Case{"1,5", 1}, Case{"0.000", 0}, Case{"x12", 0}));

INSTANTIATE_TEST_SUITE_P(WhiteSpaceSkippedAnywhere, LeadingNumberCase,
                         testing::Values(Case{"1 2", 12}, Case{"  42  ", 42}, Case{"\t7", 7},
                                         Case{"\n7", 7}, Case{"- 3", -3}, Case{"1\t2\n3", 123},
                                         Case{"1 . 5", 1.5}, Case{"\r7", 0}, Case{"1\r2", 1},
                                         Case{"\v7", 0}, Case{"   ", 0}));

INSTANTIATE_TEST_SUITE_P(Exponent, LeadingNumberCase,
                         testing::Values(Case{"1e3", 1000}, Case{"1E3", 1000}, Case{"1e+3", 1000},
                                         Case{"15e-1", 1.5}, Case{"0e5", 0}, Case{"1e", 1},
                                         Case{"1e+", 1}, Case{"2e1x", 20}, Case{"1 e 2", 100},
                                         Case{"e5", 0}, Case{"1e-400", 0}, Case{"0.00001e-320", 0},
                                         Case{"1d2", 1}));

INSTANTIATE_TEST_SUITE_P(HexAndOctal, LeadingNumberCase,
                         testing::Values(Case{"&H0", 0}, Case{"&H", 0}, Case{"&HFF", 255},
                                         Case{"&hff", 255}, Case{"&H1G", 1}, Case{"&O17", 15},
                                         Case{"&o8", 0}, Case{"&O", 0}, Case{"& H 1 0", 16},
                                         Case{"&X1", 0}, Case{"&", 0}, Case{"-&H1", 0},
                                         Case{"&H00000000000000000001", 1}));

TEST(LeadingNumber, ExponentBeyondDoubleIsInfiniteNotZero) {
  EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
  EXPECT_GT(LeadingNumber("1e999"), 0);
  EXPECT_LT(LeadingNumber("-9e99999999999"), 0);
  EXPECT_TRUE(std::isinf(LeadingNumber("0.001e400")));
}

TEST(LeadingNumber, LongTextsOfDigitsAndSpaces) {
  EXPECT_DOUBLE_EQ(LeadingNumber(std::string(100000, '0') + "7"), 7);
  EXPECT_EQ(LeadingNumber(std::string(100000, ' ')), 0);
  EXPECT_TRUE(std::isinf(LeadingNumber("1" + std::string(400, '0'))));
}

}  // namespace
