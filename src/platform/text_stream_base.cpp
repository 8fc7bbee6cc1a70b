#include "platform/text_stream_base.h"

BufferedTextStream::BufferedTextStream(Kind kind, std::string content)
    : kind_(kind), buffer_(std::move(content)) {}

void BufferedTextStream::WriteLine(const std::string& text) {
  Write(text + "\r\n");
}

void BufferedTextStream::Write(const std::string& text) {
  if (closed_ || kind_ != Kind::Writer) throw FsoError(fso_error::kBadFileMode);
  buffer_ += text;
  if (buffer_.size() >= kFlushAt) Flush();
}

std::string BufferedTextStream::ReadLine() {
  if (closed_ || kind_ != Kind::Reader) throw FsoError(fso_error::kBadFileMode);
  if (readPos_ >= buffer_.size()) throw FsoError(fso_error::kInputPastEnd);
  std::size_t end = buffer_.find('\n', readPos_);
  std::string line;
  if (end == std::string::npos) {
    line = buffer_.substr(readPos_);
    readPos_ = buffer_.size();
  } else {
    line = buffer_.substr(readPos_, end - readPos_);
    readPos_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return line;
}

bool BufferedTextStream::AtEndOfStream() {
  if (closed_ || kind_ != Kind::Reader) throw FsoError(fso_error::kBadFileMode);
  return readPos_ >= buffer_.size();
}

void BufferedTextStream::Flush() {
  if (kind_ != Kind::Writer || buffer_.empty()) return;
  std::string block;
  block.swap(buffer_);
  WriteBlock(block);  // a failed block is lost; the caller hears of it once
}

void BufferedTextStream::Close() {
  if (closed_) return;
  closed_ = true;
  try {
    Flush();
  } catch (...) {
    Release();
    throw;
  }
  Release();
}

void BufferedTextStream::CloseQuietly() noexcept {
  try {
    Close();
  } catch (...) {
  }
}
