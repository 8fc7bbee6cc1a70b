#pragma once
// Reads a fuzzer's input as a stream of small decisions; past the end every read gives 0,
// so any input, however short, is a complete program of operations.
#include <cstddef>
#include <cstdint>
#include <string>

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A number in [0, n).
  std::uint32_t Below(std::uint32_t n) { return n ? Byte() % n : 0; }
  std::uint32_t Word() {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w = w << 8 | Byte();
    return w;
  }
  // Up to maxLength raw bytes.
  std::string Bytes(std::size_t maxLength) {
    std::string s;
    const std::size_t n = Below(static_cast<std::uint32_t>(maxLength + 1));
    for (std::size_t i = 0; i < n && !Empty(); ++i) s += static_cast<char>(Byte());
    return s;
  }
  // Up to maxLength characters drawn from alphabet.
  std::string From(const std::string& alphabet, std::size_t maxLength, std::size_t minLength = 0) {
    std::string s;
    const std::size_t n = minLength + Below(static_cast<std::uint32_t>(maxLength - minLength + 1));
    for (std::size_t i = 0; i < n; ++i)
      s += alphabet[Below(static_cast<std::uint32_t>(alphabet.size()))];
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};
