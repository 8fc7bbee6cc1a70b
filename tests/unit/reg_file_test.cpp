// qreg's registry file reader, line by line: what each line asks of the registry.
#include "reg_file.h"

#include <gtest/gtest.h>

namespace {
using qreg::RegEntry;

// Each entry as its line number, a letter for its kind (K key, D delete key, V value, X
// delete value, P problem, B bad key line) and what it names, joined by " | ".
std::string Read(const std::string& file, bool* isRegFile = nullptr) {
  std::vector<RegEntry> entries;
  std::string error;
  const bool ok = qreg::ParseRegFile(file, entries, error);
  if (isRegFile) *isRegFile = ok;
  std::string out;
  static const char kinds[] = "KDVXPB";
  for (const RegEntry& e : entries) {
    out += (out.empty() ? "" : " | ") + std::to_string(e.line) + kinds[e.kind];
    if (e.kind == RegEntry::kKey || e.kind == RegEntry::kDeleteKey) out += e.key;
    if (e.kind == RegEntry::kValue || e.kind == RegEntry::kDeleteValue) out += e.name;
    if (e.kind == RegEntry::kValue) {
      out += "=" + std::to_string(e.type) + ":";
      for (unsigned char c : e.data)
        out += "0123456789abcdef"[c >> 4], out += "0123456789abcdef"[c & 15];
    }
  }
  return out;
}

struct Row {
  const char* file;
  const char* entries;
};

class RegFileLines : public ::testing::TestWithParam<Row> {};

TEST_P(RegFileLines, ReadAsRegImportReadsThem) {
  bool isRegFile = false;
  EXPECT_EQ(Read(GetParam().file, &isRegFile), GetParam().entries);
  EXPECT_TRUE(isRegFile);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegFileLines,
    ::testing::Values(
        Row{" \tREGEDIT4\r\n[HKCU\\A]\r\n\"a\"=\"x\"", "2KHKCU\\A | 3Va=1:7800"},
        // Another REGEDIT header: a file reg import passes over whole.
        Row{"REGEDIT3\n[HKCU\\A]\n\"a\"=\"x\"", ""}, Row{"REGEDIT 4\n[HKCU\\A]", ""},
        Row{"REGEDIT4FOO\n[HKCU\\A]", ""}, Row{"REGEDIT\n[HKCU\\A]", ""},
        // Comments after data, after a continuation and on lines of their own.
        Row{"REGEDIT4\n# c\n[HKCU\\A] ; c\n\"a\"=\"x\" # c\n\"d\"=dword:1f ;c\n"
            "\"h\"=hex:01,\\ ; c\n; between\n\t 02 # c\n\"x\"=- ; c",
            "3KHKCU\\A | 4Va=1:7800 | 5Vd=4:1f000000 | 6Vh=3:0102 | 9Xx"},
        Row{"REGEDIT4\n\"h\"=hex:01, \\  \n\t 02,\\\n  03", "2Vh=3:010203"},
        // A continuation that runs into a key line: the value is dropped, the key read.
        Row{"REGEDIT4\n[HKCU\\A]\n\"bin\"=hex:01,\\\n[HKLM\\SOFTWARE\\Other]\n\"Secret\"=\"x\"",
            "2KHKCU\\A | 3P | 4KHKLM\\SOFTWARE\\Other | 5VSecret=1:7800"},
        Row{"REGEDIT4\n[HKCU\\A\n\"a\"=\"1\"\n[ HKCU\\B]\n[HKCU\\C] x\n[-HKCU\\D\\]",
            "2B | 3Va=1:3100 | 4B | 5B | 6DHKCU\\D"},
        // dword: one to eight hex digits; nine are refused, not cut.
        Row{"REGEDIT4\n\"a\"=dword:123456789\n\"b\"=dword:\n\"c\"=dword:FFFFFFFF\n"
            "\"d\"=dword:1f x\n\"e\"=dword:0000000001",
            "2P | 3P | 4Vc=4:ffffffff | 5P | 6P"},
        Row{"REGEDIT4\n\"a\"=\"x\" y\n\"b\"=hex:0g\nnot a line\n\"c\"=hex(7):61,00,00",
            "2P | 3P | 4P | 5Vc=7:610000"}));

TEST(RegFile, NoHeaderIsNoRegistryFile) {
  for (const char* file :
       {"regedit4\n[HKCU\\A]", "[HKCU\\A]\n\"a\"=\"x\"", "", "Windows Registry Editor Version 5"}) {
    bool isRegFile = true;
    EXPECT_EQ(Read(file, &isRegFile), "") << file;
    EXPECT_FALSE(isRegFile) << file;
  }
}
}  // namespace
