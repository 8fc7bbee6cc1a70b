// Wine's own answers, from its programs in the test's prefix: cmd.exe for the environment,
// reg.exe for the registry, wmic.exe for the management classes, ipconfig.exe and Windows
// Sockets for the address. Each program's output goes to a file (pipes from Wine programs
// can stay open for seconds).
#include "platform/win32/win32_api.h"
// after windows.h
#include <winsock.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "../agent_install.h"
#include "../host_facts.h"
#include "platform/process.h"
#include "platform/service_factories.h"
#include "text/text_util.h"

namespace fs = std::filesystem;

namespace host {

namespace {

std::string TrimBlanks(const std::string& s) {
  const std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// wmic writes UTF-16 with a byte-order mark when its output is a file; its answers here
// are ASCII.
std::string Narrow(const std::string& bytes) {
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return bytes;
  std::string out;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) out += bytes[i];
  return out;
}

// The lines a command run through the system folder's cmd.exe writes to standard output.
std::vector<std::string> Lines(const std::string& command) {
  static std::unique_ptr<Process> process = CreateProcess(0, nullptr);
  static int counter = 0;
  const fs::path file =
      fs::temp_directory_path() / ("qenv-host-" + std::to_string(process->ProcessId()) + "-" +
                                   std::to_string(++counter) + ".txt");
  const std::string line =
      process->CommandInterpreter() + " /c " + command + " >\"" + file.string() + "\"";
  EXPECT_NE(process->RunHidden(process->CommandInterpreter(), line, 60000), 0u) << line;
  std::string text = Narrow(ReadBytes(file));
  std::error_code ec;
  fs::remove(file, ec);
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

// "wmic <alias> get <property>": a header line, then the value padded with blanks; an
// empty value (Windows 10 has no service pack) leaves the header alone.
std::string Wmic(const std::string& alias, const std::string& property) {
  const auto lines = Lines("wmic " + alias + " get " + property);
  std::vector<std::string> filled;
  for (const auto& l : lines)
    if (!TrimBlanks(l).empty()) filled.push_back(TrimBlanks(l));
  // An empty value (CSDVersion on Windows 10) leaves the header alone.
  EXPECT_TRUE(filled.size() == 2u || filled.size() == 1u)
      << "wmic " << alias << " get " << property;
  if (filled.size() < 2 || filled[0] != property) return "";
  return filled[1];
}

// The environment as cmd.exe expands it; an unset variable stays "%NAME%" there.
std::string CmdVariable(const std::string& name) {
  static std::map<std::string, std::string> known;
  const std::string key = [&] {
    std::string k;
    for (char c : name) k += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return k;
  }();
  if (auto it = known.find(key); it != known.end()) return it->second;
  const auto lines = Lines("echo %" + name + "%");
  std::string value = lines.empty() ? "" : lines[0];
  // echo writes the blank before the redirect as part of its text
  if (!value.empty() && value.back() == ' ') value.pop_back();
  if (value == "%" + name + "%") value = "";
  known[key] = value;
  return value;
}

}  // namespace

std::vector<std::pair<std::string, std::optional<std::string>>> PinnedVariables() {
  return {};
}

std::string Variable(const std::string& name) {
  return CmdVariable(name);
}

std::string ComputerName() {
  return CmdVariable("COMPUTERNAME");
}

std::string UserName() {
  return CmdVariable("USERNAME");
}

std::string ProfileFolder() {
  return CmdVariable("USERPROFILE");
}

char PathSeparator() {
  return '\\';
}

OsFacts Os() {
  static const OsFacts facts = [] {
    OsFacts os;
    os.caption = Wmic("os", "Caption");
    os.version = Wmic("os", "Version");
    os.buildNumber = Wmic("os", "BuildNumber");
    os.csdVersion = Wmic("os", "CSDVersion");
    const std::string type = Wmic("os", "OSType");
    // Only the NT row is expected from Wine; anything else shows as what it is.
    os.typeName = type == "18" ? "WINNT" : "OSType " + type;
    return os;
  }();
  return facts;
}

std::optional<std::string> Domain() {
  return Wmic("computersystem", "Domain");
}

std::string SystemDirectory() {
  return Wmic("os", "SystemDirectory");
}

// Windows Sockets' answer for the computer name; when that is missing or the loopback
// address, every IPv4 address ipconfig lists, in its order, a loopback address dropped
// while it is the only one taken.
std::string OfflineIpAddress() {
  return IpAddress();
}

std::string IpAddress() {
  WSADATA data{};
  WSAStartup(0x0101, &data);
  std::string address;
  if (const hostent* h = gethostbyname(ComputerName().c_str());
      h && h->h_length >= 4 && h->h_addr_list && h->h_addr_list[0]) {
    const auto* b = reinterpret_cast<const unsigned char*>(h->h_addr_list[0]);
    address = std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
              std::to_string(b[3]);
  }
  WSACleanup();
  if (!address.empty() && address != "127.0.0.1") return address;
  std::string list;
  for (const std::string& line : Lines("ipconfig")) {
    std::string lower;
    for (char c : line) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("ipv4 address") == std::string::npos) continue;
    const std::string a = TrimBlanks(line.substr(line.find(':') + 1));
    list = list.empty() ? a : list + "," + a;
    if (list == "127.0.0.1") list.clear();
  }
  return list;
}

void PrepareRegistry(AgentInstall&) {}

// "reg query KEY /v NAME": the line "    NAME    REG_xx    DATA".
std::optional<std::string> RegistryText(const std::string& key, const std::string& valueName) {
  for (const std::string& line : Lines("reg query \"" + key + "\" /v \"" + valueName + "\"")) {
    for (const char* type : {"REG_SZ", "REG_EXPAND_SZ"}) {
      const std::string head = "    " + valueName + "    " + type + "    ";
      if (line.size() >= head.size() && text::EqualsNoCase(line.substr(0, head.size()), head))
        return line.substr(head.size());
      // an empty string has nothing after its type
      if (text::EqualsNoCase(line, "    " + valueName + "    " + type + "    ") ||
          text::EqualsNoCase(line, "    " + valueName + "    " + type))
        return std::string();
    }
  }
  return std::nullopt;
}

}  // namespace host
