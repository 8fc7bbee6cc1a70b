#pragma once
// One run: the start-up, the result file "EnvironmentVar.txt" beside the executable, the
// expansion of the command text.
#include <string>

class RunContext;

inline constexpr const char kResultFileName[] = "EnvironmentVar.txt";

// The whole run. Ends the process itself on the normal path and on an early end; returns
// only from its error handler, after logging "ERR : Main, " and the description.
void Main(RunContext& ctx);

// The result file's path: the short form of the executable's folder, the separator and
// the file name. When the short form cannot be had (empty, or cut short by a NUL) the
// folder as it is stands in, so the result never lands in some other folder.
std::string ResultFilePath(RunContext& ctx);
