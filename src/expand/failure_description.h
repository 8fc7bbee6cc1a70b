#pragma once
// The description a guarded procedure logs for the failure it trapped.
#include <string>

// Call only inside a catch block: the RuntimeError's description, a standard exception's
// text, or the generic run-time error text for anything else.
std::string DescriptionOfCurrentFailure();
