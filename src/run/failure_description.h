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

// Call only inside a catch block. What is neither a run-time error nor a standard exception
// is no failure of the procedure (a test double's end of the process is one): it is thrown
// on, past the handler, as a handler that named its exceptions would have let it pass.
Failure CurrentFailure();

// CurrentFailure().description, for the handlers that log only the text.
std::string DescriptionOfCurrentFailure();
