#pragma once
// Reading a registry file ("REGEDIT4" or "Windows Registry Editor Version 5.00": UTF-16LE
// with a byte-order mark, UTF-8 with one, else ANSI) into what it asks of the registry, line
// by line. Lines it cannot read are kept as problems with their line numbers and skipped,
// and the rest of the file is read as reg import reads it.
#include <cstdint>
#include <string>
#include <vector>

namespace qreg {

struct RegEntry {
  // kBadKey: a key line that cannot be read; the values up to the next key line go nowhere.
  enum Kind { kKey, kDeleteKey, kValue, kDeleteValue, kProblem, kBadKey };
  Kind kind = kProblem;
  int line = 0;
  std::string key;   // kKey, kDeleteKey: the key's path as written, trailing \ dropped
  std::string name;  // kValue, kDeleteValue: the value's name, "" for the default
  std::uint32_t type = 0;
  std::string data;     // kValue: the bytes for the registry's ANSI calls
  std::string problem;  // kProblem, kBadKey: what is wrong with the line
};

// False with error when bytes are no registry file (no such first line); nothing is then
// to be changed. Another "REGEDIT" header is a file of a kind reg import passes over whole:
// true with no entries.
bool ParseRegFile(const std::string& bytes, std::vector<RegEntry>& entries, std::string& error);

}  // namespace qreg
