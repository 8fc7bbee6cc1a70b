#pragma once
// Splitting the running program's full path into what the Process service reports: its
// folder and its name without extension. Both builds' services and the store's default
// location use it, so the folder of a program at a root is the same everywhere.
#include <string>

struct ExecutablePath {
  std::string folder;  // "." when the path names no folder; a root keeps its separator
  std::string name;    // the file name without its last extension ("qEnv")
};

// separators: the characters that end a folder on this build ("\\/" on Windows, "/").
ExecutablePath SplitExecutablePath(const std::string& path, const char* separators);
