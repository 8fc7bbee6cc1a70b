#pragma once
// The one log channel: "MM/DD/YYYY HH:NN:SS", a tab, the message, CR LF. A CR or LF
// inside the message is written as "\r" or "\n", so that each call writes one line.
#include <string>

#include "platform/clock.h"

class RunContext;

// Never fails towards the caller: with no log open, or a failing write, the line is lost.
void subWriteLog(RunContext& ctx, const std::string& message);

// Logs "MSG : Application Ended", releases the log and ends the process.
[[noreturn]] void subEndApplication(RunContext& ctx);

// Flushes every buffered line to the file and releases the log; a close that fails loses
// what it could not write. Nothing happens when no log is open.
void CloseLog(RunContext& ctx);

// The stamp of a log line, with the locale's time separator.
std::string FormatLogStamp(const LocalTime& t, const std::string& timeSeparator);
