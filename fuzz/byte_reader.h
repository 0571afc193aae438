// Reads a fuzzer's input as a stream of small numbers. Past the end every read gives 0, so a
// decoder never has to check lengths and a short input is simply a short program.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }

    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

    std::uint16_t Word() {
        const std::uint16_t low = Byte();
        const std::uint16_t high = Byte();
        return static_cast<std::uint16_t>(low | (high << 8));
    }

    // A whole number in low..high (inclusive), from one 16-bit word.
    int InRange(int low, int high) {
        const auto span = static_cast<unsigned>(high - low) + 1U;
        return low + static_cast<int>(Word() % span);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};
