#include "platform/os_release.h"

#include <gtest/gtest.h>

namespace {

TEST(OsRelease, QuotedBareAndEscapedValues) {
  const std::string content =
      "# comment\n"
      "NAME=\"Debian GNU/Linux\"\n"
      "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\r\n"
      "VERSION_ID='12'\n"
      "ID=debian\n"
      "HOME_URL=\"https://www.debian.org/\"  \n"
      "QUOTED=\"say \\\"hi\\\" \\\\ \\$x\"\n"
      "EMPTY=\n"
      "  INDENTED=yes\n"
      "no equals sign\n"
      "LONE=\"\n";
  const auto f = ParseOsRelease(content);
  EXPECT_EQ(f.at("NAME"), "Debian GNU/Linux");
  EXPECT_EQ(f.at("PRETTY_NAME"), "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(f.at("VERSION_ID"), "12");
  EXPECT_EQ(f.at("ID"), "debian");
  EXPECT_EQ(f.at("HOME_URL"), "https://www.debian.org/");
  EXPECT_EQ(f.at("QUOTED"), "say \"hi\" \\ $x");
  EXPECT_EQ(f.at("EMPTY"), "");
  EXPECT_EQ(f.at("INDENTED"), "yes");
  EXPECT_EQ(f.at("LONE"), "\"");
  EXPECT_EQ(f.count("no equals sign"), 0u);
  EXPECT_EQ(f.size(), 9u);
}

}  // namespace
