// qreg's registry file reader: what each line of a file asks of the registry.
#include "reg_file.h"

#include <gtest/gtest.h>

namespace {
// Each entry as its line, a letter for its kind (K key, D delete key, V value, X delete value,
// P problem, B bad key line), what it names and a value's type and bytes; "no file" when
// the bytes are no registry file.
std::string Read(const std::string& file) {
  std::vector<qreg::RegEntry> entries;
  std::string error, out;
  if (!qreg::ParseRegFile(file, entries, error)) return "no file";
  for (const qreg::RegEntry& e : entries) {
    out += (out.empty() ? "" : " ") + std::to_string(e.line) + "KDVXPB"[e.kind] + e.key + e.name;
    if (e.kind == qreg::RegEntry::kValue) out += "=" + std::to_string(e.type) + ":";
    for (unsigned char c : e.kind == qreg::RegEntry::kValue ? e.data : "")
      out += std::string{"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
  }
  return out;
}

using Row = std::pair<const char*, const char*>;  // the file, its entries
class RegFileLines : public ::testing::TestWithParam<Row> {};

TEST_P(RegFileLines, ReadAsRegImportReadsThem) {
  EXPECT_EQ(Read(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegFileLines,
    ::testing::Values(
        Row{" \tREGEDIT4\r\n[HKCU\\A]\r\n\"a\"=\"x\"", "2KHKCU\\A 3Va=1:7800"},
        Row{"regedit4\n[HKCU\\A]", "no file"}, Row{"[HKCU\\A]", "no file"},
        // Another REGEDIT header: a file reg import passes over whole.
        Row{"REGEDIT3\n[HKCU\\A]", ""}, Row{"REGEDIT 4\n[HKCU\\A]", ""},
        Row{"REGEDIT4FOO\n[HKCU\\A]", ""}, Row{"REGEDIT4 \r\n[HKCU\\A]", ""},
        Row{"Windows Registry Editor Version 5.00 \n[HKCU\\A]", "no file"},
        // Comments on lines of their own, after data and after a continuation; blanks around it.
        Row{"REGEDIT4\n# c\n[HKCU\\A] ; c\n\"a\"=\"x\" # c\n\"d\"=dword:1f ;c\n"
            "\"h\"=hex:01, \\ ; c\n; between\n\t 02 # c\n\"x\"=- ; c",
            "3KHKCU\\A 4Va=1:7800 5Vd=4:1f000000 6Vh=3:0102 9Xx"},
        // A continuation that runs into a key line: the value is dropped, the key read.
        Row{"REGEDIT4\n\"bin\"=hex:01,\\\n[HKLM\\SOFTWARE\\Other]\n\"Secret\"=\"x\"",
            "2P 3KHKLM\\SOFTWARE\\Other 4VSecret=1:7800"},
        Row{"REGEDIT4\n[HKCU\\A\n\"a\"=\"1\"\n[ HKCU\\B]\n[HKCU\\C] x\n[-HKCU\\D\\]",
            "2B 3Va=1:3100 4B 5KHKCU\\C 6DHKCU\\D"},
        // dword: one to eight hex digits; nine are refused, not cut.
        Row{"REGEDIT4\n\"a\"=dword:123456789\n\"b\"=dword:\n\"c\"=dword:FFFFFFFF\n\"d\"=dword:1 "
            "x\n\"e\"=dword: 1f",
            "2P 3P 4Vc=4:ffffffff 5P 6Ve=4:1f000000"},
        Row{"REGEDIT4\n\"a\"=\"x\" y\n\"b\"=hex:0g\nnot a line\n\"c\"=hex(7):61,00",
            "2P 3P 4P 5Vc=7:6100"}));
}  // namespace
