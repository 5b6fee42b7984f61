// Size arithmetic for quantities taken from files. Every step is checked: a
// result outside 0 .. 2^32 - 1 makes the value invalid, and an invalid value
// stays invalid through every later step, so a chain of products and sums
// needs one test at its end.
#pragma once

#include <cstdint>
#include <optional>

namespace eri {

class CheckedSize {
  public:
    constexpr CheckedSize() = default;
    constexpr CheckedSize(std::uint64_t value)  // NOLINT: implicit from plain numbers
        : value_(value), valid_(value <= kLimit) {}

    static constexpr CheckedSize invalid() { return CheckedSize(kLimit + 1); }

    constexpr bool valid() const { return valid_; }
    // Valid and at most 2^31 - 1, for the int32 fields of the decoder.
    constexpr bool fitsInt32() const { return valid_ && value_ <= 0x7FFFFFFF; }
    // The value; 0 when invalid.
    constexpr std::uint32_t value() const {
        return valid_ ? static_cast<std::uint32_t>(value_) : 0;
    }

    friend constexpr CheckedSize operator+(CheckedSize a, CheckedSize b) {
        return a.valid_ && b.valid_ ? CheckedSize(a.value_ + b.value_) : invalid();
    }
    friend constexpr CheckedSize operator*(CheckedSize a, CheckedSize b) {
        // Both factors are below 2^32, so the 64-bit product cannot wrap.
        return a.valid_ && b.valid_ ? CheckedSize(a.value_ * b.value_) : invalid();
    }
    // Shift left by 0..31 places.
    constexpr CheckedSize shiftedLeft(unsigned places) const {
        return valid_ && places < 32 ? CheckedSize(value_ << places) : invalid();
    }
    // Number of 2^places-wide pieces that cover the value (rounded up); places 0..31.
    constexpr CheckedSize piecesOf(unsigned places) const {
        return valid_ && places < 32
                   ? CheckedSize((value_ + (std::uint64_t{1} << places) - 1) >> places)
                   : invalid();
    }

  private:
    static constexpr std::uint64_t kLimit = 0xFFFFFFFFu;
    std::uint64_t value_ = 0;
    bool valid_ = true;
};

// The largest picture the ERI side decodes: 2^30 pixels, so 32768 x 32768 is
// accepted (memory permitting) and a file of a few bytes cannot ask for more.
// The bound is applied before anything is allocated.
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 30;

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;  // absolute
};

// Width and absolute height of a stored picture: both at least 1 (a height
// of -2^31 has no absolute value and is refused) and at most
// kMaxPicturePixels pixels in all.
constexpr std::optional<PictureSize> checkedPictureSize(std::int32_t width, std::int32_t height) {
    if (width < 1 || height == 0 || height == INT32_MIN) {
        return std::nullopt;
    }
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height < 0 ? -height : height);
    if (std::uint64_t{w} * h > kMaxPicturePixels) {
        return std::nullopt;
    }
    return PictureSize{w, h};
}

}  // namespace eri
