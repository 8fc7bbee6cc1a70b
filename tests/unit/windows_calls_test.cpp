#include "run/windows_calls.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {
using Lines = std::vector<std::string>;

TEST(FormatMessage, CodeHyphenMessageOrTheCodeAlone) {
  FakeRun run;
  run.fake.system.messages[77] = std::string(198, 'm');  // 200 with CR LF: over the size 200
  run.fake.system.messages[78] = std::string(197, 'm');
  run.fake.system.messages[0xFFFFFFFFu] = "Minus one.";
  const std::pair<std::int32_t, std::string> cases[] = {
      {5, "5-Access is denied."},
      {0, "0-The operation completed successfully."},
      {99999, "99999"},
      {-2147024891, "-2147024891"},
      {-1, "-1-Minus one."},
      {77, "77"},
      {78, "78-" + std::string(197, 'm')}};
  for (const auto& [code, expected] : cases) EXPECT_EQ(fncFormatMessage(run.ctx, code), expected);
  EXPECT_TRUE(run.LogMessages().empty());

  run.fake.system.formatMessageLength = 1;  // too short to hold the closing CR LF
  EXPECT_EQ(fncFormatMessage(run.ctx, 5), "5");
  EXPECT_EQ(run.LogMessages(),
            Lines{"ERR : fncFormatMessage. ErrDesc : 5 Invalid procedure call or argument"});
}

TEST(ShortPath, FailureGivesEmptyOrTheInputAndLongFormsComeBackWhole) {
  FakeRun run;
  std::string missing = "C:\\No Such\\Folder";
  EXPECT_EQ(GetShortpath(run.ctx, missing), "");
  EXPECT_EQ(fncGetShortPathName(run.ctx, missing), missing);
  run.fake.system.shortPaths["C:\\Program Files\\A"] = "C:\\PROGRA~1\\A";
  std::string path = "C:\\Program Files\\A";
  EXPECT_EQ(GetShortpath(run.ctx, path), "C:\\PROGRA~1\\A");
  EXPECT_EQ(fncGetShortPathName(run.ctx, path), "C:\\PROGRA~1\\A");
  // Longer than the first buffer (164 and 500 characters): asked again with the size needed.
  for (std::size_t n : {164u, 165u, 499u, 600u}) {
    std::string p(n, 'p');
    run.fake.system.shortPaths[p] = std::string(n, 's');
    EXPECT_EQ(GetShortpath(run.ctx, p), std::string(n, 's'));
    EXPECT_EQ(fncGetShortPathName(run.ctx, p), std::string(n, 's'));
  }
  EXPECT_TRUE(run.LogMessages().empty());

  run.fake.system.raises = RuntimeError(53, "File not found");
  EXPECT_EQ(GetShortpath(run.ctx, path), path);
  EXPECT_EQ(fncGetShortPathName(run.ctx, "C:\\y"), "C:\\y");
  EXPECT_EQ(run.LogMessages(), Lines{"ERR : In GetShortpath. Err : 53::File not found"});
}

TEST(SystemFolders, FolderOrEmptyAndOnlyGetSpecialfolderLogsARunTimeError) {
  FakeRun run;
  std::int32_t system = 37, unknown = 9999, documents = 5;
  run.fake.system.specialFolders[5] = std::string("C:\\Docs\0junk", 12);
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), "C:\\WINDOWS\\system32");
  EXPECT_EQ(GetSpecialfolder(run.ctx, system), "C:\\WINDOWS\\system32");
  EXPECT_EQ(GetSpecialfolder(run.ctx, documents), "C:\\Docs");
  EXPECT_EQ(GetSpecialfolder(run.ctx, unknown), "");
  run.fake.system.systemDirectory = std::string(300, 's');  // longer than the 255 buffer
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), std::string(300, 's'));
  run.fake.system.systemDirectory.clear();
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), "");
  EXPECT_TRUE(run.LogMessages().empty());

  run.fake.system.raises = RuntimeError(5, "Invalid procedure call or argument");
  EXPECT_EQ(GetSpecialfolder(run.ctx, system), "");
  EXPECT_EQ(fncGetSystemDirectory(run.ctx), "");
  EXPECT_EQ(run.LogMessages(), Lines{"ERR : 5 (Invalid procedure call or argument) in procedure "
                                     "GetSpecialfolder of Module modShutdown"});
}

TEST(TrimNull, CutsAtTheFirstNul) {
  using namespace std::string_literals;
  EXPECT_EQ(fncTrimNull("plain"), "plain");
  EXPECT_EQ(fncTrimNull("\0abc"s), "");
  EXPECT_EQ(fncTrimNull("ab\0c\0d"s), "ab");
}

}  // namespace
