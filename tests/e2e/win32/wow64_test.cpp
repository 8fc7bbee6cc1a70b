// A 32-bit program on 64-bit Windows (the win10 test bed): the plain operations of the
// registry class reach the redirected view, their 64-bit-view forms the native one, each
// checked through Wine's own reg.exe in the view asked for (/reg:32, /reg:64); and the
// agent's identity is read from the redirected view. Elsewhere there is one view and these
// tests say so and skip.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/agent_install.h"
#include "fakes/fake_platform.h"
#include "platform/process.h"
#include "platform/service_factories.h"
#include "registry/registry_access.h"
#include "text/text_util.h"

namespace fs = std::filesystem;

namespace {

bool UnderWow64() {
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

constexpr const char* kNeedsWow64 =
    "needs a 32-bit process on 64-bit Windows (the win10 test bed): here there is one view";

// Wine's reg.exe through the system folder's cmd.exe; view is "/reg:32" or "/reg:64".
std::vector<std::string> Reg(const std::string& args) {
  static std::unique_ptr<Process> process = CreateProcess(0, nullptr);
  static int counter = 0;
  const fs::path file = fs::temp_directory_path() / ("qenv-wow64-" + std::to_string(++counter));
  const std::string line = process->RedirectedCommandLine("reg " + args, file.string());
  EXPECT_NE(process->RunHidden(process->CommandInterpreter(), line, 60000), 0u) << line;
  std::istringstream in(ReadBytes(file));
  std::error_code ec;
  fs::remove(file, ec);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty()) lines.push_back(l);
  }
  return lines;
}
// A key exists when its parent lists it (reg prints nothing at all for a key without values
// or subkeys); keys here are "HKLM\\...".
bool HasKey(const std::string& key, const std::string& view) {
  const std::string parent = key.substr(0, key.rfind('\\'));
  const std::string listed = "HKEY_LOCAL_MACHINE" + key.substr(4);
  for (const std::string& l : Reg("query \"" + parent + "\" " + view))
    if (text::EqualsNoCase(l, listed)) return true;
  return false;
}
bool HasValue(const std::string& key, const std::string& name, const std::string& view) {
  for (const std::string& l : Reg("query \"" + key + "\" /v \"" + name + "\" " + view))
    if (l.rfind("    " + name + "    ", 0) == 0) return true;
  return false;
}
void AddKey(const std::string& key, const std::string& view) {
  Reg("add \"" + key + "\" /f " + view);
}
void AddValue(const std::string& key, const std::string& name, const std::string& data,
              const std::string& view) {
  Reg("add \"" + key + "\" /v \"" + name + "\" /d \"" + data + "\" /f " + view);
}

const std::string kBase = "HKLM\\SOFTWARE\\qEnvWow64";

// One form of the class: the view it must reach and the one it must leave alone.
struct Form {
  const char* name;
  bool view64;
  const char* own;
  const char* other;
};
const Form kForms[] = {{"plain", false, "/reg:32", "/reg:64"},
                       {"64-bit view", true, "/reg:64", "/reg:32"}};

class Wow64Views : public testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWow64()) GTEST_SKIP() << kNeedsWow64;
    ctx.LogStream = fake.files.CreateTextFile("log.txt", true);
    Clean();
  }
  void TearDown() override {
    if (UnderWow64()) Clean();
  }
  static void Clean() {
    for (const char* view : {"/reg:32", "/reg:64"}) Reg("delete \"" + kBase + "\" /f " + view);
  }

  FakePlatform fake;
  std::unique_ptr<Registry> registry = CreateRegistry();
  std::unique_ptr<System> system = CreateSystem();
  RunContext ctx{Platform{*registry, *system, fake.environment, fake.clock, fake.files, fake.wmi,
                          fake.net, fake.process, fake.window}};
  clsRegistryAccess reg{ctx};
  std::string err;
};

using Writer = std::function<std::int32_t(clsRegistryAccess&, const std::string& key,
                                          const std::string& name, std::string& err)>;
// Each writer as {plain, 64-bit view}.
const std::vector<std::pair<Writer, Writer>>& Writers() {
  static const std::vector<std::pair<Writer, Writer>> writers{
      {[](auto& r, auto& k, auto& n, auto& e) { return r.WriteString(k, n, "x", e); },
       [](auto& r, auto& k, auto& n, auto& e) { return r.WriteStringTo64Bit(k, n, "x", e); }},
      {[](auto& r, auto& k, auto& n, auto& e) {
         return r.WriteMultiString(k, n, std::string("x\0\0", 3), e);
       },
       [](auto& r, auto& k, auto& n, auto& e) {
         return r.WriteMulti64ToString(k, n, std::string("x\0\0", 3), e);
       }},
      {[](auto& r, auto& k, auto& n, auto& e) { return r.WriteDWORD(k, n, 7, e); },
       [](auto& r, auto& k, auto& n, auto& e) { return r.WriteDWORD64Bit(k, n, 7, e); }},
      {[](auto& r, auto& k, auto& n, auto& e) { return r.WriteBinary(k, n, "0aff", e); },
       [](auto& r, auto& k, auto& n, auto& e) { return r.WriteBinary64bit(k, n, "0aff", e); }},
  };
  return writers;
}

TEST_F(Wow64Views, CreateAndWriteReachTheirOwnView) {
  for (const Form& f : kForms) {
    SCOPED_TRACE(f.name);
    const std::string made = kBase + "\\Made" + (f.view64 ? "64" : "32");
    EXPECT_NE(f.view64 ? reg.CreateKey64Bit(made, err) : reg.CreateKey(made, err), 0);
    EXPECT_TRUE(HasKey(made, f.own));
    EXPECT_FALSE(HasKey(made, f.other));

    // A missing key, and a key that exists only in the other view: both are written in the
    // form's own view.
    const std::string fresh = kBase + "\\Fresh" + (f.view64 ? "64" : "32");
    const std::string elsewhere = kBase + "\\Elsewhere" + (f.view64 ? "64" : "32");
    AddKey(elsewhere, f.other);
    for (const std::string& key : {fresh, elsewhere}) {
      for (std::size_t i = 0; i < Writers().size(); ++i) {
        const std::string name = "w" + std::to_string(i);
        const Writer& write = f.view64 ? Writers()[i].second : Writers()[i].first;
        EXPECT_NE(write(reg, key, name, err), 0) << key << " " << name << ": " << err;
        EXPECT_TRUE(HasValue(key, name, f.own)) << key << " " << name;
        EXPECT_FALSE(HasValue(key, name, f.other)) << key << " " << name;
      }
    }
  }
}

TEST_F(Wow64Views, ReadAndEnumerateTheirOwnView) {
  const std::string key = kBase + "\\E";
  AddKey(key + "\\Only64", "/reg:64");
  AddKey(key + "\\Only32", "/reg:32");
  AddValue(key, "r", "native", "/reg:64");
  AddValue(key, "r", "redirected", "/reg:32");
  AddKey(kBase + "\\H\\Sub", "/reg:64");
  AddKey(kBase + "\\H", "/reg:32");

  EXPECT_EQ(reg.ReadString(key, "r", err), "redirected");
  std::vector<std::string> names;
  EXPECT_EQ(reg.EnumKeys(key, names), 1);
  EXPECT_EQ(names, std::vector<std::string>{"Only32"});
  EXPECT_EQ(reg.EnumKeys64Bit(key, names), 1);
  EXPECT_EQ(names, std::vector<std::string>{"Only64"});
  std::string unused;
  EXPECT_FALSE(reg.HaveSubkey(kBase + "\\H", unused));
  EXPECT_TRUE(reg.HaveSubkey64Bit(kBase + "\\H", unused));
}

TEST_F(Wow64Views, DeleteValueAndKeyInTheirOwnView) {
  for (const Form& f : kForms) {
    SCOPED_TRACE(f.name);
    for (const char* view : {"/reg:32", "/reg:64"}) {
      AddValue(kBase + "\\V", "d", "1", view);
      AddKey(kBase + "\\K\\Child", view);
      AddKey(kBase + "\\S\\Child", view);
    }
    EXPECT_NE(f.view64 ? reg.KillValue64bit(kBase + "\\V", "d", err)
                       : reg.KillValue(kBase + "\\V", "d", err),
              0)
        << err;
    EXPECT_FALSE(HasValue(kBase + "\\V", "d", f.own));
    EXPECT_TRUE(HasValue(kBase + "\\V", "d", f.other));

    EXPECT_NE(
        f.view64 ? reg.KillKey64bit(kBase + "\\K", "Y", err) : reg.KillKey(kBase + "\\K", "Y", err),
        0)
        << err;
    EXPECT_FALSE(HasKey(kBase + "\\K", f.own));
    EXPECT_TRUE(HasKey(kBase + "\\K\\Child", f.other));

    EXPECT_NE(
        f.view64 ? reg.KillSubKey64Bit(kBase + "\\S", err) : reg.KillSubKey(kBase + "\\S", err), 0)
        << err;
    EXPECT_FALSE(HasKey(kBase + "\\S", f.own));
    EXPECT_TRUE(HasKey(kBase + "\\S\\Child", f.other));
    Wow64Views::Clean();
  }
}

const std::map<std::string, std::optional<std::string>> kNoIdentity{
    {"InstallationPath", std::nullopt},
    {"RegID", std::nullopt},
    {"Memberid", std::nullopt},
    {"SITEID", std::nullopt},
    {"TYPE", std::nullopt}};

// Where an installer on 64-bit Windows must write the identity: the 32-bit view.
TEST(Wow64Identity, WrittenThroughThe32BitViewServesTheRun) {
  if (!UnderWow64()) GTEST_SKIP() << kNeedsWow64;
  AgentInstall agent;
  agent.Seed(kNoIdentity);
  agent.Seed({{"InstallationPath", agent.InstallDir()},
              {"RegID", "5678"},
              {"Memberid", "42"},
              {"SITEID", "7"},
              {"TYPE", "SERVER"}},
             reg::kView32Bit);
  agent.Run(" %QARNAGENTID%");
  EXPECT_EQ(agent.Result(), "5678\r\n");
}

TEST(Wow64Identity, WrittenOnlyThroughThe64BitViewIsMissing) {
  if (!UnderWow64()) GTEST_SKIP() << kNeedsWow64;
  AgentInstall agent;
  agent.Seed(kNoIdentity);
  agent.Seed({{"InstallationPath", agent.InstallDir()},
              {"RegID", "5678"},
              {"Memberid", "42"},
              {"SITEID", "7"},
              {"TYPE", "SERVER"}},
             reg::kView64Bit);
  agent.WriteResult("earlier\r\n", false);
  agent.Run(" %QARNAGENTID%");
  agent.Seed(kNoIdentity, reg::kView64Bit);
  // No installation folder and no RegID in the view the run reads: it ends at once,
  // before any log, and leaves the result file alone.
  EXPECT_EQ(agent.Result(), "earlier\r\n");
  EXPECT_FALSE(fs::exists(fs::path(agent.InstallDir()) / "ApplicationLog"));
}

}  // namespace
