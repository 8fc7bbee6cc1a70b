#include "expand/catalogue.h"

#include <array>

namespace {

using namespace catalogue;

// The resolver tests the names in this order. Names are distinct, so the order only matters
// to whoever reads the log of a lookup.
constexpr std::array<CatalogueEntry, 43> kCatalogue{{
    {"COMPUTERNAME", nullptr},
    {"COMSPEC", nullptr},
    {"DOMAINNAME", nullptr},
    {"DOMAINUSERNAME", DomainUserName},
    {"USERNAME", nullptr},
    {"NTTYPE", nullptr},
    {"OS", nullptr},
    {"OSBUILDNUMBER", nullptr},
    {"OSCSDVERSION", nullptr},
    {"OSTYPE", nullptr},
    {"OSVERSION", nullptr},
    {"PROFILEDIRDU", ProfileDirDefaultUser},
    {"PROFILESDIR", ProfilesDir},
    {"SHELLCACHE", nullptr},
    {"SHELLCOOKIES", nullptr},
    {"SHELLDESKTOP", nullptr},
    {"SHELLFAVORITES", nullptr},
    {"SHELLHISTORY", nullptr},
    {"SHELLMYPICTURES", nullptr},
    {"SHELLPERSONAL", nullptr},
    {"SHELLPROGRAMS", nullptr},
    {"SHELLRECENT", nullptr},
    {"SHELLSENDTO", nullptr},
    {"SHELLSTARTMENU", nullptr},
    {"SHELLSTARTUP", nullptr},
    {"SYSTEMDRIVE", SystemDrive},
    {"SYSTEMROOT", SystemRoot},
    {"TEMPDIR", TempDir},
    {"WINDIR", WinDir},
    {"SYSTEMDIRECTORY", nullptr},
    {"ALLUSERSPROFILE", AllUsersProfile},
    {"PROGRAMFILES", ProgramFiles},
    {"APPDATA", nullptr},
    {"IPADDRESS", nullptr},
    {"CRLF", Crlf},
    {"DATE_YYYYMMDD", DateYyyyMmDd},
    {"DAY", nullptr},
    {"TIME", Time},
    {"QARNPARTNERID", nullptr},
    {"QARNSITEID", nullptr},
    {"QARNAGENTID", nullptr},
    {"QARNAGENTTYPE", nullptr},
    {"QARNINSTALLPATH", nullptr},
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
