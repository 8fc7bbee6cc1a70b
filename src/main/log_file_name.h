#pragma once
// The name of a run's log file: exe_RegID_field1_field2_field3_mmddyyyyHHNNSS.txt.
#include <array>
#include <string>

#include "platform/clock.h"

// The start time as month, day, four-digit year, hour (24-hour clock), minutes, seconds.
std::string FormatLogFileTime(const LocalTime& t);

// The registration id and the three command-line fields come from outside the program:
// a character that cannot stand in a file name (a path separator, ":", "*", "?", a quote,
// "<", ">", "|" or a control character) becomes "_", so the name can never point outside
// the log folder.
std::string BuildLogFileName(const std::string& exeName, const std::string& regId,
                             const std::array<std::string, 3>& fields, const LocalTime& start);
