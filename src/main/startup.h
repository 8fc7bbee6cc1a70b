#pragma once
// The start-up context: the agent's identity and installation folder from the registry,
// the log folders and this run's log file, and the registration of msxml2.dll.
#include <string>

class RunContext;

// The registry key that holds the agent's identity.
inline constexpr const char kAgentKey[] = "HKLM\\SOFTWARE\\DORAZA";

// Returns only with the log open and the identity found valid; otherwise ends the process
// through subEndApplication or raises a RuntimeError for Main's handler.
void subInitialize(RunContext& ctx);

// True when the command line has thirteen "@#@" fields and the file in field 6 exists;
// fills ctx.PreCheckFields from fields 1 to 3 when there are thirteen. Never raises.
bool fncPreChecks(RunContext& ctx);

// Starts the system folder's regsvr32 on msxml2.dll without waiting. Never raises.
void subRegisterMSXML(RunContext& ctx);
