#include "reg_file.h"

#include "reg_text.h"

namespace qreg {
namespace {

constexpr char kV4[] = "REGEDIT4";
constexpr char kV5[] = "Windows Registry Editor Version 5.00";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.pop_back();
  return s;
}

std::string TrimLeft(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

// What may follow a value's data: nothing, or a comment (";" or "#") after any blanks.
bool OnlyComment(const std::string& rest) {
  const std::string t = TrimLeft(rest);
  return t.empty() || t[0] == ';' || t[0] == '#';
}

// The text before a comment that starts with ";" or "#", blanks at its end dropped.
std::string BeforeComment(const std::string& s) {
  return TrimRight(s.substr(0, s.find_first_of(";#")));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to 8 hex digits as a number.
bool HexNumber(const std::string& s, std::uint32_t& n) {
  if (s.empty() || s.size() > 8) return false;
  n = 0;
  for (char c : s) {
    if (HexDigit(c) < 0) return false;
    n = (n << 4) | static_cast<std::uint32_t>(HexDigit(c));
  }
  return true;
}

// A quoted text from s[at] (the opening quote) with \\, \" and the line breaks \n and \r
// unescaped; at ends after the closing quote. An escape it does not know keeps its
// character and is named in warning.
bool QuotedText(const std::string& s, std::size_t& at, std::string& out, std::string& problem,
                std::string& warning) {
  out.clear();
  for (++at; at < s.size(); ++at) {
    const char c = s[at];
    if (c == '"') {
      ++at;
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++at == s.size()) break;
    switch (s[at]) {
      case '\\':
      case '"':
        out += s[at];
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case '0':
        problem = "a NUL (\\0) inside a string";
        return false;
      default:
        warning = std::string("unknown escape \\") + s[at] + " (read as " + s[at] + ")";
        out += s[at];
    }
  }
  problem = "the closing quote is missing";
  return false;
}

// "hex:" or "hex(N):" data: comma-separated bytes of one or two digits.
bool HexBytes(const std::string& s, std::string& bytes) {
  bytes.clear();
  if (s.empty()) return true;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t end = s.find(',', start);
    if (end == std::string::npos) end = s.size();
    const std::string piece = s.substr(start, end - start);
    // A comma may close the list (the last continued line).
    if (piece.empty() && end == s.size() && start > 0) break;
    if (piece.empty() || piece.size() > 2 || HexDigit(piece[0]) < 0 ||
        (piece.size() == 2 && HexDigit(piece[1]) < 0))
      return false;
    std::uint32_t n = 0;
    HexNumber(piece, n);
    bytes += static_cast<char>(n);
    start = end + 1;
  }
  return true;
}

class Reader {
 public:
  Reader(std::vector<std::string> lines, bool unicode, std::vector<RegEntry>& entries)
      : lines_(std::move(lines)), unicode_(unicode), entries_(entries) {}

  void Run() {
    for (i_ = 1; i_ < lines_.size(); ++i_) {
      const std::string line = TrimRight(TrimLeft(lines_[i_]));
      if (line.empty() || line[0] == ';' || line[0] == '#') continue;
      if (line[0] == '[')
        KeyLine(line);
      else if (line[0] == '@' || line[0] == '"')
        ValueLine(line);
      else
        Problem(static_cast<int>(i_) + 1, "not a key, value or comment line");
    }
  }

 private:
  void Problem(int line, const std::string& what) {
    RegEntry e;
    e.kind = RegEntry::kProblem;
    e.line = line;
    e.problem = what + "; the line is left out.";
    entries_.push_back(e);
  }

  void KeyLine(const std::string& line) {
    const int number = static_cast<int>(i_) + 1;
    const std::size_t close = line.rfind(']');
    // The values after a key line that cannot be read belong to no key the file names.
    if (line.size() < 2 || IsBlank(line[1]) || close == std::string::npos) {
      Problem(number,
              "not a key line: the name must follow \"[\" and end with \"]\"; the values up to "
              "the next key line are left out too");
      entries_.back().kind = RegEntry::kBadKey;
      return;
    }
    RegEntry e;
    e.line = number;
    e.kind = line[1] == '-' ? RegEntry::kDeleteKey : RegEntry::kKey;
    e.key = line.substr(e.kind == RegEntry::kDeleteKey ? 2 : 1,
                        close - (e.kind == RegEntry::kDeleteKey ? 2 : 1));
    while (!e.key.empty() && e.key.back() == '\\') e.key.pop_back();
    entries_.push_back(e);
  }

  void ValueLine(std::string line) {
    const int number = static_cast<int>(i_) + 1;
    RegEntry e;
    e.line = number;
    std::size_t at = 0;
    std::string problem;
    std::string warning;
    if (line[0] == '@') {
      at = 1;
    } else if (!QuotedText(line, at, e.name, problem, warning)) {
      Problem(number, "the value name: " + problem);
      return;
    }
    if (at >= line.size() || line[at] != '=') {
      Problem(number, "\"=\" must follow the value name");
      return;
    }
    std::string data = line.substr(at + 1);
    if (data.rfind('-', 0) == 0 && OnlyComment(data.substr(1))) {
      e.kind = RegEntry::kDeleteValue;
      entries_.push_back(e);
      return;
    }
    e.kind = RegEntry::kValue;
    if (!data.empty() && data[0] == '"') {
      std::size_t pos = 0;
      std::string text;
      if (!QuotedText(data, pos, text, problem, warning)) {
        Problem(number, problem);
        return;
      }
      if (!OnlyComment(data.substr(pos))) {
        Problem(number, "text after the closing quote");
        return;
      }
      if (!warning.empty()) {
        Problem(number, warning);
        entries_.back().problem = warning + "; the value is kept.";
      }
      e.type = 1;
      e.data = text + std::string(1, '\0');
      entries_.push_back(e);
      return;
    }
    if (data.rfind("dword:", 0) == 0) {
      std::uint32_t n = 0;
      std::size_t start = 6;
      while (start < data.size() && IsBlank(data[start])) ++start;
      std::size_t end = start;
      while (end < data.size() && HexDigit(data[end]) >= 0) ++end;
      if (!HexNumber(data.substr(start, end - start), n) || !OnlyComment(data.substr(end))) {
        Problem(number, "dword: takes one to eight hex digits");
        return;
      }
      e.type = 4;
      for (int k = 0; k < 4; ++k) e.data += static_cast<char>((n >> (8 * k)) & 0xFF);
      entries_.push_back(e);
      return;
    }
    std::size_t colon = std::string::npos;
    if (data.rfind("hex:", 0) == 0) {
      e.type = 3;
      colon = 3;
    } else if (data.rfind("hex(", 0) == 0) {
      const std::size_t paren = data.find(')');
      if (paren == std::string::npos || paren + 1 >= data.size() || data[paren + 1] != ':' ||
          !HexNumber(data.substr(4, paren - 4), e.type)) {
        Problem(number, "hex(N): takes a type of one to eight hex digits");
        return;
      }
      colon = paren + 1;
    } else {
      Problem(number, "the data is neither a quoted string, dword:, hex: nor hex(N):");
      return;
    }
    // Hex data goes on over lines that end in a backslash (blanks and a comment may follow
    // it); blank and comment lines between them are passed over. A key line there ends the
    // value unfinished: the value is left out and the key line read as such.
    data = BeforeComment(data.substr(colon + 1));
    while (!data.empty() && data.back() == '\\' && i_ + 1 < lines_.size()) {
      data.pop_back();
      data = TrimRight(data);
      const std::string next = TrimRight(TrimLeft(lines_[i_ + 1]));
      if (!next.empty() && next[0] == '[') {
        Problem(number, "the hex data goes on to a key line");
        return;
      }
      ++i_;
      if (next.empty() || next[0] == ';' || next[0] == '#') {
        data += '\\';
        continue;
      }
      data += BeforeComment(next);
    }
    if (!HexBytes(data, e.data)) {
      Problem(number, "hex data must be bytes of two hex digits separated by commas");
      return;
    }
    // A "Version 5.00" file holds the strings of string types in UTF-16LE.
    if (unicode_ && (e.type == 1 || e.type == 2 || e.type == 7)) e.data = AnsiFromUtf16(e.data);
    entries_.push_back(e);
  }

  std::vector<std::string> lines_;
  bool unicode_;
  std::vector<RegEntry>& entries_;
  std::size_t i_ = 0;
};

}  // namespace

bool ParseRegFile(const std::string& bytes, std::vector<RegEntry>& entries, std::string& error) {
  std::string text = bytes;
  bool utf8Mark = false;
  if (text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE') {
    text = AnsiFromUtf16(text.substr(2));
  } else if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
    text = text.substr(3);
    utf8Mark = true;
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  // Blanks may come before the header, but not after it: "REGEDIT4 " is another header.
  std::string header = TrimLeft(lines[0]);
  if (!header.empty() && header.back() == '\r') header.pop_back();
  const bool v5 = header == kV5;
  if (header != kV4 && !v5) {
    if (header.rfind("REGEDIT", 0) == 0) return true;  // another version: nothing to import
    error = std::string("it is not a registry file: its first line is neither \"") + kV4 +
            "\" nor \"" + kV5 + "\"";
    return false;
  }
  if (utf8Mark)
    for (std::string& l : lines) l = AnsiFromUtf8(l);
  Reader(std::move(lines), v5, entries).Run();
  return true;
}

}  // namespace qreg
