#include "fakes/fake_platform.h"

#include "platform/files.h"

FakeRun::FakeRun() : ctx(fake.View()) {
  OpenLog();
}

FakeRun::FakeRun(Window& window) : ctx(fake.View(window)) {
  OpenLog();
}

FakeRun::FakeRun(Wmi& wmi) : ctx(fake.View(fake.window, &wmi)) {
  OpenLog();
}

void FakeRun::OpenLog() {
  ctx.LogStream = fake.files.CreateTextFile(kLogPath, true);
}

std::vector<std::string> FakeRun::LogLines() {
  // Lines reach the file when the stream writes its buffer out; close and reopen to read.
  if (ctx.LogStream) {
    ctx.LogStream->Close();
    ctx.LogStream = fake.files.OpenTextFile(kLogPath, IOMode::ForAppending, false);
  }
  return SplitLogLines(fake.files.Content(kLogPath));
}

std::vector<std::string> FakeRun::LogMessages() {
  LogLines();  // writes the buffer out
  return LogMessagesIn(fake.files.Content(kLogPath));
}

std::vector<std::string> SplitLogLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(content.substr(pos));
      break;
    }
    lines.push_back(content.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::vector<std::string> LogMessagesIn(const std::string& content) {
  std::vector<std::string> out;
  for (const auto& line : SplitLogLines(content)) {
    const std::size_t tab = line.find('\t');
    out.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
  }
  return out;
}
