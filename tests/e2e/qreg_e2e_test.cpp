// The built qreg (natively, on a fresh store file) and qreg.exe (under Wine, on the real
// registry), run through the command interpreter with their output caught in files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service_factories.h"
#include "platform/system.h"
#include "support/read_bytes.h"
#include "support/scoped_variables.h"

namespace {

bool OnWindows() {
  return std::string(kExeSuffix) == ".exe";
}

// A path of the build tree as this program names it (Wine maps / to drive Z:).
std::string Here(std::string path) {
  if (!OnWindows()) return path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return "Z:" + path;
}

std::string Quote(const std::string& arg) {
  if (!OnWindows()) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }
  // The C runtime's rules: backslashes before a quote are doubled, the quote escaped.
  std::string q = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      q.append(backslashes * 2 + 1, '\\');
    else
      q.append(backslashes, '\\');
    backslashes = 0;
    q += c;
  }
  q.append(backslashes * 2, '\\');
  return q + "\"";
}

std::string WithoutCr(std::string s) {
  std::string out;
  for (char c : s)
    if (c != '\r') out += c;
  return out;
}

// "2-" and the system's own text for that code (Wine's differs from the Linux build's), as
// qreg's lines quote it.
std::string FileNotFound() {
  char text[512] = {};
  const std::uint32_t n = CreateSystem()->FormatMessage(2, text, sizeof text);
  std::string message(text, n);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return "2-" + message;
}

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

const std::string kKey = "HKCU\\Software\\qEnvE2E";
const std::string kLong = "HKEY_CURRENT_USER\\Software\\qEnvE2E";

class QregE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test has a folder, a store file and (under Wine) a scratch key of its own.
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = Here(std::string(QENV_BINARY_DIR) + "/e2e-qreg-" + test);
    key_ = test == "AddQueryExportDelete" ? kKey : kKey + "-" + test;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    // Natively each test has a store file of its own; under Wine the scratch key goes.
    if (OnWindows()) Run({"delete", key_, "/f"});
  }
  void TearDown() override {
    if (OnWindows()) Run({"delete", key_, "/f"});
  }

  std::string File(const std::string& name) const {
    return dir_ + (OnWindows() ? "\\" : "/") + name;
  }

  Result Run(const std::vector<std::string>& args) {
    return RunTool(Quote(Here(std::string(QENV_BINARY_DIR) + "/bin/qreg") + kExeSuffix), args);
  }
  // Wine's own reg.exe, on the same command line (/f always: it waits forever for an answer
  // at the end of its input).
  Result RunReg(const std::vector<std::string>& args) { return RunTool("reg", args); }

  Result RunTool(const std::string& tool, const std::vector<std::string>& args) {
    std::string line = tool;
    for (const std::string& a : args) line += " " + Quote(a);
    line += " <" + std::string(OnWindows() ? "NUL" : "/dev/null") + " >" + Quote(File("out")) +
            " 2>" + Quote(File("err"));
    if (OnWindows())
      line = "\"" + line + "\"";  // cmd /c drops the outer pair of quotes
    else
      line = "QENV_REGISTRY=" + Quote(File("registry.db")) + " " + line;
    Result r;
    const int raw = std::system(line.c_str());
    r.status = OnWindows() ? raw : (raw >> 8) & 0xFF;
    r.out = WithoutCr(ReadBytes(File("out")));
    r.err = WithoutCr(ReadBytes(File("err")));
    return r;
  }

  // Adds the fixture's values: every type the tool writes, and a small tree.
  void Populate() {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"add", key_, "/v", "Name", "/d", "C:\\Program Files\\Agent"},
             {"add", key_, "/v", "RegID", "/t", "reg_sz", "/d", "12345"},
             {"add", key_, "/ve", "/d", "default"},
             {"add", key_, "/v", "Count", "/t", "REG_DWORD", "/d", "0x1F"},
             {"add", key_, "/v", "Blob", "/t", "REG_BINARY", "/d", "010AFF"},
             {"add", key_, "/v", "List", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#b"},
             {"add", key_ + "\\Sub\\Deep", "/v", "Leaf", "/d", "x"},
             {"add", key_ + "\\Other"}}) {
      const Result r = Run(args);
      ASSERT_EQ(r.status, 0) << args[1] << ": " << r.err;
      ASSERT_EQ(r.err, "");
    }
  }

  std::string dir_;
  std::string key_;
};

TEST_F(QregE2E, AddQueryExportDelete) {
  ASSERT_NO_FATAL_FAILURE(Populate());

  Result r = Run({"query", kKey});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\n" + kLong + "\n" +
                       "    (Default)    REG_SZ    default\n"
                       "    Blob    REG_BINARY    010AFF\n"
                       "    Count    REG_DWORD    0x1f\n"
                       "    List    REG_MULTI_SZ    a\\0b\n"
                       "    Name    REG_SZ    C:\\Program Files\\Agent\n"
                       "    RegID    REG_SZ    12345\n"
                       "\n" +
                       kLong + "\\Other\n" + kLong + "\\Sub\n");

  r = Run({"query", "HKEY_CURRENT_USER\\Software\\qEnvE2E\\", "/v", "count"});
  EXPECT_EQ(r.out, "\n" + kLong + "\n    count    REG_DWORD    0x1f\n\n");
  // As reg: a key without values shows no header.
  r = Run({"query", kKey + "\\Sub", "/s"});
  EXPECT_EQ(r.out, "\n" + kLong + "\\Sub\\Deep\n    Leaf    REG_SZ    x\n\n");

  const std::string expected =
      ReadBytes(std::string(QENV_SOURCE_DIR) + "/tests/e2e/data/qreg_export.reg");
  ASSERT_FALSE(expected.empty());
  r = Run({"export", kKey, File("a.reg")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(File("a.reg")), expected);
  // An existing file is replaced only with /y.
  r = Run({"export", kKey + "\\Other", File("a.reg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ERROR: The file " + File("a.reg") +
                       " exists; overwrite it? Not confirmed: there is no terminal to ask on; add "
                       "/f (or /y) to go ahead without asking.\n");
  EXPECT_EQ(ReadBytes(File("a.reg")), expected);
  r = Run({"export", kKey + "\\Other", File("a.reg"), "/y"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(File("a.reg")), "REGEDIT4\r\n\r\n[" + kLong + "\\Other]\r\n@=\"\"\r\n\r\n");

  EXPECT_EQ(Run({"delete", kKey, "/v", "Count", "/f"}).status, 0);
  EXPECT_EQ(Run({"query", kKey, "/v", "Count"}).status, 1);
  EXPECT_EQ(Run({"delete", kKey, "/ve", "/f"}).status, 0);
  EXPECT_EQ(Run({"query", kKey, "/ve"}).status, 1);
  EXPECT_EQ(Run({"delete", kKey, "/va", "/f"}).status, 0);
  EXPECT_EQ(Run({"query", kKey}).out, "\n" + kLong + "\\Other\n" + kLong + "\\Sub\n");

  r = Run({"delete", kKey});
  EXPECT_EQ(r.status, 1);  // no terminal to confirm on
  EXPECT_EQ(Run({"query", kKey + "\\Sub\\Deep"}).status, 0);
  EXPECT_EQ(Run({"delete", kKey, "/f"}).status, 0);
  r = Run({"query", kKey});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ERROR: The key " + kLong + " cannot be opened: " + FileNotFound() + "\n");
}

struct BadCall {
  std::vector<std::string> args;
  std::string error;  // the line after "ERROR: "
};

TEST_F(QregE2E, BadInputFailsClearlyAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(Populate());
  ASSERT_EQ(Run({"export", key_, File("before.reg")}).status, 0);
  const std::string before = ReadBytes(File("before.reg"));
  std::ofstream(File("protected.reg")) << "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\SYSTEM]\n";
  std::ofstream(File("not.reg")) << "[HKEY_CURRENT_USER\\Software\\qEnvE2E-Bad]\n\"x\"=\"y\"\n";
  std::ofstream(File("roots.reg")) << "REGEDIT4\n[-HKEY_CURRENT_USER]\n[-HKEY_CLASSES_ROOT\\]\n";
  std::ofstream(File("big.reg")) << "REGEDIT4\n";
  std::filesystem::resize_file(File("big.reg"), (64u << 20) + 1);

  const std::string longKey = "HKEY_CURRENT_USER" + key_.substr(4);
  const std::string number = "\": give a number from 0 to ";
  const std::string togetherViews = "/reg:32 and /reg:64 cannot be given together.";
  const std::string mayRepair =
      " cannot be deleted, as deleting it might cause the OS to repair "
      "or re-install. ";
  const std::string noTerminal =
      "Not confirmed: there is no terminal to ask on; add /f (or /y) to go ahead without asking.";
  const std::string missing = File("missing") + (OnWindows() ? "\\x.reg" : "/x.reg");
  const BadCall calls[] = {
      {{}, "An operation is missing."},
      {{"frob", key_}, "Invalid operation \"frob\"."},
      {{"query"}, "KEY is missing."},
      {{"query", "HKU\\Software"},
       "Invalid key name \"HKU\\Software\": the hive must be one of HKLM, HKCU, HKCR, HKUS, "
       "HKCC, HKPD, HKDD or a long hive name."},
      {{"query", key_, "/x"}, "Invalid switch \"/x\"."},
      {{"query", key_, "/v", "Name", "/ve"}, "/v and /ve cannot be given together."},
      {{"add", key_, "/v", "a", "/v", "b"}, "The switch /v is given more than once."},
      {{"add", key_, "/v"}, "The switch /v needs a value."},
      {{"add", key_, "/v", "n", "/t", "REG_DWORD", "/d", "abc"},
       "Invalid REG_DWORD data \"abc" + number + "4294967295, decimal or 0x hex."},
      {{"add", key_, "/v", "n", "/t", "REG_DWORD", "/d", "4294967296"},
       "Invalid REG_DWORD data \"4294967296" + number + "4294967295, decimal or 0x hex."},
      {{"add", key_, "/v", "n", "/t", "REG_BINARY", "/d", "0G"},
       "Error while setting the value for REG_BINARY n with value 0G for registry key " + key_ +
           ", invalid hex data"},
      {{"add", key_, "/v", "n", "/t", "REG_LINK", "/d", "1"},
       "Invalid type \"REG_LINK\": use REG_SZ, REG_MULTI_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD, "
       "REG_BINARY, REG_NONE, REG_DWORD_LITTLE_ENDIAN or REG_DWORD_BIG_ENDIAN."},
      {{"add", key_, "/v", "n", "/t", "REG_QWORD", "/d", "0x1ffffffffffffffff"},
       "Invalid REG_QWORD data \"0x1ffffffffffffffff" + number +
           "18446744073709551615, decimal or 0x hex."},
      {{"add", key_, "/v", "n", "/t", "REG_MULTI_SZ", "/d", "a\\0\\0b"},
       "Invalid REG_MULTI_SZ data \"a\\0\\0b\": a string of the list is empty (two separators "
       "together, or one at the start)."},
      {{"add", key_, "/reg:32", "/reg:64"}, togetherViews},
      {{"query", key_, "/reg:64", "/reg:32"}, togetherViews},
      {{"delete", key_, "/reg:64", "/reg:64"}, "The switch /reg:64 is given more than once."},
      {{"export", key_, File("v.reg"), "/reg:16"},
       "Invalid switch \"/reg:16\": the views are /reg:32 and /reg:64."},
      {{"import", File("v.reg"), "/reg:32", "/reg:64"}, togetherViews},
      {{"import", File("missing.reg")}, "Cannot read the file " + File("missing.reg") + "."},
      {{"import", dir_}, "Cannot read the file " + dir_ + ": it is a folder."},
      {{"import", File("not.reg")},
       "Cannot import " + File("not.reg") +
           ": it is not a registry file: its first line is neither \"REGEDIT4\" nor \"Windows "
           "Registry Editor Version 5.00\". Nothing was changed."},
      {{"import", File("protected.reg")},
       File("protected.reg") + ", line 2: HKEY_LOCAL_MACHINE\\SYSTEM" + mayRepair},
      {{"import", File("roots.reg")},
       File("roots.reg") + ", line 2: HKEY_CURRENT_USER" + mayRepair},
      {{"delete", "HKEY_CURRENT_USER", "/f"}, "HKEY_CURRENT_USER" + mayRepair},
      {{"delete", "hkcr", "/f"}, "hkcr" + mayRepair},
      {{"import", File("big.reg")},
       "Cannot read the file " + File("big.reg") +
           ": it is larger than 64 MiB, more than any registry file holds."},
      {{"import", OnWindows() ? "NUL" : "/dev/zero"},
       std::string("Cannot read the file ") + (OnWindows() ? "NUL" : "/dev/zero") +
           (OnWindows() ? "." : ": it is not a regular file.")},
      {{"add", "HKCU\\", "/v", "x", "/d", "y", "/f"},
       "Invalid key name \"HKCU\\\": a backslash after the hive must be followed by a key."},
      {{"export", "HKEY_DYN_DATA", File("dd.reg")},
       "Invalid key name \"HKEY_DYN_DATA\": HKEY_DYN_DATA no longer exists."},
      {{"add", key_, "/v", "n", "/s", "#"}, "/s is only for REG_MULTI_SZ data."},
      {{"add", key_, "/v", "Name", "/d", "new"},
       "The value Name of " + longKey + " exists; overwrite it? " + noTerminal},
      {{"delete", key_, "/v", "x", "/va", "/f"}, "Give only one of /v, /ve and /va."},
      {{"delete", key_, "/v", "missing", "/f"},
       "Error while deleteing the value missing for registry key " + key_ + ", " + FileNotFound()},
      {{"delete", "HKLM\\SYSTEM", "/f"}, "HKLM\\SYSTEM" + mayRepair},
      {{"delete", "hkey_local_machine\\", "/f"},
       "Invalid key name \"hkey_local_machine\\\": a backslash after the hive must be followed "
       "by a key."},
      {{"export", key_}, "FILE is missing."},
      {{"export", key_, missing}, "The export of " + longKey + " to " + missing + " failed."},
      {{"export", key_, dir_}, dir_ + " is a folder."},
      {{"export", key_ + "\\Nothing", File("n.reg")},
       "The key " + longKey + "\\Nothing does not exist."},
  };
  for (const BadCall& c : calls) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, 1) << shown;
    // The line, and for a usage error a second one that points to the verb's help.
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "ERROR: " + c.error + "\n") << shown;
  }
  ASSERT_EQ(Run({"export", key_, File("after.reg")}).status, 0);
  EXPECT_EQ(ReadBytes(File("after.reg")), before);
  EXPECT_FALSE(std::filesystem::exists(File("n.reg")));
  EXPECT_FALSE(std::filesystem::exists(File("dd.reg")));
  EXPECT_EQ(Run({"query", "HKCU\\Software\\qEnvE2E-Bad"}).status, 1);

  for (const char* h : {"/?", "/h", "-H", "-h"}) {
    const Result help = Run({"add", h});
    EXPECT_EQ(help.status, 0) << h;
    EXPECT_NE(help.out.find("QREG ADD KEY"), std::string::npos) << h;
    EXPECT_NE(help.out.find("without its closing NUL"), std::string::npos) << h;
  }
  EXPECT_EQ(Run({"--version"}).out, "qreg " QENV_RELEASE_VERSION "\n");
  EXPECT_EQ(Run({"/?"}).out.rfind("qreg " QENV_RELEASE_VERSION "\nQREG operation", 0), 0u);
}
}  // namespace

namespace {
TEST_F(QregE2E, SixtyFourBitViewRoundTrip) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"add", key_ + "\\K", "/reg:64"},
           {"add", key_, "/v", "s", "/d", "text", "/reg:64"},
           {"add", key_, "/v", "m", "/t", "REG_MULTI_SZ", "/d", "a\\0b", "/reg:64"},
           {"add", key_, "/v", "n", "/t", "REG_DWORD", "/d", "4294967295", "/reg:64"},
           {"add", key_, "/v", "b", "/t", "REG_BINARY", "/d", "00ff", "/reg:64"}}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << args[1] << ": " << r.err;
  }
  const std::string longKey = "HKEY_CURRENT_USER" + key_.substr(4);
  Result r = Run({"query", key_, "/reg:64"});
  EXPECT_EQ(r.out, "\n" + longKey + "\n" + "    b    REG_BINARY    00FF\n" +
                       "    m    REG_MULTI_SZ    a\\0b\n" + "    n    REG_DWORD    0xffffffff\n" +
                       "    s    REG_SZ    text\n\n" + longKey + "\\K\n");
  EXPECT_EQ(Run({"delete", key_, "/v", "n", "/f", "/reg:64"}).status, 0);
  EXPECT_EQ(Run({"query", key_, "/v", "n", "/reg:64"}).status, 1);
  EXPECT_EQ(Run({"delete", key_, "/f", "/reg:64"}).status, 0);
  EXPECT_EQ(Run({"query", key_}).status, 1);
}
}  // namespace

namespace {
// One command, given to qreg and (under Wine) to Wine's reg.exe on a twin key: both end
// alike and leave the same values, as qreg's query shows them. KEY stands for the key.
struct SideBySide {
  std::vector<std::string> args;
  int status;
  std::string values;  // the query's value lines afterwards ("" when the key has none)
};

TEST_F(QregE2E, DoesWhatRegDoes) {
  const SideBySide cases[] = {
      {{"add", "KEY"}, 0, "    (Default)    REG_SZ    \n"},
      {{"add", "KEY", "/t", "REG_DWORD", "/d", "5"}, 0, "    (Default)    REG_DWORD    0x5\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_NONE", "/d", "abc"},
       0,
       "    n    REG_NONE    6100620063000000\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_EXPAND_SZ", "/d", "%QENV_UNSET%x"},
       0,
       "    n    REG_EXPAND_SZ    %QENV_UNSET%x\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_QWORD", "/d", "0x1122334455667788"},
       0,
       "    n    REG_QWORD    0x1122334455667788\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_QWORD", "/d", "18446744073709551615"},
       0,
       "    n    REG_QWORD    0xffffffffffffffff\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_QWORD", "/d", "18446744073709551616"}, 1, ""},
      {{"add", "KEY", "/v", "n", "/t", "REG_DWORD_LITTLE_ENDIAN", "/d", "0x11223344"},
       0,
       "    n    REG_DWORD    0x11223344\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_DWORD_BIG_ENDIAN", "/d", "0x11223344"},
       0,
       "    n    REG_DWORD_BIG_ENDIAN    0x11223344\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#"},
       0,
       "    n    REG_MULTI_SZ    a\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#b"},
       0,
       "    n    REG_MULTI_SZ    a\\0b\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a##b"}, 1, ""},
      {{"add", "KEY", "/v", "n", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "#a"}, 1, ""},
      {{"add", "KEY", "/v", "n", "/t", "REG_MULTI_SZ", "/d", "a\\0\\0b"}, 1, ""},
      {{"add", "KEY", "/v", "n", "/t", "REG_BINARY", "/d", "DeAdBeEf0DD"},
       0,
       "    n    REG_BINARY    0DEADBEEF0DD\n"},
      {{"add", "KEY", "/v", "n", "/t", "REG_BINARY", "/d", "0G"}, 1, ""},
      {{"add", "KEY", "/v", "n", "/t", "REG_DWORD"}, 1, ""},
      {{"add", "KEY", "/v", "n", "/t", "REG_FOO", "/d", "1"}, 1, ""},
  };
  int index = 0;
  for (const SideBySide& c : cases) {
    const std::string mine = key_ + "\\q" + std::to_string(index);
    const std::string theirs = key_ + "\\r" + std::to_string(index++);
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    const auto with = [&](const std::string& key) {
      std::vector<std::string> args;
      for (const std::string& a : c.args) args.push_back(a == "KEY" ? key : a);
      args.push_back("/f");
      return args;
    };
    // The value lines of a key's query, its header and subkeys left out.
    const auto values = [&](const std::string& key) {
      std::istringstream in(Run({"query", key}).out);
      std::string lines;
      for (std::string l; std::getline(in, l);)
        if (l.rfind("    ", 0) == 0) lines += l + "\n";
      return lines;
    };
    const Result r = Run(with(mine));
    EXPECT_EQ(r.status, c.status) << shown << r.err;
    EXPECT_EQ(values(mine), c.values) << shown;
    if (!OnWindows()) continue;
    EXPECT_EQ(RunReg(with(theirs)).status, c.status) << "reg " << shown;
    EXPECT_EQ(values(theirs), c.values) << "reg " << shown;
  }

  // Queries of one tree, by both tools.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"add", key_ + "\\T\\Sub", "/v", "n", "/d", "1", "/f"},
           {"add", key_ + "\\T\\Sub\\Deep", "/v", "N", "/d", "2", "/f"},
           {"add", key_ + "\\T\\Other", "/ve", "/d", "d", "/f"}})
    ASSERT_EQ(Run(args).status, 0);
  const std::string t = "HKEY_CURRENT_USER" + key_.substr(4) + "\\T";
  const std::pair<std::vector<std::string>, std::string> queries[] = {
      {{"query", key_ + "\\T"}, "\n" + t + "\\Other\n" + t + "\\Sub\n"},
      {{"query", key_ + "\\T", "/v", "n", "/s"},
       "\n" + t + "\\Sub\n    n    REG_SZ    1\n\n" + t +
           "\\Sub\\Deep\n    n    REG_SZ    2\n\nSearch complete. Number of matches found: 2\n"},
      {{"query", key_ + "\\T", "/ve", "/s"},
       "\n" + t +
           "\\Other\n    (Default)    REG_SZ    d\n\nSearch complete. Number of matches found: "
           "1\n"},
      {{"query", key_ + "\\T", "/v", "x", "/s"}, "\nSearch complete. Number of matches found: 0\n"},
  };
  for (const auto& [args, expected] : queries) {
    EXPECT_EQ(Run(args).out, expected) << args[1] << " " << args.size();
    if (OnWindows()) {
      EXPECT_EQ(RunReg(args).out, expected) << "reg " << args[1] << " " << args.size();
    }
  }
}
}  // namespace

namespace {
// The query of a whole tree with its key names written from KEY on.
std::string Tree(const std::string& query, const std::string& longKey) {
  std::string out = query;
  for (std::size_t at; (at = out.find(longKey)) != std::string::npos;)
    out.replace(at, longKey.size(), "KEY");
  return out;
}

std::string Utf16(const std::string& utf8Ascii) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8Ascii.size(); ++i) {
    // The test's texts hold no character beyond the two below.
    if (utf8Ascii.compare(i, 2, "\xC3\xA9") == 0) {
      out += std::string("\xE9\x00", 2);
      ++i;
    } else if (utf8Ascii.compare(i, 3, "\xE2\x82\xAC") == 0) {
      out += std::string("\xAC\x20", 2);
      i += 2;
    } else {
      out += std::string(1, utf8Ascii[i]) + std::string(1, '\0');
    }
  }
  return out;
}

TEST_F(QregE2E, ImportReadsWhatRegImportReads) {
  const std::string longKey = "HKEY_CURRENT_USER" + key_.substr(4);
  const auto v4 = [](const std::string& root) {
    return "REGEDIT4\r\n\r\n\"orphan\"=\"x\"\r\n[" + root + "]\r\n@=\"def\"\r\n" +
           "\"a\"=\"x\\\\y\\\"z\"\r\n\"esc\"=\"a\\nb\"\r\n\"d\"=dword:0000001f\r\n" +
           "\"dbad\"=dword:12345678x\r\n\"junk\r\nnot a line\r\n\"h\"=hex:01,02,\\\r\n" +
           "  ; comment\r\n  03,04\r\n\"h2\"=hex(2):41,42,00\r\n\"h7\"=hex(7):61,00,62,00,00\r\n" +
           "\"hb\"=hex(b):01,02,03,04,05,06,07,08\r\n\"hbad\"=hex:0g\r\n\"del\"=\"x\"\r\n" +
           "\"del\"=-\r\n[" + root + "\\Sub]\r\n\"s\"=\"1\"\r\n[-" + root + "\\Sub]\r\n[" + root +
           "\\K\\]\r\n\"k\"=\"1\"\r\n\"e\"=\"\"\r\n\"u\"=\"unterminated\r\n";
  };
  const auto v5 = [](const std::string& root) {
    return "Windows Registry Editor Version 5.00\r\n\r\n[" + root + "]\r\n" +
           "\"s\"=\"\xC3\xA9\xE2\x82\xAC\"\r\n\"x\"=hex(2):25,00,41,00,00,00\r\n" +
           "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n\"gone\"=\"1\"\r\n\"gone\"=-\r\n";
  };
  const std::string expected =
      "\nKEY\n    (Default)    REG_SZ    def\n    a    REG_SZ    x\\y\"z\n"
      "    d    REG_DWORD    0x1f\n    esc    REG_SZ    a\nb\n    h    REG_BINARY    01020304\n"
      "    h2    REG_EXPAND_SZ    AB\n    h7    REG_MULTI_SZ    a\\0b\n"
      "    hb    REG_QWORD    0x807060504030201\n\nKEY\\K\n    e    REG_SZ    \n"
      "    k    REG_SZ    1\n\nKEY\\U16\n    m    REG_MULTI_SZ    a\\0b\n"
      "    s    REG_SZ    \xE9\x80\n    x    REG_EXPAND_SZ    %A\n\n";
  // A "Version 5.00" file without a byte-order mark is ANSI, to qreg as to reg.
  const std::string ansi =
      "KEY\\U8\n    m    REG_MULTI_SZ    a\\0b\n    s    REG_SZ    \xC3\xA9\xE2\x82\xAC\n"
      "    x    REG_EXPAND_SZ    %A\n\n";

  for (const std::string& who : {std::string("q"), std::string("r")}) {
    if (who == "r" && !OnWindows()) break;
    const std::string key = key_ + "\\" + who;
    const std::string root = longKey + "\\" + who;
    std::ofstream(File(who + "4.reg"), std::ios::binary) << v4(root);
    std::ofstream(File(who + "16.reg"), std::ios::binary) << Utf16(v5(root + "\\U16"));
    std::ofstream(File(who + "8.reg"), std::ios::binary) << v5(root + "\\U8");
    for (const char* f : {"4.reg", "16.reg", "8.reg"}) {
      const std::vector<std::string> args{"import", File(who + f)};
      const Result r = who == "q" ? Run(args) : RunReg(args);
      // qreg names each line it leaves out in a warning; reg import says nothing. Both end 0.
      EXPECT_EQ(r.status, 0) << who << f << r.err;
      if (who == "q" && std::string(f) == "4.reg") {
        std::string lines;
        for (const char* line : {"9: dword: takes one to eight hex digits",
                                 "10: the value name: the closing quote is missing",
                                 "11: not a key, value or comment line",
                                 "18: hex data must be bytes of two hex digits separated by commas",
                                 "27: the closing quote is missing"})
          lines += "WARNING: " + File(who + f) + ", line " + line + "; the line is left out.\n";
        EXPECT_EQ(r.err, lines);
      }
    }
    EXPECT_EQ(Tree(Run({"query", key, "/s"}).out, root), expected + ansi) << who;
  }
}

// A link key in a tree is listed and exported as a key, not as its target, and deleting the
// tree takes the link alone.
TEST_F(QregE2E, LinksAreKeysNotTheirTargets) {
  const std::string target = "HKLM\\SYSTEM\\qEnvE2E-Target",
                    longKey = "HKEY_CURRENT_USER" + key_.substr(4);
  ASSERT_EQ(Run({"add", target + "\\Child", "/v", "secret", "/d", "1", "/f"}).status, 0);
  ScopedVariables store{{"QENV_REGISTRY", File("registry.db")}};
  std::unique_ptr<Registry> r = CreateRegistry();
  RegKey link = 0;
  ASSERT_EQ(r->CreateKeyEx(reg::kCurrentUser, key_.substr(5) + "\\Link", "", reg::kOptionCreateLink,
                           reg::kKeyAllAccess, link, nullptr),
            0);
  std::string name;
  for (char c : "\\Registry\\Machine\\" + target.substr(5)) name += std::string{c, '\0'};
  EXPECT_EQ(r->SetValueEx(link, reg::kLinkValueName, reg::kLink,
                          reinterpret_cast<const std::uint8_t*>(name.data()), name.size()),
            0);
  r->CloseKey(link);
  EXPECT_EQ(Run({"query", key_, "/s"}).out, "\n" + longKey + "\\Link\n\n");
  ASSERT_EQ(Run({"export", key_, File("l.reg")}).status, 0);
  EXPECT_EQ(ReadBytes(File("l.reg")).find("secret"), std::string::npos);
  EXPECT_EQ(Run({"delete", key_, "/f"}).status, 0);
  EXPECT_EQ(Run({"query", target + "\\Child", "/v", "secret"}).status, 0) << "the target stays";
  Run({"delete", target, "/f"});
}

// A key with values of every type the export writes, and awkward contents, exported, deleted
// and imported again: everything comes back, and the key's missing default value as an
// empty one.
TEST_F(QregE2E, ExportImportRoundTrip) {
  const std::string longKey = "HKEY_CURRENT_USER" + key_.substr(4);
  std::ofstream(File("seed.reg"), std::ios::binary)
      << "REGEDIT4\r\n\r\n[" + longKey + "]\r\n\"back\"=\"C:\\\\new\\\\\"\r\n" +
             "\"quote\"=\"say \\\"hi\\\" [x]\"\r\n\"crlf\"=hex(1):61,0d,0a,62,09,63,00\r\n" +
             "\"high\"=hex(1):80,e9,ff,00\r\n\"empty\"=\"\"\r\n\"long\"=\"" +
             std::string(1000, 'x') + "\"\r\n\"a=b[c]\"=\"names\"\r\n" +
             "\"bin\"=hex:00,0a,0d,22,5c,ff,\\\r\n  80\r\n\"ebin\"=hex:\r\n" +
             "\"dw\"=dword:ffffffff\r\n[" + longKey + "\\Sub]\r\n@=\"\"\r\n\"x\"=\"1\"\r\n";
  ASSERT_EQ(Run({"import", File("seed.reg")}).status, 0);
  ASSERT_EQ(Run({"add", key_, "/v", "added", "/d", "C:\\x\\", "/f"}).status, 0);
  ASSERT_EQ(Run({"add", key_, "/v", "big", "/t", "REG_BINARY", "/d", std::string(600, 'A')}).status,
            0);
  const std::string before = Run({"query", key_, "/s"}).out;
  const std::string header = longKey + "\n";
  std::string after = before;
  after.insert(after.find(header) + header.size(), "    (Default)    REG_SZ    \n");

  ASSERT_EQ(Run({"export", key_, File("a.reg")}).status, 0);
  const std::string exported = ReadBytes(File("a.reg"));
  EXPECT_NE(exported.find("\"crlf\"=hex(1):61,0D,0A,62,09,63,00\r\n"), std::string::npos);
  for (const std::string& who : {std::string("qreg"), std::string("reg")}) {
    if (who == "reg" && !OnWindows()) break;
    ASSERT_EQ(Run({"delete", key_, "/f"}).status, 0);
    ASSERT_EQ(Run({"query", key_}).status, 1);
    const std::vector<std::string> args{"import", File("a.reg")};
    EXPECT_EQ((who == "qreg" ? Run(args) : RunReg(args)).status, 0) << who;
    EXPECT_EQ(Run({"query", key_, "/s"}).out, after) << who;
    ASSERT_EQ(Run({"export", key_, File(who + ".reg")}).status, 0);
    EXPECT_EQ(ReadBytes(File(who + ".reg")), exported) << who;
  }
}

// /reg:32 and /reg:64 reach their own view in every call; under WOW64 (a 64-bit Windows
// prefix) HKLM\SOFTWARE differs between them, elsewhere there is one view.
TEST_F(QregE2E, ViewsKeepApart) {
  const bool wow64 = OnWindows() && std::filesystem::exists("C:\\windows\\syswow64");
  const std::string k = "HKLM\\SOFTWARE\\qEnvE2E-View";
  const auto clean = [&] {
    Run({"delete", k, "/f", "/reg:64"});
    Run({"delete", k, "/f", "/reg:32"});
  };
  clean();
  ASSERT_EQ(Run({"add", k, "/v", "n", "/d", "64", "/f", "/reg:64"}).status, 0);
  ASSERT_EQ(Run({"add", k, "/v", "n", "/d", "32", "/f", "/reg:32"}).status, 0);
  ASSERT_EQ(Run({"add", k, "/v", "only64", "/t", "REG_QWORD", "/d", "1", "/f", "/reg:64"}).status,
            0);
  const auto has = [](const Result& r, const std::string& text) {
    return r.out.find(text) != std::string::npos;
  };
  EXPECT_TRUE(
      has(Run({"query", k, "/v", "n", "/reg:64"}), wow64 ? "REG_SZ    64" : "REG_SZ    32"));
  EXPECT_TRUE(has(Run({"query", k, "/v", "n", "/reg:32"}), "REG_SZ    32"));
  EXPECT_TRUE(has(Run({"query", k, "/v", "n"}), "REG_SZ    32"));
  EXPECT_TRUE(has(Run({"query", k, "/reg:64"}), "only64"));
  EXPECT_EQ(has(Run({"query", k, "/reg:32"}), "only64"), !wow64);
  ASSERT_EQ(Run({"export", k, File("64.reg"), "/reg:64"}).status, 0);
  EXPECT_NE(ReadBytes(File("64.reg")).find(wow64 ? "\"n\"=\"64\"" : "\"n\"=\"32\""),
            std::string::npos);
  std::ofstream(File("i.reg"), std::ios::binary)
      << "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\qEnvE2E-View]\r\n\"imp\"=\"1\"\r\n";
  ASSERT_EQ(Run({"import", File("i.reg"), "/reg:64"}).status, 0);
  EXPECT_EQ(Run({"query", k, "/v", "imp", "/reg:32"}).status, wow64 ? 1 : 0);
  ASSERT_EQ(Run({"delete", k, "/va", "/f", "/reg:32"}).status, 0);
  EXPECT_EQ(Run({"query", k, "/v", "only64", "/reg:64"}).status, wow64 ? 0 : 1);
  EXPECT_EQ(Run({"delete", k, "/f", "/reg:32"}).status, 0);
  EXPECT_EQ(Run({"query", k, "/reg:64"}).status, wow64 ? 0 : 1);
  clean();
}
}  // namespace
