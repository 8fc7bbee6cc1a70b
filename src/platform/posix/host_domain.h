#pragma once
// POSIX only: the host's DNS domain, the stand-in's answer for USERDOMAIN.
#include <string>

namespace posix {

// The part of the host name after its first dot; for a name without one, the part of the
// canonical name that the resolver gives for it after its first dot; else "".
std::string DomainOfHost(const std::string& hostName, const std::string& canonicalName);

// DomainOfHost of this host (the resolver is asked only for a name without a dot).
std::string HostDomain();

}  // namespace posix
