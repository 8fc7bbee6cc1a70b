// The built qreg (natively, on a fresh store file) and qreg.exe (under Wine, on the real
// registry), run through the command interpreter with their output caught in files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"

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

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string WithoutCr(std::string s) {
  std::string out;
  for (char c : s)
    if (c != '\r') out += c;
  return out;
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
    dir_ = Here(std::string(QENV_BINARY_DIR) + "/e2e-qreg");
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    // Natively each test has a store file of its own; under Wine the scratch key goes.
    if (OnWindows()) Run({"delete", kKey, "/f"});
  }
  void TearDown() override {
    if (OnWindows()) Run({"delete", kKey, "/f"});
  }

  std::string File(const std::string& name) const {
    return dir_ + (OnWindows() ? "\\" : "/") + name;
  }

  Result Run(const std::vector<std::string>& args) {
    const std::string qreg = Here(std::string(QENV_BINARY_DIR) + "/bin/qreg") + kExeSuffix;
    std::string line = Quote(qreg);
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
    r.out = WithoutCr(ReadAll(File("out")));
    r.err = WithoutCr(ReadAll(File("err")));
    return r;
  }

  // Adds the fixture's values: every type the tool writes, and a small tree.
  void Populate() {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"add", kKey, "/v", "Name", "/d", "C:\\Program Files\\Agent"},
             {"add", kKey, "/v", "RegID", "/t", "reg_sz", "/d", "12345"},
             {"add", kKey, "/ve", "/d", "default"},
             {"add", kKey, "/v", "Count", "/t", "REG_DWORD", "/d", "0x1F"},
             {"add", kKey, "/v", "Blob", "/t", "REG_BINARY", "/d", "010AFF"},
             {"add", kKey, "/v", "List", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#b"},
             {"add", kKey + "\\Sub\\Deep", "/v", "Leaf", "/d", "x"},
             {"add", kKey + "\\Other"}}) {
      const Result r = Run(args);
      ASSERT_EQ(r.status, 0) << args[1] << ": " << r.err;
      ASSERT_EQ(r.err, "");
    }
  }

  std::string dir_;
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
  r = Run({"query", kKey + "\\Sub", "/s"});
  EXPECT_EQ(r.out, "\n" + kLong + "\\Sub\n\n" + kLong + "\\Sub\\Deep\n    Leaf    REG_SZ    x\n\n");

  const std::string expected =
      ReadAll(std::string(QENV_SOURCE_DIR) + "/tests/e2e/data/qreg_export.reg");
  ASSERT_FALSE(expected.empty());
  r = Run({"export", kKey, File("a.reg")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(File("a.reg")), expected);
  // An existing file is replaced only with /y.
  r = Run({"export", kKey + "\\Other", File("a.reg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no terminal"), std::string::npos) << r.err;
  EXPECT_EQ(ReadAll(File("a.reg")), expected);
  r = Run({"export", kKey + "\\Other", File("a.reg"), "/y"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadAll(File("a.reg")), "REGEDIT4\r\n\r\n[" + kLong + "\\Other]\r\n@=\"\"\r\n\r\n");

  EXPECT_EQ(Run({"delete", kKey, "/v", "Count", "/f"}).status, 0);
  EXPECT_EQ(Run({"query", kKey, "/v", "Count"}).status, 1);
  EXPECT_EQ(Run({"delete", kKey, "/ve", "/f"}).status, 0);
  EXPECT_EQ(Run({"query", kKey, "/ve"}).status, 1);
  EXPECT_EQ(Run({"delete", kKey, "/va", "/f"}).status, 0);
  EXPECT_EQ(Run({"query", kKey}).out,
            "\n" + kLong + "\n\n" + kLong + "\\Other\n" + kLong + "\\Sub\n");

  r = Run({"delete", kKey});
  EXPECT_EQ(r.status, 1);  // no terminal to confirm on
  EXPECT_EQ(Run({"query", kKey + "\\Sub\\Deep"}).status, 0);
  EXPECT_EQ(Run({"delete", kKey, "/f"}).status, 0);
  r = Run({"query", kKey});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("ERROR: ", 0), 0u) << r.err;
}

struct BadCall {
  std::vector<std::string> args;
  std::string errorHas;
};

TEST_F(QregE2E, BadInputFailsClearlyAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(Populate());
  ASSERT_EQ(Run({"export", kKey, File("before.reg")}).status, 0);
  const std::string before = ReadAll(File("before.reg"));

  const BadCall calls[] = {
      {{}, "operation is missing"},
      {{"frob", kKey}, "Invalid operation"},
      {{"query"}, "KEY is missing"},
      {{"query", "HKU\\Software"}, "Invalid key name"},
      {{"query", kKey, "/x"}, "Invalid switch"},
      {{"query", kKey, "/v", "Name", "/ve"}, "cannot be given together"},
      {{"add", kKey, "/v", "a", "/v", "b"}, "more than once"},
      {{"add", kKey, "/v"}, "needs a value"},
      {{"add", kKey, "/v", "n", "/t", "REG_DWORD", "/d", "abc"}, "Invalid REG_DWORD data"},
      {{"add", kKey, "/v", "n", "/t", "REG_DWORD", "/d", "4294967296"}, "Invalid REG_DWORD"},
      {{"add", kKey, "/v", "n", "/t", "REG_BINARY", "/d", "0G"}, "invalid hex data"},
      {{"add", kKey, "/v", "n", "/t", "REG_BINARY", "/d", "010"}, "invalid hex data"},
      {{"add", kKey, "/v", "n", "/t", "REG_QWORD", "/d", "1"}, "Invalid type"},
      {{"add", kKey, "/v", "n", "/s", "#"}, "only for REG_MULTI_SZ"},
      {{"add", kKey, "/v", "Name", "/d", "new"}, "no terminal"},
      {{"delete", kKey, "/v", "x", "/va", "/f"}, "only one of"},
      {{"delete", kKey, "/v", "missing", "/f"}, "Error while deleteing the value missing"},
      {{"delete", "HKLM\\SYSTEM", "/f"}, "cannot be deleted, as deleting it might cause"},
      {{"delete", "hkey_local_machine\\", "/f"}, "cannot be deleted, as deleting it might"},
      {{"export", kKey}, "FILE is missing"},
      {{"export", kKey, File("missing") + (OnWindows() ? "\\x.reg" : "/x.reg")}, "export of"},
      {{"export", kKey, dir_}, "is a folder"},
      {{"export", kKey + "\\Nothing", File("n.reg")}, "does not exist"},
  };
  for (const BadCall& c : calls) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, 1) << shown;
    EXPECT_EQ(r.err.rfind("ERROR: ", 0), 0u) << shown << r.err;
    EXPECT_NE(r.err.find(c.errorHas), std::string::npos) << shown << r.err;
  }
  ASSERT_EQ(Run({"export", kKey, File("after.reg")}).status, 0);
  EXPECT_EQ(ReadAll(File("after.reg")), before);
  EXPECT_FALSE(std::filesystem::exists(File("n.reg")));

  const Result help = Run({"add", "/?"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("QREG ADD KEY"), std::string::npos);
}
}  // namespace
