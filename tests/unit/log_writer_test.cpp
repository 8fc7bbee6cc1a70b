#include "run/log_writer.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(LogWriter, LineIsStampTabMessageCrLf) {
  FakeRun run;
  subWriteLog(run.ctx, "MSG : hello");
  run.ctx.LogStream->Close();
  EXPECT_EQ(run.fake.files.Content(FakeRun::kLogPath), "12/07/2026 21:05:09\tMSG : hello\r\n");
}

TEST(LogWriter, EmptyMessageAndTrailingSpacesKept) {
  FakeRun run;
  subWriteLog(run.ctx, "");
  subWriteLog(run.ctx, "MSG : x  ");
  EXPECT_EQ(run.LogLines(),
            (std::vector<std::string>{"12/07/2026 21:05:09\t", "12/07/2026 21:05:09\tMSG : x  "}));
}

TEST(LogWriter, UsesLocaleTimeSeparatorAndPadsFields) {
  FakeRun run;
  run.fake.clock.timeSeparator = ".";
  run.fake.clock.now = LocalTime{2027, 1, 3, 4, 5, 6, 1};
  subWriteLog(run.ctx, "m");
  EXPECT_EQ(run.LogLines().at(0), "01/03/2027 04.05.06\tm");
}

TEST(LogWriter, LineBeforeLogExistsIsLostSilently) {
  FakeRun run;
  run.ctx.LogStream.reset();
  subWriteLog(run.ctx, "lost");
  run.OpenLog();
  subWriteLog(run.ctx, "kept");
  EXPECT_EQ(run.LogMessages(), std::vector<std::string>{"kept"});
}

TEST(LogWriter, FailingWriteIsDroppedWithoutError) {
  FakeRun run;
  run.fake.files.diskFull = true;
  EXPECT_NO_THROW(subWriteLog(run.ctx, std::string(100000, 'x')));
  EXPECT_NO_THROW(run.ctx.LogStream->Close());
}

TEST(LogWriter, EndApplicationLogsClosesAndEnds) {
  FakeRun run;
  subWriteLog(run.ctx, "MSG : before");
  try {
    subEndApplication(run.ctx);
    FAIL() << "subEndApplication returned";
  } catch (const ProcessEnded&) {
  }
  EXPECT_EQ(run.ctx.LogStream, nullptr);
  const std::string content = run.fake.files.Content(FakeRun::kLogPath);
  EXPECT_EQ(
      content,
      "12/07/2026 21:05:09\tMSG : before\r\n12/07/2026 21:05:09\tMSG : Application Ended\r\n");
}

TEST(LogWriter, LinesOfOneSecondShareTheStampInCallOrder) {
  FakeRun run;
  for (const char* m : {"MSG : first", "MSG : second", "ERR : third"}) subWriteLog(run.ctx, m);
  run.fake.clock.now.second = 10;
  subWriteLog(run.ctx, "MSG : next second");
  EXPECT_EQ(run.LogLines(),
            (std::vector<std::string>{
                "12/07/2026 21:05:09\tMSG : first", "12/07/2026 21:05:09\tMSG : second",
                "12/07/2026 21:05:09\tERR : third", "12/07/2026 21:05:10\tMSG : next second"}));
}

TEST(LogWriter, MessageIsOneLineOtherwiseAsGiven) {
  // CR and LF show as \r and \n; tabs, leading spaces and high bytes stay as they are.
  FakeRun run;
  subWriteLog(run.ctx, "  a\r\nb\tc\xE9\n\\r");
  run.ctx.LogStream->Close();
  EXPECT_EQ(run.fake.files.Content(FakeRun::kLogPath),
            "12/07/2026 21:05:09\t  a\\r\\nb\tc\xE9\\n\\r\r\n");
}

TEST(LogWriter, LinesAfterEndApplicationAreDropped) {
  FakeRun run;
  EXPECT_THROW(subEndApplication(run.ctx), ProcessEnded);
  subWriteLog(run.ctx, "MSG : too late");
  EXPECT_EQ(run.fake.files.Content(FakeRun::kLogPath),
            "12/07/2026 21:05:09\tMSG : Application Ended\r\n");
}
