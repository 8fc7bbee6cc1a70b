#pragma once
// What both builds' text streams share: lines buffered in memory and handed to the file in
// whole blocks (so concurrent appenders never tear a line), and reading from a file
// loaded whole.
#include <chrono>
#include <cstddef>
#include <string>

#include "platform/files.h"

// How long an appender waits for the file's lock. Another run holds it only while it writes
// one block; a lock held longer is held by something else, and the block is not written
// (70), rather than the run waiting for ever.
inline constexpr std::chrono::milliseconds kAppendLockWait{1000};

class BufferedTextStream : public TextStream {
 public:
  enum class Kind { Reader, Writer };
  ~BufferedTextStream() override = default;
  void WriteLine(const std::string& text) override;
  void Write(const std::string& text) override;
  std::string ReadLine() override;
  bool AtEndOfStream() override;
  void Close() override;

 protected:
  // A reader takes the file's whole content; a writer starts empty.
  BufferedTextStream(Kind kind, std::string content);
  // Writes the whole block to the file (one append for appending streams); throws
  // RuntimeError on failure.
  virtual void WriteBlock(const std::string& block) = 0;
  // Releases the file handle; never throws.
  virtual void Release() = 0;
  // Derived destructors call this: closes quietly.
  void CloseQuietly() noexcept;

 private:
  void Flush();
  static constexpr std::size_t kFlushAt = std::size_t{64} * 1024;
  Kind kind_;
  std::string buffer_;
  std::size_t readPos_ = 0;
  bool closed_ = false;
};
