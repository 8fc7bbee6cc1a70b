// POSIX only: the host's DNS domain from its name, else from its canonical name.
#include "platform/posix/host_domain.h"

#include <netdb.h>
#include <unistd.h>

namespace posix {

std::string DomainOfHost(const std::string& hostName, const std::string& canonicalName) {
  for (const std::string* name : {&hostName, &canonicalName}) {
    const std::size_t dot = name->find('.');
    if (dot != std::string::npos) return name->substr(dot + 1);
  }
  return "";
}

std::string HostDomain() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return "";
  std::string canonical;
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  addrinfo* res = nullptr;
  if (std::string(host).find('.') == std::string::npos &&
      ::getaddrinfo(host, nullptr, &hints, &res) == 0 && res) {
    if (res->ai_canonname) canonical = res->ai_canonname;
    ::freeaddrinfo(res);
  }
  return DomainOfHost(host, canonical);
}

}  // namespace posix
