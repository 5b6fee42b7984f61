#include "eri/core/bit_input.h"

#include <cstring>

#include "eri/core/bit_cursor.h"

namespace eri {

BitInput::BitInput(std::uint32_t capacity) {
    const std::uint64_t rounded = (std::uint64_t{capacity} + 3) & ~std::uint64_t{3};
    if (rounded == 0 || rounded > 0x7FFFFFFC) {
        return;
    }
    bufferCapacity_ = static_cast<std::uint32_t>(rounded);
    buffer_ = allocateBlockOf<std::uint8_t>(bufferCapacity_);
}

BitInput::~BitInput() = default;

bool BitInput::fillBuffer() {
    // Past the end every refill attempt would ask the stream again, once per
    // bit read: remember the end instead.
    if (!buffer_ || streamEnded_) {
        return false;
    }
    bufferCursor_ = buffer_.get();
    std::uint32_t delivered = read(buffer_.get(), bufferCapacity_);
    if (delivered == 0) {
        streamEnded_ = true;
        return false;
    }
    if (delivered > bufferCapacity_) {
        delivered = bufferCapacity_;
    }
    // The last word of a short refill ends in zero bits.
    const std::uint32_t padding = (4 - delivered % 4) % 4;
    std::memset(buffer_.get() + delivered, 0, padding);
    bytesLeft_ = static_cast<std::int32_t>(delivered + padding);
    return true;
}

void BitInput::resetBits() {
    bitCount = 0;
    bytesLeft_ = 0;
}

std::int32_t BitInput::readBit() {
    detail::BitCursor cursor(*this);
    const int bit = cursor.takeBit();
    if (bit < 0) {
        return 1;
    }
    cursor.save();
    return bit == 0 ? 0 : -1;
}

std::uint32_t BitInput::readBits(int n) {
    if (n <= 0) {
        return 0;
    }
    detail::BitCursor cursor(*this);
    std::uint32_t value = 0;
    if (!cursor.takeBits(n > 32 ? 32 : n, value)) {
        return 0;
    }
    cursor.save();
    return value;
}

std::optional<std::uint32_t> BitInput::tryReadBits(int n) {
    if (n <= 0 || n > 32) {
        return std::nullopt;
    }
    detail::BitCursor cursor(*this);
    std::uint32_t value = 0;
    if (!cursor.takeBits(n, value)) {
        return std::nullopt;
    }
    cursor.save();
    return value;
}

std::int64_t BitInput::readGamma() {
    detail::BitCursor cursor(*this);
    std::uint32_t value = 0;
    if (!cursor.takeGamma(value)) {
        return kGammaEnd;
    }
    cursor.save();
    return value;
}

bool BitInput::hasData() {
    detail::BitCursor cursor(*this);
    if (cursor.count == 0 && !cursor.loadWord()) {
        return false;
    }
    cursor.save();
    return true;
}

void BitInput::startRunCodes() {
    runIsNonZero = readBit();
    runLength = 0;
}

}  // namespace eri
