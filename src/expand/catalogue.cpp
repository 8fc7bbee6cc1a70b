#include "expand/catalogue.h"

#include <array>

#include "expand/catalogue_delegating.h"

namespace {

using namespace catalogue;

// The resolver tests the names in this order. Names are distinct, so the order only matters
// to whoever reads the log of a lookup.
constexpr std::array<CatalogueEntry, 43> kCatalogue{{
    {"COMPUTERNAME", ComputerName},
    {"COMSPEC", ComSpec},
    {"DOMAINNAME", DomainName},
    {"DOMAINUSERNAME", DomainUserName},
    {"USERNAME", UserName},
    {"NTTYPE", NtType},
    {"OS", Os},
    {"OSBUILDNUMBER", OsBuildNumber},
    {"OSCSDVERSION", OsCsdVersion},
    {"OSTYPE", OsType},
    {"OSVERSION", OsVersion},
    {"PROFILEDIRDU", ProfileDirDefaultUser},
    {"PROFILESDIR", ProfilesDir},
    {"SHELLCACHE", ShellCache},
    {"SHELLCOOKIES", ShellCookies},
    {"SHELLDESKTOP", ShellDesktop},
    {"SHELLFAVORITES", ShellFavorites},
    {"SHELLHISTORY", ShellHistory},
    {"SHELLMYPICTURES", ShellMyPictures},
    {"SHELLPERSONAL", ShellPersonal},
    {"SHELLPROGRAMS", ShellPrograms},
    {"SHELLRECENT", ShellRecent},
    {"SHELLSENDTO", ShellSendTo},
    {"SHELLSTARTMENU", ShellStartMenu},
    {"SHELLSTARTUP", ShellStartup},
    {"SYSTEMDRIVE", SystemDrive},
    {"SYSTEMROOT", SystemRoot},
    {"TEMPDIR", TempDir},
    {"WINDIR", WinDir},
    {"SYSTEMDIRECTORY", SystemDirectory},
    {"ALLUSERSPROFILE", AllUsersProfile},
    {"PROGRAMFILES", ProgramFiles},
    {"APPDATA", AppData},
    {"IPADDRESS", IpAddress},
    {"CRLF", Crlf},
    {"DATE_YYYYMMDD", DateYyyyMmDd},
    {"DAY", Day},
    {"TIME", Time},
    {"QARNPARTNERID", PartnerId},
    {"QARNSITEID", SiteId},
    {"QARNAGENTID", AgentId},
    {"QARNAGENTTYPE", AgentType},
    {"QARNINSTALLPATH", InstallPath},
}};

}  // namespace

std::span<const CatalogueEntry> Catalogue() {
  return kCatalogue;
}

CatalogueEntryFn FindCatalogueEntry(std::span<const CatalogueEntry> table, const std::string& key) {
  for (const CatalogueEntry& e : table)
    if (key == e.name) return e.entry;
  return nullptr;
}
