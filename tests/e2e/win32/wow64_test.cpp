// A 32-bit program on 64-bit Windows (the win10 bed): each plain operation of the registry
// class reaches the redirected view and each 64-bit-view form the native one, as Wine's own
// reg.exe sees them (/reg:32, /reg:64); the run reads its identity from the redirected view.
#include "fakes/test_context.h"
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

#include "e2e/agent_install.h"
#include "fakes/fake_platform.h"
#include "platform/process.h"
#include "platform/service_factories.h"
#include "registry/registry_access.h"
#include "support/test_support.h"

namespace {

bool UnderWow64() {
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}
constexpr const char* kOneView = "needs a 32-bit process on 64-bit Windows: here is one view";
const std::string kBase = "HKLM\\SOFTWARE\\qEnvWow64";

// What Wine's reg.exe, run through cmd.exe in view 32 or 64, writes to standard output.
std::string Reg(const std::string& args, const std::string& view) {
  static std::unique_ptr<Process> process = CreateProcess(0, nullptr);
  const auto file = std::filesystem::temp_directory_path() / "qenv-wow64-reg.txt";
  const std::string line = process->CommandInterpreter() + " /c reg " + args + " /reg:" + view +
                           " >\"" + file.string() + "\"";
  EXPECT_NE(process->RunHidden(process->CommandInterpreter(), line, 60000), 0u) << line;
  return ReadBytes(file);
}
// A value of a key below kBase, or the key ("\\K") as its parent lists it: reg lists
// nothing for a key without values or subkeys.
bool Has(const std::string& view, const std::string& key, const std::string& value = "") {
  const std::string path = kBase + key;
  if (!value.empty())
    return Reg("query \"" + path + "\" /v " + value, view).find("    " + value + "    ") !=
           std::string::npos;
  return Reg("query \"" + path.substr(0, path.rfind('\\')) + "\"", view)
             .find("HKEY_LOCAL_MACHINE" + path.substr(4) + "\r\n") != std::string::npos;
}

TEST(Wow64Views, EachFormReachesItsOwnView) {
  if (!UnderWow64()) {
    EXPECT_FALSE(test_support::BedProvides("wow64")) << "this bed is 64-bit Windows";
    GTEST_SKIP() << kOneView;
  }
  FakePlatform fake;
  std::unique_ptr<Registry> registry = CreateRegistry();
  std::unique_ptr<System> system = CreateSystem();
  TestContext ctx(Platform{*registry, *system, fake.environment, fake.clock, fake.files, fake.wmi,
                           fake.net, fake.process, fake.window});
  clsRegistryAccess r(ctx);
  std::string e, b = kBase;
  for (const bool v64 : {false, true}) {
    const std::string own = v64 ? "64" : "32", other = v64 ? "32" : "64";
    SCOPED_TRACE("view " + own);
    for (const std::string& view : {own, other}) {
      Reg("delete \"" + b + "\" /f", view);
      Reg("add \"" + b + "\\K\\Child\" /f", view);
      Reg("add \"" + b + "\\V\" /v d /d " + view + " /f", view);
    }
    Reg("add \"" + b + "\\Other\" /f", other);  // a key only in the other view
    EXPECT_NE(v64 ? r.CreateKey64Bit(b + "\\New", e) : r.CreateKey(b + "\\New", e), 0);
    EXPECT_NE(v64 ? r.WriteStringTo64Bit(b + "\\Other", "w", "x", e)
                  : r.WriteString(b + "\\Other", "w", "x", e),
              0)
        << e;
    std::vector<std::string> keys;
    EXPECT_EQ(v64 ? r.EnumKeys64Bit(b, keys) : r.EnumKeys(b, keys), 4);  // K New Other V
    if (!v64) {
      EXPECT_EQ(r.ReadString(b + "\\V", "d", e), "32");
    }
    EXPECT_NE(v64 ? r.KillValue64bit(b + "\\V", "d", e) : r.KillValue(b + "\\V", "d", e), 0);
    EXPECT_NE(v64 ? r.KillKey64bit(b + "\\K", "Y", e) : r.KillKey(b + "\\K", "Y", e), 0);
    EXPECT_TRUE(Has(own, "\\New") && !Has(other, "\\New"));
    EXPECT_TRUE(Has(own, "\\Other", "w") && !Has(other, "\\Other", "w"));
    EXPECT_TRUE(!Has(own, "\\V", "d") && Has(other, "\\V", "d"));
    EXPECT_TRUE(!Has(own, "\\K") && Has(other, "\\K\\Child"));
  }
  for (const char* view : {"32", "64"}) Reg("delete \"" + kBase + "\" /f", view);
}

// An installer on 64-bit Windows must write the identity through the 32-bit view: written
// only through the 64-bit view it is missing, and the run ends before any log.
TEST(Wow64Identity, IsReadThroughThe32BitView) {
  if (!UnderWow64()) {
    EXPECT_FALSE(test_support::BedProvides("wow64")) << "this bed is 64-bit Windows";
    GTEST_SKIP() << kOneView;
  }
  for (const std::uint32_t view : {reg::kView32Bit, reg::kView64Bit}) {
    AgentInstall agent;
    std::map<std::string, std::optional<std::string>> none,
        identity{{"InstallationPath", agent.InstallDir()},
                 {"RegID", "5678"},
                 {"Memberid", "42"},
                 {"SITEID", "7"},
                 {"TYPE", "SERVER"}};
    for (const auto& entry : identity) none[entry.first] = std::nullopt;
    agent.Seed(none);
    agent.Seed(identity, view);
    agent.WriteResult("earlier\r\n", false);
    agent.Run(" %QARNAGENTID%");
    agent.Seed(none, view);
    EXPECT_EQ(agent.Result(), view == reg::kView32Bit ? "5678\r\n" : "earlier\r\n");
    EXPECT_EQ(std::filesystem::exists(agent.LogFolder()), view == reg::kView32Bit);
  }
}

}  // namespace
