#ifndef VASKREPORT_FUZZ_FUZZINPUT_H
#define VASKREPORT_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <string>

// Takes bytes off the front of a fuzz input for the choices of a case; what
// is left is the text under test.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() {
    if (!size_) return 0;
    --size_;
    return *data_++;
  }
  size_t Left() const { return size_; }
  // Everything left, with NUL bytes (which no line can hold) dropped.
  std::string Rest() {
    std::string s;
    for (size_t i = 0; i < size_; ++i)
      if (data_[i]) s += static_cast<char>(data_[i]);
    size_ = 0;
    return s;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

#endif
