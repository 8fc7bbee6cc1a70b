#pragma once
// The host's DNS domain as the system's own hostname program reports it ("" for a host
// without one): the yardstick of the USERDOMAIN stand-in, found without its code.
#include <string>

std::string HostDomainByHostnameProgram();
