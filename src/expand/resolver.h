#pragma once
// fncExpandEvnVariable: the value of one catalogue variable.
#include <string>

class RunContext;

// Looks the name up by its trimmed, upper-cased form. Does not clear errorText on entry; on
// failure errorText says why (the one exception is an entry that was never reached).
bool fncExpandEvnVariable(RunContext& ctx, const std::string& name, std::string& value,
                          std::string& errorText);
