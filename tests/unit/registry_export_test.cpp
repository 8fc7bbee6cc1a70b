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
                   "\"b\"=hex:01,02", "\"n\"=dword:0000000A", ""}));
}

// Each line reads back as the value it came from: strings escaped, a string that could
// break its line as hex(1) bytes with the NUL, binary data as its own bytes.
TEST_F(ExportTest, ValueLinesReadBackAsTheirValues) {
  const std::string k = "HKCU\\Software\\V";
  const std::string tail = "d\\";
  fake.registry.SetString(k, "", "x\r\ny");
  fake.registry.SetString(k, "q", "a\\b\"c");
  fake.registry.SetString(k, "t", tail);
  fake.registry.SetString(k, "lf", "1\n[HKLM\\Run]");
  fake.registry.SetString(k, "tab", "\t\x1F");
  fake.registry.SetString(k, "e", "");
  fake.registry.SetRaw(k, "one", reg::kBinary, "\n");
  fake.registry.SetRaw(k, "three", reg::kBinary, std::string("\x01\x0A\xFF", 3));
  fake.registry.SetRaw(k, "empty", reg::kBinary, "");
  fake.registry.SetRaw(k, "zero", reg::kBinary, std::string(2, '\0'));
  fake.registry.SetDword(k, "ff", 255);
  fake.registry.SetDword(k, "neg", 0xFFFFFFFFu);
  fake.registry.SetString(k, "exp", "%PATH%", reg::kExpandSz);
  fake.registry.SetString(k, "multi", std::string("a\0", 2), reg::kMultiSz);
  EXPECT_EQ(reg.ExportToReg(k, kFile), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\V]", "@=hex(1):78,0D,0A,79,00",
                   "\"e\"=\"\"", "\"lf\"=hex(1):31,0A,5B,48,4B,4C,4D,5C,52,75,6E,5D,00",
                   "\"q\"=\"a\\\\b\\\"c\"", "\"t\"=\"d\\\\\"", "\"tab\"=hex(1):09,1F,00",
                   "\"empty\"=hex:", "\"one\"=hex:0A", "\"three\"=hex:01,0A,FF",
                   "\"zero\"=hex:00,00", "\"ff\"=dword:000000FF", "\"neg\"=dword:FFFFFFFF", ""}));
}

// A key name with a line break cannot be written on one line: the export refuses it.
TEST_F(ExportTest, NamesWithLineBreaksAreRefused) {
  fake.registry.CreatePath("HKCU\\Software\\L\\a\nb");
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\L\\a\nb", kFile), 0);
  EXPECT_FALSE(fake.files.FileExists(kFile));
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\L", "sub.reg", true), 0);
  EXPECT_EQ(fake.files.Content("sub.reg"),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\L]", "@=\"\"", ""}));
  fake.registry.SetDword("HKCU\\Software\\N", "n\r", 1);
  EXPECT_THAT(Log(), ::testing::Contains(::testing::HasSubstr("holds a line break")));
  fake.registry.SetString("HKCU\\Software\\N", "a\nb\\", "x");
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\N", "n.reg"), 1);
  EXPECT_EQ(fake.files.Content("n.reg"),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\N]", "@=\"\"",
                   "\"a\\nb\\\\\"=\"x\"", "\"n\\r\"=dword:00000001", ""}));
}

TEST_F(ExportTest, OddNamesAndLongTextsAreWrittenWhole) {
  const std::string k = "HKCU\\Software\\Odd";
  const std::string longText(300, 'x');
  fake.registry.SetString(k, "q\"\\\xE9", "v\xE9");
  fake.registry.SetString(k, "long", longText);
  fake.registry.SetString(k, "", longText);
  EXPECT_EQ(reg.ExportToReg(k, kFile), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Odd]", "@=\"" + longText + "\"",
                   "\"long\"=\"" + longText + "\"", "\"q\\\"\\\\\xE9\"=\"v\xE9\"", ""}));
}

// Names as stored, each with its own data; the reads in the described order.
TEST_F(ExportTest, NamesAsStoredAndReadsInOrder) {
  const std::string k = "HKCU\\Software\\Trim";
  fake.registry.SetDword(k, " n", 5);
  fake.registry.SetString(k, "s ", "keep");
  fake.registry.SetString(k, "s", "other");
  fake.registry.SetRaw(k, "b ", reg::kBinary, "\x07");
  Log();
  EXPECT_EQ(reg.ExportToReg(k, kFile), 1);
  EXPECT_EQ(fake.files.Content(kFile), Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Trim]",
                                              "@=\"\"", "\"s\"=\"other\"", "\"s \"=\"keep\"",
                                              "\"b \"=hex:07", "\" n\"=dword:00000005", ""}));
  const std::string read = "MSG : ReadString, HKEY_CURRENT_USER\\Software\\Trim[]";
  const std::string at = "HKCU\\Software\\Trim[";
  const std::string none = "ERR : 2-The system cannot find the file specified.";
  EXPECT_THAT(Log(),
              ElementsAre(read, none, read, none, "MSG : ReadString, " + at + "s]",
                          "MSG : ReadString, " + at + "s]", "MSG : ReadDWORD, " + at + "n]"));
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
                   "\"n\"=dword:00000002", "", "[" + L + "\\A\\B]", "@=\"\"", "\"v\"=\"1\"", "",
                   "[" + L + "\\C]", "@=\"\"", ""}));
  EXPECT_THAT(paths.seen, ElementsAre(L, L + "\\A", L + "\\A\\B", L + "\\C"));

  fake.registry.CreateLink(t + "\\C\\Link", "\\Registry\\Machine\\SOFTWARE\\Target");
  fake.registry.SetString("HKLM\\SOFTWARE\\Target\\Deep", "secret", "1");
  EXPECT_EQ(reg.ExportToReg(t + "\\C", "link.reg", true), 1);
  EXPECT_EQ(fake.files.Content("link.reg"), Lines({"REGEDIT4", "", "[" + L + "\\C]", "@=\"\"", "",
                                                   "[" + L + "\\C\\Link]", "@=\"\"", ""}));

  EXPECT_EQ(reg.ExportToReg(t, "flat.reg", false), 1);
  EXPECT_EQ(fake.files.Content("flat.reg"), Lines({"REGEDIT4", "", "[" + L + "]", "@=\"\"", ""}));

  Log();
  EXPECT_NE(reg.KillKey(t, "Y", err), 0);
  std::vector<std::string> deleted;
  for (const std::string& line : Log())
    if (line.rfind("MSG : Successfully deleted the key, ", 0) == 0)
      deleted.push_back(line.substr(36));
  EXPECT_THAT(deleted, ElementsAre(t + "\\A\\B", t + "\\A", t + "\\C\\Link", t + "\\C", t));
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
  EXPECT_EQ(fake.files.Content("full.reg").find('['), std::string::npos);
}

TEST_F(ExportTest, MissingKeyStillWritesItsBlock) {
  EXPECT_EQ(reg.ExportToReg("HKLM\\SOFTWARE\\Nothing", kFile, true), 1);
  EXPECT_EQ(fake.files.Content(kFile),
            Lines({"REGEDIT4", "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Nothing]", "@=\"\"", ""}));
}
}  // namespace
