#include "expand/token_splitter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"
#include "support/row_printer.h"
#include "text/text_util.h"

namespace {

using Lines = std::vector<std::string>;

struct Expansion {
  bool result;
  std::string text;
  std::string error;
};

// A run whose environment answers the entries the cases use.
struct SplitRun : FakeRun {
  SplitRun() {
    fake.environment.Set("TEMP", "C:\\Temp");
    fake.environment.Set("windir", "C:\\WINDOWS");
  }
  Expansion Expand(const std::string& input) {
    Expansion e{false, input, "stale"};
    e.result = fncSplitEnvVariables(ctx, e.text, e.error);
    return e;
  }
};

const std::string kErr = "Error while expanding environmental variable ";

TEST(TokenSplitter, OneTokenLogsEveryStepInOrder) {
  SplitRun run;
  const Expansion e = run.Expand("%TEMPDIR%");
  EXPECT_TRUE(e.result);
  EXPECT_EQ(e.text, "C:\\Temp");
  EXPECT_EQ(e.error, "");
  EXPECT_EQ(run.LogMessages(),
            (Lines{"MSG : Calculating the count for % in %TEMPDIR%", "MSG : Count is 2",
                   "MSG : In fncSplitEnvVariables, expanding string, %TEMPDIR%",
                   "MSG : Enironmental variable [1]=TEMPDIR",
                   "MSG : In fncExpandEvnVariable TEMPDIR", "MSG : Expanded Value :: C:\\Temp",
                   "MSG : Expanded variable :: C:\\Temp", "MSG : Expanded value :: C:\\Temp"}));
}

TEST(TokenSplitter, AllNamesAreLoggedBeforeTheFirstIsResolved) {
  SplitRun run;
  const Expansion e = run.Expand("%TEMPDIR%\\x\\%WINDIR%");
  EXPECT_TRUE(e.result);
  EXPECT_EQ(e.text, "C:\\Temp\\x\\C:\\WINDOWS");
  const Lines log = run.LogMessages();
  ASSERT_EQ(log.size(), 12u);
  EXPECT_EQ(log[3], "MSG : Enironmental variable [1]=TEMPDIR");
  EXPECT_EQ(log[4], "MSG : Enironmental variable [2]=WINDIR");
  EXPECT_EQ(log[5], "MSG : In fncExpandEvnVariable TEMPDIR");
  EXPECT_EQ(log[7], "MSG : Expanded variable :: C:\\Temp\\x\\%WINDIR%");
  EXPECT_EQ(log[10], "MSG : Expanded variable :: C:\\Temp\\x\\C:\\WINDOWS");
  EXPECT_EQ(log[11], "MSG : Expanded value :: C:\\Temp\\x\\C:\\WINDOWS");
}

// Texts the splitter hands back untouched, and what it logs for them.
struct UntouchedCase {
  std::string label;
  std::string text;
  bool result;
  Lines log;
};

using row_printer::PrintTo;

class UntouchedTest : public ::testing::TestWithParam<UntouchedCase> {};

TEST_P(UntouchedTest, TextUnchangedErrorEmpty) {
  const UntouchedCase& c = GetParam();
  SplitRun run;
  const Expansion e = run.Expand(c.text);
  EXPECT_EQ(e.result, c.result);
  EXPECT_EQ(e.text, c.text);
  EXPECT_EQ(e.error, "");
  EXPECT_EQ(run.LogMessages(), c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UntouchedTest,
    ::testing::Values(
        UntouchedCase{"Empty",
                      "",
                      true,
                      {"MSG : Calculating the count for % in ", "MSG : No env variable used for "}},
        UntouchedCase{"SpacesOnly",
                      "   ",
                      true,
                      {"MSG : Calculating the count for % in    ", "MSG : Count is 0",
                       "MSG : No env variable used for    "}},
        UntouchedCase{"NoSign",
                      "abc",
                      true,
                      {"MSG : Calculating the count for % in abc", "MSG : Count is 0",
                       "MSG : No env variable used for abc"}},
        UntouchedCase{"OneSign",
                      "%TEMPDIR",
                      true,
                      {"MSG : Calculating the count for % in %TEMPDIR", "MSG : Count is 1",
                       "MSG : No env variable used for %TEMPDIR"}},
        // Signs with nothing but spaces between make no token: no name is looked up, so
        // there is no error text to give, and the result says nothing was expanded.
        UntouchedCase{
            "AdjacentSigns",
            "%%",
            false,
            {"MSG : Calculating the count for % in %%", "MSG : Count is 2",
             "MSG : In fncSplitEnvVariables, expanding string, %%", "MSG : Expanded value :: %%"}},
        UntouchedCase{"SpaceBetweenSigns",
                      "a% %b",
                      false,
                      {"MSG : Calculating the count for % in a% %b", "MSG : Count is 2",
                       "MSG : In fncSplitEnvVariables, expanding string, a% %b",
                       "MSG : Expanded value :: a% %b"}}),
    [](const auto& info) { return info.param.label; });

// Texts with tokens: the text after expansion, the result and the error text.
struct ExpandCase {
  std::string label;
  std::string text;
  std::string expanded;
  bool result;
  std::string error;
};

class ExpandTest : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTest, ExpandedTextResultAndError) {
  const ExpandCase& c = GetParam();
  SplitRun run;
  run.fake.environment.Set("SystemRoot", "%TEMPDIR%");
  const Expansion e = run.Expand(c.text);
  EXPECT_EQ(e.text, c.expanded);
  EXPECT_EQ(e.result, c.result);
  EXPECT_EQ(e.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExpandTest,
    ::testing::Values(
        ExpandCase{"TextAroundToken", "abc%TEMPDIR%def", "abcC:\\Tempdef", true, ""},
        ExpandCase{"SpacesInsideSignsKeptInReplacement", "x% TEMPDIR %y", "xC:\\Tempy", true, ""},
        ExpandCase{"LowerCaseTokenReplaced", "%tempdir%", "C:\\Temp", true, ""},
        // Replacement is exact: each spelling is replaced by its own name's turn.
        ExpandCase{"SpellingsReplacedSeparately", "%tempdir%|%TEMPDIR%", "C:\\Temp|C:\\Temp", true,
                   ""},
        ExpandCase{"OddSignTakesTrailingTextAsName", "%TEMPDIR% 50% off", "C:\\Temp 50% off", false,
                   kErr + "OFF, it is not found. "},
        ExpandCase{"OddSignWithNothingAfterIt", "%TEMPDIR% 50%", "C:\\Temp 50%", true, ""},
        ExpandCase{"StopsAtFirstFailureKeepingEarlierValues", "%WINDIR%-%nope%-%TEMPDIR%",
                   "C:\\WINDOWS-%nope%-%TEMPDIR%", false, kErr + "NOPE, it is not found. "},
        ExpandCase{"FirstNameFailsNothingReplaced", "%nope%%TEMPDIR%", "%nope%%TEMPDIR%", false,
                   kErr + "NOPE, it is not found. "},
        // A value is never searched for tokens of its own ...
        ExpandCase{"ValueNotSearchedForTokens", "%TEMPDIR%%SYSTEMROOT%", "C:\\Temp%TEMPDIR%", true,
                   ""},
        // ... but a later name's replacement runs over the whole text, earlier values too.
        ExpandCase{"LaterReplacementActsOnEarlierValue", "%SYSTEMROOT%-%TEMPDIR%",
                   "C:\\Temp-C:\\Temp", true, ""},
        // A repeated name's replacement still runs after a value brought its token back.
        ExpandCase{"RepeatedNameReplacesTokenAValueBroughtBack", "%TEMPDIR%%SYSTEMROOT%%TEMPDIR%",
                   "C:\\TempC:\\TempC:\\Temp", true, ""},
        ExpandCase{"BlankValueFails", "%PROGRAMFILES%", "", false, "Env Varibale value is blank"},
        ExpandCase{"BlankAfterTrimFails", " %PROGRAMFILES% ", "  ", false,
                   "Env Varibale value is blank"},
        // The run driver writes an empty error text as success: a failing entry must say why.
        ExpandCase{"FailingEntryGivesErrorText", "%TEMPDIR%\\%ProfilesDir%",
                   "C:\\Temp\\%ProfilesDir%", false, kErr + "PROFILESDIR, it has no value. "},
        ExpandCase{"NonAsciiAroundToken", "\xE4%CRLF%\xFF\xFE", "\xE4\r\n\xFF\xFE", true, ""},
        ExpandCase{"InvalidUtf8Name", "%\xC3\x28%\xE9t\xE9", "%\xC3\x28%\xE9t\xE9", false,
                   kErr + "\xC3\x28, it is not found. "},
        ExpandCase{"NonAsciiNameKeepsHighBytes", "%caf\xE9%", "%caf\xE9%", false,
                   kErr + "CAF\xE9, it is not found. "}),
    [](const auto& info) { return info.param.label; });

TEST(TokenSplitter, RepeatedNameIsResolvedAgainAndLoggedTwice) {
  SplitRun run;
  const Expansion e = run.Expand("%TEMPDIR% and %TEMPDIR%");
  EXPECT_TRUE(e.result);
  EXPECT_EQ(e.text, "C:\\Temp and C:\\Temp");
  const Lines log = run.LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "MSG : In fncExpandEvnVariable TEMPDIR"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "MSG : Expanded variable :: C:\\Temp and C:\\Temp"),
            2);
  EXPECT_EQ(log[4], "MSG : Enironmental variable [2]=TEMPDIR");
}

TEST(TokenSplitter, FailureLogsNothingAfterTheResolver) {
  SplitRun run;
  run.Expand("%foo%");
  const Lines log = run.LogMessages();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "MSG : Expanded Value :: ");
  EXPECT_EQ(log[log.size() - 2], "MSG : In fncExpandEvnVariable foo");
}

// Positions beyond 32,767 are ordinary: 100,000 signs expand like any other text.
TEST(TokenSplitter, HundredThousandSignsExpand) {
  const std::string pad(99998, '%');
  struct Case {
    std::string text;
    std::string expanded;
  };
  for (const Case& c :
       {Case{"%TEMPDIR%" + pad, "C:\\Temp" + pad}, Case{pad + "%TEMPDIR%", pad + "C:\\Temp"}}) {
    SplitRun run;
    const Expansion e = run.Expand(c.text);
    EXPECT_TRUE(e.result);
    EXPECT_EQ(e.error, "");
    EXPECT_TRUE(e.text == c.expanded);
    const Lines log = run.LogMessages();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[1], "MSG : Count is 100000");
    EXPECT_EQ(log[3], "MSG : Enironmental variable [1]=TEMPDIR");
  }
}

TEST(TokenSplitter, BadInputsEndWithTheirOutcome) {
  struct Case {
    std::string label;
    std::string text;
    std::string expanded;
    bool result;
    std::string error;
  };
  const std::string megaSigns(1 << 20, '%');
  const std::string longName(10000, 'n');
  std::string bytes;
  for (std::size_t i = 0; i < (1u << 20); ++i) bytes += static_cast<char>(1 + (i * 7919) % 255);
  const std::string noSigns = text::ReplaceAll(bytes, "%", "");
  for (const Case& c : {
           Case{"only signs", megaSigns, megaSigns, false, ""},
           Case{"long name", "%" + longName + "%", "%" + longName + "%", false,
                kErr + std::string(10000, 'N') + ", it is not found. "},
           Case{"megabyte around one token", noSigns + "%CRLF%" + noSigns,
                noSigns + "\r\n" + noSigns, true, ""},
       }) {
    SplitRun run;
    const Expansion e = run.Expand(c.text);
    EXPECT_TRUE(e.text == c.expanded) << c.label;
    EXPECT_EQ(e.result, c.result) << c.label;
    EXPECT_TRUE(e.error == c.error) << c.label;
  }
  // Arbitrary bytes: whatever the names, the run ends and reports through its error text.
  SplitRun run;
  Expansion e = run.Expand(bytes);
  EXPECT_FALSE(e.result);
  EXPECT_EQ(e.error.rfind(kErr, 0), 0u);
}

// Windows passes at most 32,767 characters on a command line; a longer text, which only a
// caller in the process can give, is shown in the log by its opening and length, so that
// the log of an expansion grows with the number of names, not with its square.
TEST(TokenSplitter, TextsUpToTheLongestCommandLineAreLoggedWhole) {
  const std::string text = "%TEMPDIR%" + std::string(32758, 'x');
  SplitRun run;
  EXPECT_TRUE(run.Expand(text).result);
  const Lines log = run.LogMessages();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[2], "MSG : In fncSplitEnvVariables, expanding string, " + text);
  EXPECT_EQ(log.back(), "MSG : Expanded value :: C:\\Temp" + std::string(32758, 'x'));
}

TEST(TokenSplitter, ManyRepeatedTokensBeyondAnyCommandLine) {
  std::string text;
  std::string expanded;
  for (int i = 0; i < 12000; ++i) {
    text += "%TEMPDIR%";
    expanded += "C:\\Temp";
  }
  SplitRun run;
  const Expansion e = run.Expand(text);
  EXPECT_TRUE(e.result);
  EXPECT_TRUE(e.text == expanded);
  const Lines log = run.LogMessages();
  const std::string shownResult =
      "MSG : Expanded variable :: " + expanded.substr(0, 256) + "... (84000 characters)";
  EXPECT_EQ(std::count(log.begin(), log.end(), shownResult), 12000);
  EXPECT_EQ(log[0], "MSG : Calculating the count for % in " + text.substr(0, 256) +
                        "... (108000 characters)");
  EXPECT_EQ(log[1], "MSG : Count is 24000");
  EXPECT_EQ(log[12002], "MSG : Enironmental variable [12000]=TEMPDIR");
  EXPECT_EQ(log.back(),
            "MSG : Expanded value :: " + expanded.substr(0, 256) + "... (84000 characters)");
}

struct CountCase {
  std::string text;
  std::string pattern;
  bool caseSensitive;
  std::size_t count;
};

TEST(CharCount, CountsOverlappingMatchesUnderChosenComparison) {
  for (const CountCase& c : {CountCase{"aaa", "aa", true, 2}, CountCase{"ab", "abc", true, 0},
                             CountCase{"AbaB", "ab", false, 2}, CountCase{"AbaB", "ab", true, 0},
                             CountCase{"AbaB", "Ab", true, 1}, CountCase{"%a%%", "%", false, 3},
                             CountCase{"\xE9\xC9", "\xC9", false, 1}}) {
    FakeRun run;
    EXPECT_EQ(fncCharCount(run.ctx, c.text, c.pattern, c.caseSensitive), c.count) << c.text;
    EXPECT_EQ(run.LogMessages(), (Lines{"MSG : Calculating the count for % in " + c.text,
                                        "MSG : Count is " + std::to_string(c.count)}));
  }
}

TEST(CharCount, EmptyTextCountsNothingAndLogsOneLine) {
  FakeRun run;
  EXPECT_EQ(fncCharCount(run.ctx, "", "x", true), 0u);
  EXPECT_EQ(run.LogMessages(), Lines{"MSG : Calculating the count for % in "});
}

}  // namespace
