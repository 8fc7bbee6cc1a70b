#include "main/startup.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "main/install_path.h"
#include "main/log_file_name.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "registry/registry_access.h"
#include "run/log_writer.h"
#include "run/run_context.h"
#include "run/windows_calls.h"
#include "text/leading_number.h"
#include "text/text_util.h"

namespace {

constexpr int kCsidlSystem = 37;

std::string ReadAgentValue(RunContext& ctx, const char* name) {
  std::string ignored;
  return ctx.RegistryAccess().ReadString(kAgentKey, name, ignored);
}

// Reads one identity value with its log lines; a value the run cannot go on without ends it.
// The agent type's first line has always read "AGENTYPE", hence a label of its own.
std::string ReadCheckedAgentValue(RunContext& ctx, const char* valueName,
                                  const std::string& readingLabel, const std::string& label,
                                  bool (*valid)(const std::string&)) {
  subWriteLog(ctx, "MSG : Reading " + readingLabel);
  std::string value = ReadAgentValue(ctx, valueName);
  subWriteLog(ctx, "MSG : " + label + " : " + value);
  if (!valid(value)) {
    subWriteLog(ctx, "MSG : Invalid " + label);
    subEndApplication(ctx);
  }
  return value;
}

bool HasLeadingNumber(const std::string& value) {
  return LeadingNumber(value) != 0;
}
bool IsNotBlank(const std::string& value) {
  return !text::Trim(value).empty();
}

// Every piece between the separators; an empty text has none.
std::vector<std::string> SplitAll(const std::string& s, const std::string& sep) {
  std::vector<std::string> pieces;
  if (s.empty()) return pieces;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = s.find(sep, from);
    if (at == std::string::npos) break;
    pieces.push_back(s.substr(from, at - from));
    from = at + sep.size();
  }
  pieces.push_back(s.substr(from));
  return pieces;
}

}  // namespace

bool fncPreChecks(RunContext& ctx) {
  try {
    subWriteLog(ctx, "MSG : In fncPreChecks");
    const std::string command = text::Trim(ctx.platform.process.RawArguments());
    subWriteLog(ctx, "MSG : Command line parameters :: " + command);
    const std::vector<std::string> fields = SplitAll(command, "@#@");
    if (fields.size() != 13) {
      subWriteLog(ctx, "ERR : Invalid command line parameters");
      return false;
    }
    ctx.PreCheckFields = {text::ReplaceAll(fields[0], "\"", ""), fields[1], fields[2]};
    if (ctx.platform.files.FileExists(fields[5])) return true;
    subWriteLog(ctx, "ERR : " + fields[5] + " is missing.");
    return false;
  } catch (...) {
    return false;
  }
}

void subRegisterMSXML(RunContext& ctx) {
  try {
    const std::string system = GetSpecialfolder(ctx, kCsidlSystem);
    if (system.empty()) return;
    // By full path: a regsvr32 in the agent's or the current folder must never run instead.
    ctx.platform.process.StartDetached(system + kPathSep + "regsvr32" + kExeSuffix,
                                       "regsvr32 -s " + system + kPathSep + "msxml2.dll");
  } catch (...) {
  }
}

void subInitialize(RunContext& ctx) {
  Process& process = ctx.platform.process;
  Files& files = ctx.platform.files;

  process.HideFromTaskList();
  ctx.AppShortPath = fncGetShortPathName(ctx, process.ExecutableFolder());
  ctx.AgentRegId = ReadAgentValue(ctx, "RegID");
  ctx.AgentInstallPath = ReadAgentValue(ctx, "InstallationPath");
  if (text::Trim(ctx.AgentInstallPath).empty() || !files.FolderExists(ctx.AgentInstallPath))
    subEndApplication(ctx);
  ctx.AgentInstallPath = NormalizeInstallPath(ctx.AgentInstallPath, kPathSep);

  fncPreChecks(ctx);

  // Each folder is held open while the next is made below it, and none may be a link:
  // others may be able to write to the installation folder, and a link there must not send
  // this run's log (or anything else) elsewhere. Refusing one ends the run as a folder
  // that cannot be created does.
  const std::unique_ptr<Folder> install = files.OpenFolder(ctx.AgentInstallPath);
  const std::unique_ptr<Folder> applicationLog = install->SubFolder("ApplicationLog");
  const std::unique_ptr<Folder> logFolder = applicationLog->SubFolder("qRTKLog");
  install->SubFolder("RTKPostLogs");

  const std::string logName = BuildLogFileName(process.ExecutableName(), ctx.AgentRegId,
                                               ctx.PreCheckFields, ctx.platform.clock.Now());
  // Appending, never truncating: a second run in the same second with the same identity
  // gets the same name, and both runs' lines must stay.
  ctx.LogStream = logFolder->AppendTo(logName);

  const std::string stars(85, '*');
  subWriteLog(ctx, stars);
  subWriteLog(ctx, "MSG : Application started");
  subWriteLog(ctx, stars);

  ctx.ExeVersion =
      files.GetFileVersion(ctx.AppShortPath + kPathSep + process.ExecutableName() + kExeSuffix);
  subWriteLog(ctx, "MSG : Exe Version :: " + ctx.ExeVersion);
  subWriteLog(ctx, "MSG : QARN installation path : " + ctx.AgentInstallPath);

  ctx.AgentMemberId =
      ReadCheckedAgentValue(ctx, "Memberid", "MEMBERID", "MEMBERID", HasLeadingNumber);
  ctx.AgentSiteId = ReadCheckedAgentValue(ctx, "SITEID", "SITEID", "SITEID", HasLeadingNumber);
  ctx.AgentRegId = ReadCheckedAgentValue(ctx, "RegID", "REGID", "REGID", HasLeadingNumber);
  ctx.AgentType = ReadCheckedAgentValue(ctx, "TYPE", "AGENTYPE", "AGENTTYPE", IsNotBlank);

  subRegisterMSXML(ctx);
}
