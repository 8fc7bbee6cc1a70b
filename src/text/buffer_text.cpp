#include "text/buffer_text.h"

#include "platform/runtime_error.h"

std::string text::Left(const std::string& s, long n) {
  if (n < 0) throw InvalidProcedureCall();
  return s.substr(0, static_cast<std::size_t>(n));
}

std::string text::BeforeFirstNul(const std::string& s) {
  const std::size_t nul = s.find('\0');
  return Left(s, nul == std::string::npos ? -1 : static_cast<long>(nul));
}
