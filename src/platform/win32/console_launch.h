#pragma once
// What a console lookup starts on Windows: the system's cmd.exe with /d (no AutoRun command
// runs first), the command's program by its full path, and an environment of the run's own,
// so that nothing of the caller's (its PATH, PATHEXT or current folder) decides what runs.
#include <string>

struct ConsoleLaunch {
  std::string interpreter;  // <system folder>\cmd.exe; empty when no system folder is known
  std::string commandLine;  // <interpreter> /d /c <program> <arguments>
  std::string environment;  // "NAME=value" strings, each ended by a NUL, sorted, and a NUL
  std::string folder;       // its current folder: the system folder
};

// command: a system program's name and its arguments ("NBTSTAT -A"). The program is the
// system folder's; one that is not there is, under WOW64, the native system folder's
// (Sysnative): nbtstat exists only as a native program.
ConsoleLaunch BuildConsoleLaunch(const std::string& command);
