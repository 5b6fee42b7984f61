// The decoders' fast view of the bit input: a bit offset into the refill
// buffer, read with 64-bit loads. It serves only bits that lie wholly inside
// the buffer; refills, the end of the data and anything long go through
// BitCursor, and the two hand the position over in both directions.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "eri/core/bit_cursor.h"

namespace eri::detail {

struct BitPosition {
    const std::uint8_t* start = nullptr;
    std::uint64_t offset = 0;
    // Offsets below this one have 8 buffered bytes from their byte on.
    std::uint64_t peekEnd = 0;
    std::uint32_t endByte = 0;

    // Bits peek() guarantees.
    static constexpr int kPeekBits = 57;

    // Takes over the cursor's place; false when the register does not hold the
    // tail of the buffered word before the cursor (only the cursor can go on).
    // Until it succeeds, nothing can be peeked.
    bool takeFrom(const BitCursor& cursor) {
        peekEnd = 0;
        windowBits = 0;
        const BitInput& input = cursor.input;
        start = input.buffer_.get();
        if (start == nullptr || input.bufferCursor_ == nullptr) {
            return false;
        }
        const auto cursorByte = static_cast<std::uint32_t>(input.bufferCursor_ - start);
        endByte = cursorByte + static_cast<std::uint32_t>(input.bytesLeft_);
        const int count = cursor.count;
        if (count == 0) {
            offset = std::uint64_t{cursorByte} * 8;
        } else if (count > 32 || cursorByte < 4 ||
                   wordAt(cursorByte - 4) << (32 - count) != cursor.reg) {
            return false;
        } else {
            offset = std::uint64_t{cursorByte} * 8 - static_cast<std::uint32_t>(count);
        }
        peekEnd = endByte >= 8 ? (std::uint64_t{endByte} - 7) * 8 : 0;
        return true;
    }

    // Gives the place back: the word holding the next bit is in the register,
    // or none when the next bit starts a word.
    void giveTo(BitCursor& cursor) const {
        const auto word = static_cast<std::uint32_t>(offset / 32);
        const int bit = static_cast<int>(offset % 32);
        std::uint32_t cursorByte = word * 4;
        if (bit == 0) {
            cursor.reg = 0;
            cursor.count = 0;
        } else {
            cursor.reg = wordAt(cursorByte) << bit;
            cursor.count = 32 - bit;
            cursorByte += 4;
        }
        cursor.input.bufferCursor_ = start + cursorByte;
        cursor.input.bytesLeft_ = static_cast<std::int32_t>(endByte - cursorByte);
    }

    [[gnu::always_inline]] bool canPeek() const { return offset < peekEnd; }

    // The next kPeekBits bits (and more) left-aligned; needs canPeek().
    [[gnu::always_inline]] std::uint64_t peek() const {
        std::uint64_t bits = 0;
        std::memcpy(&bits, start + offset / 8, 8);
        if constexpr (std::endian::native == std::endian::little) {
            bits = __builtin_bswap64(bits);
        }
        return bits << (offset % 8);
    }

    // The next bits kept in a register and loaded again only when fewer than
    // 32 are left: a code's bits then come without a load in the way.
    // Only skipWindow moves the position while the window is in use.
    [[gnu::always_inline]] bool fillWindow() {
        if (windowBits >= 32) {
            return true;
        }
        if (!canPeek()) {
            return false;
        }
        window = peek();
        windowBits = kPeekBits;
        return true;
    }

    [[gnu::always_inline]] void skipWindow(int n) {
        window <<= n;
        windowBits -= n;
        offset += static_cast<std::uint32_t>(n);
    }

    std::uint64_t window = 0;
    int windowBits = 0;

  private:
    std::uint32_t wordAt(std::uint32_t byte) const {
        std::uint32_t word = 0;
        std::memcpy(&word, start + byte, 4);
        if constexpr (std::endian::native == std::endian::little) {
            word = __builtin_bswap32(word);
        }
        return word;
    }
};

}  // namespace eri::detail
