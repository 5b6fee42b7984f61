// Adaptive frequency model of the arithmetic code: a total, then one 32-bit
// entry per symbol (count in the low half, signed symbol in the high half),
// kept in non-increasing order of count.
#pragma once

#include <cstdint>

namespace eri {

constexpr std::uint32_t kModelTotalLimit = 0x10000;

class FrequencyModel {
  public:
    explicit FrequencyModel(std::uint32_t* words) : words_(words) {}

    // 2^b entries of count 1; entry i holds i read as a signed b-bit number.
    void initialize(int b) {
        const std::uint32_t n = std::uint32_t{1} << b;
        words_[0] = n;
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::int32_t symbol =
                i < n / 2 ? static_cast<std::int32_t>(i)
                          : static_cast<std::int32_t>(i) - static_cast<std::int32_t>(n);
            words_[1 + i] = makeEntry(1, symbol);
        }
    }

    std::uint32_t total() const { return words_[0]; }
    std::uint32_t count(std::uint32_t i) const { return words_[1 + i] & 0xFFFF; }
    std::int32_t symbol(std::uint32_t i) const {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(words_[1 + i] >> 16));
    }

    // Counts entry i once more, moves it in front of every entry whose count it
    // now reaches, and halves all counts when the total reaches 0x10000.
    // Returns the entry's symbol.
    std::int32_t update(std::uint32_t i, std::uint32_t n) {
        std::uint32_t* const entries = words_ + 1;
        const std::uint32_t entry = (entries[i] & 0xFFFF0000u) | ((entries[i] + 1) & 0xFFFF);
        const std::uint32_t newCount = entry & 0xFFFF;
        while (i > 0 && (entries[i - 1] & 0xFFFF) <= newCount) {
            entries[i] = entries[i - 1];
            --i;
        }
        entries[i] = entry;
        if (++words_[0] >= kModelTotalLimit) {
            std::uint32_t total = 0;
            for (std::uint32_t k = 0; k < n; ++k) {
                const std::uint32_t halved = ((entries[k] & 0xFFFF) + 1) / 2;
                entries[k] = (entries[k] & 0xFFFF0000u) | halved;
                total += halved;
            }
            words_[0] = total;
        }
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(entry >> 16));
    }

    // Counts entry i once more when it keeps its place and the total stays
    // below the limit: what update would do then, without its moves. False,
    // with nothing changed, otherwise.
    bool countInPlace(std::uint32_t i) {
        std::uint32_t* const entries = words_ + 1;
        const std::uint32_t newCount = (entries[i] & 0xFFFF) + 1;
        if ((i > 0 && (entries[i - 1] & 0xFFFF) <= newCount) || words_[0] + 1 >= kModelTotalLimit) {
            return false;
        }
        ++entries[i];
        ++words_[0];
        return true;
    }

    static std::uint32_t makeEntry(std::uint32_t count, std::int32_t symbol) {
        return (static_cast<std::uint32_t>(symbol) << 16) | (count & 0xFFFF);
    }

  private:
    std::uint32_t* words_;
};

}  // namespace eri
