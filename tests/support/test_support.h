#pragma once
// What the platform tests need to set up their cases the way a user or administrator would
// on each system. The program itself never calls these.
#include <optional>
#include <string>
#include <vector>

namespace test_support {
// Windows: the read-only attribute; POSIX: the owner's write permission.
void SetReadOnly(const std::string& path, bool readOnly);
// A variable of this process's own environment (the one the programs it starts inherit);
// nullopt when it is not set.
std::optional<std::string> ProcessVariable(const std::string& name);
void SetProcessVariable(const std::string& name, const std::string& value);
void UnsetProcessVariable(const std::string& name);

// Makes a symbolic link at link that points to target (a file or folder, which may not
// exist natively; under Wine it must); folder: whether the target is a folder (Windows
// links say so). Under Wine, whose own call makes nothing, a Unix link in the prefix's
// drive. False when none was made.
bool MakeLink(const std::string& target, const std::string& link, bool folder);
// Removes links that MakeLink made (never what they point to); under Wine, whose own calls
// cannot remove a Unix link, through the Unix rm.
void RemoveLinks(const std::vector<std::string>& links);
// Whether the system shows path as a link (a reparse point on Windows): Wine shows a Unix
// link to a folder as one, and a link to a file as the file itself.
bool ShowsAsLink(const std::string& path);

// What became of one program that RunTogether started.
constexpr long kDidNotStart = -1;
constexpr long kStillRunning = -2;  // killed when the wait ran out

// Starts program once per argument text, all at once, each with that text as its whole
// argument string (Windows: the command line "<program>" and a space before the text;
// POSIX: one argument), then waits for all of them, at most timeoutMs in all. Returns,
// per text, the exit code (POSIX: 128 + signal for a program a signal ended), or one of
// the two codes above.
std::vector<long> RunTogether(const std::string& program, const std::vector<std::string>& texts,
                              unsigned timeoutMs);
}  // namespace test_support
