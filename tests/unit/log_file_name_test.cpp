#include "main/log_file_name.h"

#include <gtest/gtest.h>

namespace {

const LocalTime kStart{2026, 3, 4, 5, 6, 7, 4};

TEST(LogFileName, OrdinaryCommandLineGivesFourUnderscoresInARow) {
  EXPECT_EQ(BuildLogFileName("qEnv", "1234", {"", "", ""}, kStart),
            "qEnv_1234____03042026050607.txt");
}

TEST(LogFileName, TimeIsMonthDayYearHourMinuteSecond) {
  EXPECT_EQ(FormatLogFileTime(LocalTime{2027, 12, 31, 23, 59, 58, 6}), "12312027235958");
  EXPECT_EQ(FormatLogFileTime(LocalTime{2026, 1, 2, 0, 0, 0, 6}), "01022026000000");
}

TEST(LogFileName, FieldsStandBetweenRegIdAndTime) {
  EXPECT_EQ(BuildLogFileName("qEnv", "77", {"job", "7", "x y"}, kStart),
            "qEnv_77_job_7_x y_03042026050607.txt");
}

TEST(LogFileName, CharactersThatWouldLeaveTheLogFolderBecomeUnderscores) {
  EXPECT_EQ(BuildLogFileName("qEnv", "..\\..\\x", {"a/b", "c:d", "*?\"<>|"}, kStart),
            "qEnv_.._.._x_a_b_c_d________03042026050607.txt");
  EXPECT_EQ(BuildLogFileName("qEnv", std::string("1\t2\n3") + '\0', {"", "", ""}, kStart),
            "qEnv_1_2_3_____03042026050607.txt");
}

TEST(LogFileName, BytesAbove127StayAsTheyAre) {
  EXPECT_EQ(BuildLogFileName("qEnv", "\xE9t\xE9", {"", "", ""}, kStart),
            "qEnv_\xE9t\xE9____03042026050607.txt");
}

}  // namespace
