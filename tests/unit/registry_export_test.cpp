#include <gtest/gtest.h>

#include "registry_fixture.h"

namespace {
using ::testing::ElementsAre;

const std::string kFile = "out.reg";

// Lines joined with CR LF, each closed by one.
std::string Lines(std::initializer_list<std::string> lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

class Paths : public ExportOutput {
 public:
  void SetText(const std::string& path) override { seen.push_back(path); }
  std::vector<std::string> seen;
};

using ExportTest = RegistryTest;

TEST_F(ExportTest, EmptyKeyAndTheWorkedExample) {
  fake.registry.CreatePath("HKCU\\Software\\E");
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\E", kFile), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\E]", "@=\"\"", ""}));

  const std::string k = "HKEY_CURRENT_USER\\Software\\T";
  fake.registry.SetString(k, "", "d");
  fake.registry.SetDword(k, "n", 10);
  fake.registry.SetRaw(k, "b", reg::kBinary, std::string("\x01\x02", 2));
  fake.registry.SetString(k, "s", "x");
  EXPECT_EQ(reg.ExportToReg("hkcu\\Software\\T", "t.reg"), 1);
  EXPECT_EQ(fake.files.Content("t.reg"),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\T]", "@=\"d\"", "\"s\"=\"x\"",
                   "\"b\"=hex:01,00,02,00,00,00", "\"n\"=dword:0x0000000A", ""}));
}

TEST_F(ExportTest, ValueLinesAreWrittenUnescapedAndByType) {
  const std::string k = "HKCU\\Software\\V";
  fake.registry.SetString(k, "q", "a\\b\"c");
  fake.registry.SetRaw(k, "one", reg::kBinary, "\n");
  fake.registry.SetRaw(k, "empty", reg::kBinary, "");
  fake.registry.SetDword(k, "ff", 255);
  fake.registry.SetDword(k, "neg", 0xFFFFFFFFu);
  fake.registry.SetString(k, "exp", "%PATH%", reg::kExpandSz);
  fake.registry.SetString(k, "multi", std::string("a\0", 2), reg::kMultiSz);
  EXPECT_EQ(reg.ExportToReg(k, kFile), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\V]", "@=\"\"",
                   "\"q\"=\"a\\b\"c\"", "\"empty\"=hex:", "\"one\"=hex:0A,00,00,00",
                   "\"ff\"=dword:0x000000FF", "\"neg\"=dword:0xFFFFFFFF", ""}));
}

TEST_F(ExportTest, OddNamesAndLongTextsAreWrittenWhole) {
  const std::string k = "HKCU\\Software\\Odd";
  const std::string longText(300, 'x');
  fake.registry.SetString(k, "q\"\\\xE9", "v\xE9");
  fake.registry.SetString(k, "long", longText);
  EXPECT_EQ(reg.ExportToReg(k, kFile), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Odd]", "@=\"\"",
                   "\"long\"=\"" + longText + "\"", "\"q\"\\\xE9\"=\"v\xE9\"", ""}));
}

TEST_F(ExportTest, ThreeLevelsExportDepthFirstThenDeleteDepthFirst) {
  const std::string t = "HKCU\\Software\\T";
  fake.registry.SetString(t + "\\A\\B", "v", "1");
  fake.registry.CreatePath(t + "\\C");
  fake.registry.SetDword(t + "\\A", "n", 2);
  Paths paths;
  EXPECT_EQ(reg.ExportToReg(t, kFile, true, &paths), 1);
  const std::string L = "HKEY_CURRENT_USER\\Software\\T";
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[" + L + "]", "@=\"\"", "", "[" + L + "\\A]", "@=\"\"",
                   "\"n\"=dword:0x00000002", "", "[" + L + "\\A\\B]", "@=\"\"", "\"v\"=\"1\"", "",
                   "[" + L + "\\C]", "@=\"\"", ""}));
  EXPECT_THAT(paths.seen, ElementsAre(L, L + "\\A", L + "\\A\\B", L + "\\C"));

  EXPECT_EQ(reg.ExportToReg(t, "flat.reg", false), 1);
  EXPECT_EQ(fake.files.Content("flat.reg"), Lines({"REGEDIT4", "", "[" + L + "]", "@=\"\"", ""}));

  Log();
  EXPECT_NE(reg.KillKey(t, "Y", err), 0);
  std::vector<std::string> deleted;
  for (const std::string& line : Log())
    if (line.rfind("MSG : Successfully deleted the key, ", 0) == 0)
      deleted.push_back(line.substr(36));
  EXPECT_THAT(deleted, ElementsAre(t + "\\A\\B", t + "\\A", t + "\\C", t));
  EXPECT_FALSE(fake.registry.HasKey(t));
}

TEST_F(ExportTest, TargetsThatCannotBeWritten) {
  fake.registry.SetString("HKCU\\Software\\T", "s", "x");
  fake.files.files[kFile].content = "keep";
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\T", kFile), 0);
  EXPECT_EQ(fake.files.Content(kFile), "keep");

  fake.files.folders.insert("dir");
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\T", "dir"), 0);
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\T", "nofolder/x.reg"), 0);
  EXPECT_FALSE(fake.files.FileExists("nofolder/x.reg"));

  // The disk fills up after the header: the block never reaches the file, so the export
  // has failed.
  struct FillDisk : ExportOutput {
    FakeFiles& files;
    explicit FillDisk(FakeFiles& f) : files(f) {}
    void SetText(const std::string&) override { files.diskFull = true; }
  } fill(fake.files);
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\T", "full.reg", false, &fill), 0);
  EXPECT_EQ(fake.files.Content("full.reg"), Lines({"REGEDIT4", ""}));
}

TEST_F(ExportTest, MissingKeyStillWritesItsBlock) {
  EXPECT_EQ(reg.ExportToReg("HKLM\\SOFTWARE\\Nothing", kFile, true), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Nothing]", "@=\"\"", ""}));
}
}  // namespace
