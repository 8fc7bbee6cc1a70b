#include "main/windows_calls.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

struct MessageCase {
  std::int32_t code;
  std::string expected;
  friend void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.code; }
};

class FormatMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(FormatMessageTest, CodeHyphenMessageOrCodeAlone) {
  FakeRun run;
  run.fake.system.messages[77] = std::string(198, 'm');  // 200 with CR LF: over the size 200
  run.fake.system.messages[78] = std::string(197, 'm');  // 199 with CR LF: fits
  EXPECT_EQ(fncFormatMessage(run.ctx, GetParam().code), GetParam().expected);
  EXPECT_TRUE(run.LogMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FormatMessageTest,
    ::testing::Values(MessageCase{5, "5-Access is denied."},
                      MessageCase{0, "0-The operation completed successfully."},
                      MessageCase{234, "234-More data is available."}, MessageCase{99999, "99999"},
                      MessageCase{-1, "-1"}, MessageCase{-2147024891, "-2147024891"},
                      MessageCase{77, "77"}, MessageCase{78, "78-" + std::string(197, 'm')}));

TEST(FormatMessage, NegativeCodeReachesTheSystemAsItsUnsignedForm) {
  FakeRun run;
  run.fake.system.messages[0xFFFFFFFFu] = "Minus one.";
  EXPECT_EQ(fncFormatMessage(run.ctx, -1), "-1-Minus one.");
}

TEST(FormatMessage, LengthTooShortForTheLineBreakIsTrappedAndLogged) {
  FakeRun run;
  run.fake.system.formatMessageLength = 1;
  EXPECT_EQ(fncFormatMessage(run.ctx, 5), "5");
  EXPECT_EQ(run.LogMessages(), std::vector<std::string>{
                                   "ERR : fncFormatMessage. ErrDesc : 5 Invalid procedure call or "
                                   "argument"});
}

TEST(ShortPath, FailureGivesEmptyOrTheInputDependingOnTheWrapper) {
  FakeRun run;
  std::string missing = "C:\\No Such\\Folder";
  EXPECT_EQ(GetShortpath(run.ctx, missing), "");
  EXPECT_EQ(fncGetShortPathName(run.ctx, missing), missing);
  EXPECT_EQ(missing, "C:\\No Such\\Folder");

  run.fake.system.shortPaths["C:\\Program Files\\Agent"] = "C:\\PROGRA~1\\Agent";
  std::string path = "C:\\Program Files\\Agent";
  EXPECT_EQ(GetShortpath(run.ctx, path), "C:\\PROGRA~1\\Agent");
  EXPECT_EQ(fncGetShortPathName(run.ctx, path), "C:\\PROGRA~1\\Agent");
  EXPECT_TRUE(run.LogMessages().empty());
}

TEST(ShortPath, ShortFormLongerThanTheFirstBufferComesBackWhole) {
  FakeRun run;
  const std::string s164(164, 'a'), s165(165, 'b'), s499(499, 'c'), s600(600, 'd');
  for (const std::string* s : {&s164, &s165, &s499, &s600}) run.fake.system.shortPaths[*s] = *s;
  for (const std::string* s : {&s164, &s165, &s499, &s600}) {
    std::string p = *s;
    EXPECT_EQ(GetShortpath(run.ctx, p), *s) << s->size();
    EXPECT_EQ(fncGetShortPathName(run.ctx, *s), *s) << s->size();
  }
}

TEST(ShortPath, RunTimeErrorLogsInGetShortpathOnlyAndGivesTheInput) {
  FakeRun run;
  run.fake.system.raises = RuntimeError(53, "File not found");
  std::string path = "C:\\x";
  EXPECT_EQ(GetShortpath(run.ctx, path), "C:\\x");
  EXPECT_EQ(fncGetShortPathName(run.ctx, "C:\\y"), "C:\\y");
  EXPECT_EQ(run.LogMessages(),
            std::vector<std::string>{"ERR : In GetShortpath. Err : 53::File not found"});
}

TEST(SystemFolders, PathOrEmptyWithoutALogLine) {
  FakeRun run;
  std::int32_t system = 37, unknown = 9999;
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), "C:\\WINDOWS\\system32");
  EXPECT_EQ(GetSpecialfolder(run.ctx, system), "C:\\WINDOWS\\system32");
  EXPECT_EQ(GetSpecialfolder(run.ctx, unknown), "");

  run.fake.system.systemDirectory = std::string(300, 's');  // longer than the 255 buffer
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), std::string(300, 's'));
  run.fake.system.systemDirectory.clear();
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), "");

  run.fake.system.specialFolders[5] = std::string("C:\\Docs\0junk", 12);
  std::int32_t documents = 5;
  EXPECT_EQ(GetSpecialfolder(run.ctx, documents), "C:\\Docs");
  EXPECT_TRUE(run.LogMessages().empty());
}

TEST(SystemFolders, RunTimeErrorGivesEmptyAndOnlyGetSpecialfolderLogs) {
  FakeRun run;
  run.fake.system.raises = RuntimeError(5, "Invalid procedure call or argument");
  std::int32_t system = 37;
  EXPECT_EQ(GetSpecialfolder(run.ctx, system), "");
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), "");
  EXPECT_EQ(run.LogMessages(),
            std::vector<std::string>{"ERR : 5 (Invalid procedure call or argument) in procedure "
                                     "GetSpecialfolder of Module modShutdown"});
}

TEST(TrimNull, CutsAtTheFirstNul) {
  using namespace std::string_literals;
  EXPECT_EQ(fncTrimNull("plain"), "plain");
  EXPECT_EQ(fncTrimNull(""), "");
  EXPECT_EQ(fncTrimNull("\0abc"s), "");
  EXPECT_EQ(fncTrimNull("ab\0c\0d"s), "ab");
  EXPECT_EQ(fncTrimNull("C:\\Users\\x\0\0\0\0"s), "C:\\Users\\x");
}

}  // namespace
