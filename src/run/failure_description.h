#pragma once
// What a guarded procedure knows of the failure it trapped. Every guarded procedure catches
// in one form, `catch (...)`, and asks CurrentFailure() inside the handler, so that a
// standard library failure (out of memory, a bad index) is trapped at the procedure's own
// boundary like a run-time error, never escaping to Main.
#include <string>

struct Failure {
  long number;              // the run-time error's number; 7 out of memory, 0 otherwise
  std::string description;  // its description, or the standard exception's text
};

// Call only inside a catch block.
Failure CurrentFailure();

// CurrentFailure().description, for the handlers that log only the text.
std::string DescriptionOfCurrentFailure();
