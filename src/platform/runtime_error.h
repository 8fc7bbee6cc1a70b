#pragma once
// A run-time error as the guarded procedures know it: a number and the platform's
// description. Only platform failures that a caller traps at its own boundary throw it.
#include <stdexcept>
#include <string>

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(long number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  long Number() const { return number_; }
  // The description is the exception's own text, kept once.
  std::string Description() const { return what(); }

 private:
  long number_;
};

// Numbers and texts the file-system object gives for its failures.
namespace fso_error {
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAlreadyExists = 58;
inline constexpr long kDiskFull = 61;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kPathFileAccess = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kBadFileMode = 54;
inline constexpr long kInputPastEnd = 62;
}  // namespace fso_error

// The description text for one of the numbers above ("File not found" for 53 ...).
std::string FsoErrorText(long number);
inline RuntimeError FsoError(long number) {
  return RuntimeError(number, FsoErrorText(number));
}

// What a text operation raises when it is asked for a negative length, such as a buffer cut
// at a NUL that it does not hold.
inline RuntimeError InvalidProcedureCall() {
  return RuntimeError(5, "Invalid procedure call or argument");
}
