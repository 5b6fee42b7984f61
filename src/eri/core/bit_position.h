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
    // The bit offset of the window's first bit when it was loaded: the next
    // bit is at windowBase + kPeekBits - windowBits. Only loads move it, so
    // that taking bits costs no more than the window's shift and count.
    std::uint64_t windowBase = 0;
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
        std::uint64_t offset = 0;
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
        // An empty window as if all of it had been taken (the sum wraps back).
        windowBase = offset - kPeekBits;
        return true;
    }

    // Gives the place back: the word holding the next bit is in the register,
    // or none when the next bit starts a word.
    void giveTo(BitCursor& cursor) const {
        const std::uint64_t offset = nextBit();
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

    [[gnu::always_inline]] std::uint64_t nextBit() const {
        return windowBase + kPeekBits - static_cast<std::uint64_t>(windowBits);
    }

    // The next bits kept in a register and loaded again only when fewer than
    // 32 are left: a code's bits then come without a load in the way.
    // Only skipWindow moves the position while the window is in use.
    [[gnu::always_inline]] bool fillWindow() {
        if (windowBits >= 32) {
            return true;
        }
        const std::uint64_t offset = nextBit();
        if (offset >= peekEnd) {
            return false;
        }
        // The next kPeekBits bits (and more), left-aligned.
        std::uint64_t bits = 0;
        std::memcpy(&bits, start + offset / 8, 8);
        if constexpr (std::endian::native == std::endian::little) {
            bits = __builtin_bswap64(bits);
        }
        window = bits << (offset % 8);
        windowBase = offset;
        windowBits = kPeekBits;
        return true;
    }

    [[gnu::always_inline]] void skipWindow(int n) {
        window <<= n;
        windowBits -= n;
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

// A bit cursor and a buffer position on the same input. The position serves
// while it can; for everything else the place goes over to the cursor and
// comes back once the cursor has moved.
struct CursorAndPosition {
    BitCursor cursor;
    BitPosition position;
    bool onPosition = false;

    explicit CursorAndPosition(BitInput& input) : cursor(input) { fromCursor(); }

    void toCursor() {
        if (onPosition) {
            position.giveTo(cursor);
        }
    }

    void fromCursor() { onPosition = position.takeFrom(cursor); }

    // Writes the place back to the BitInput.
    void save() {
        toCursor();
        cursor.save();
    }

    // `take` on the cursor, from the position's place and back.
    template <typename Take>
    bool onCursor(Take take) {
        toCursor();
        const bool taken = take(cursor);
        fromCursor();
        return taken;
    }
};

}  // namespace eri::detail
