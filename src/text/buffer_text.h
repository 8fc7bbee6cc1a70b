#pragma once
// Turning a buffer that a platform call filled into a string, with the run-time error the
// program gets when the length to keep comes out negative; and the buffer that grows to the
// size such a call reports.
#include <cstdint>
#include <string>

namespace text {
// The first n characters of s (all of s when n is larger); a negative n raises
// InvalidProcedureCall.
std::string Left(const std::string& s, long n);
// s before its first NUL; raises InvalidProcedureCall when s holds none.
std::string BeforeFirstNul(const std::string& s);

// How a call that fills a caller's buffer of a given capacity answers, and how that buffer is
// laid out. The calls differ: some count the closing NUL in what they return, some do not;
// some are handed more room than the capacity they are told of.
struct BufferCall {
  std::uint32_t capacity;  // the capacity offered first
  std::uint32_t longest;   // a size reported beyond this is no answer worth another try
  bool countsNul;          // the length returned counts the closing NUL: capacity itself fits
  char fill;               // what the buffer holds before each call
  std::uint32_t spare;     // characters allocated beyond the capacity the call is told of
};

// What the last call left: its buffer, the length it returned and the capacity in force.
struct GrownBuffer {
  std::string buffer;
  std::uint32_t length = 0;
  std::uint32_t capacity = 0;
  bool countsNul = false;
  // The last call's answer fitted. After three calls that each asked for more, the capacity
  // in force is the size the last one asked for.
  bool Fits() const { return countsNul ? length <= capacity : length < capacity; }
};

// Calls fill(buffer, capacity) and, while the length returned does not fit, calls it again
// with a buffer of that size, three calls at most: a short answer is never cut to a text
// that would name something else.
template <typename Fill>
GrownBuffer GrowToReportedSize(const BufferCall& call, Fill fill) {
  GrownBuffer grown;
  grown.capacity = call.capacity;
  grown.countsNul = call.countsNul;
  for (int attempt = 0; attempt < 3; ++attempt) {
    grown.buffer.assign(grown.capacity + call.spare, call.fill);
    grown.length = fill(grown.buffer.data(), grown.capacity);
    if (grown.Fits() || grown.length > call.longest) break;
    grown.capacity = grown.length;
  }
  return grown;
}
}  // namespace text
