#pragma once
// The resolver's catalogue: the 43 variable names a token may use, each with the entry that
// computes its value. The table lives in catalogue.cpp; every name there has its entry.
#include <cstddef>
#include <span>
#include <string>

class RunContext;

// The expansion contract: name as written in the token (untrimmed, case kept), value out,
// error text out (an entry may leave it as it is), result True when the value was obtained.
using CatalogueEntryFn = bool (*)(RunContext& ctx, const std::string& name, std::string& value,
                                  std::string& errorText);

struct CatalogueEntry {
  const char* name;        // upper case, as the resolver's key
  CatalogueEntryFn entry;  // the catalogue has one for every name
};

// All 43 names, in the order the resolver tests them.
std::span<const CatalogueEntry> Catalogue();

// The entry for a key (already trimmed and upper-cased) in a table; null when the key is not
// in the table (or a table that a test builds holds it without an entry).
CatalogueEntryFn FindCatalogueEntry(std::span<const CatalogueEntry> table, const std::string& key);

// Entries that need nothing but the process environment, the clock and constants
// (catalogue_basic.cpp).
namespace catalogue {
bool DomainUserName(RunContext& ctx, const std::string& name, std::string& value,
                    std::string& errorText);
bool ProfileDirDefaultUser(RunContext& ctx, const std::string& name, std::string& value,
                           std::string& errorText);
bool ProfilesDir(RunContext& ctx, const std::string& name, std::string& value,
                 std::string& errorText);
bool SystemDrive(RunContext& ctx, const std::string& name, std::string& value,
                 std::string& errorText);
bool SystemRoot(RunContext& ctx, const std::string& name, std::string& value,
                std::string& errorText);
bool TempDir(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool WinDir(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool AllUsersProfile(RunContext& ctx, const std::string& name, std::string& value,
                     std::string& errorText);
bool ProgramFiles(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool Crlf(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
bool DateYyyyMmDd(RunContext& ctx, const std::string& name, std::string& value,
                  std::string& errorText);
bool Time(RunContext& ctx, const std::string& name, std::string& value, std::string& errorText);
}  // namespace catalogue
