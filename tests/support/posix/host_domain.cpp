#include "support/posix/host_domain.h"

#include <gtest/gtest.h>

#include <cstdio>

std::string HostDomainByHostnameProgram() {
  FILE* pipe = ::popen("hostname -d 2>/dev/null", "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run hostname -d";
    return "";
  }
  std::string out;
  char buf[256];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
  const int status = ::pclose(pipe);
  // 127: no hostname program; 1: a host name that does not resolve, which has no domain.
  if (status == 127 << 8) ADD_FAILURE() << "no hostname program on this host";
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}
