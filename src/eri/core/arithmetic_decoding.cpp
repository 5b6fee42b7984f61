#include <bit>
#include <cstring>
#include <new>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"
#include "eri/core/frequency_model.h"
#include "eri/core/model_cache.h"
#include "eri/core/model_search.h"

namespace eri {
namespace {

constexpr std::uint32_t kHalfRange = 0x80000000u;
constexpr std::uint32_t kTargetLimit = 0x10000;
constexpr std::int32_t kPaddingBits = 128;

// The caches of the n models stand behind them, on their alignment.
std::size_t modelBlockWords(std::uint32_t n) {
    const std::size_t cacheBytes = sizeof(detail::ModelCache) * n + alignof(detail::ModelCache);
    return std::size_t{n} * (n + 1) + (cacheBytes + 3) / 4;
}

void* modelCacheStorage(std::uint32_t* models, std::uint32_t n) {
    const auto end = reinterpret_cast<std::uintptr_t>(models + std::size_t{n} * (n + 1));
    const std::uintptr_t aligned =
        (end + alignof(detail::ModelCache) - 1) & ~std::uintptr_t{alignof(detail::ModelCache) - 1};
    return reinterpret_cast<void*>(aligned);
}

detail::ModelCache* modelCaches(std::uint32_t* models, std::uint32_t n) {
    return std::launder(static_cast<detail::ModelCache*>(modelCacheStorage(models, n)));
}

}  // namespace

bool BitInput::initArithmetic(int b) {
    if (b < 1 || b > 8) {
        return false;
    }
    const std::uint32_t n = std::uint32_t{1} << b;
    models_.reset();
    models_ = allocateBlockOf<std::uint32_t>(modelBlockWords(n));
    if (!models_) {
        return false;
    }
    symbolBits = b;
    symbolCount = static_cast<std::int32_t>(n);
    contextMask = n - 1;
    FrequencyModel(models_.get()).initialize(b);
    for (std::uint32_t t = 1; t < n; ++t) {
        std::memcpy(frequencyModel(static_cast<int>(t)), models_.get(),
                    (n + 1) * sizeof(std::uint32_t));
    }
    auto* const storage = static_cast<detail::ModelCache*>(modelCacheStorage(models_.get(), n));
    for (std::uint32_t t = 0; t < n; ++t) {
        auto* const cache = new (storage + t) detail::ModelCache;
        cache->refresh(FrequencyModel(frequencyModel(static_cast<int>(t))), n);
    }
    currentModel = 0;

    // Past the end of the data, readBit's 1 enters the registers here; the
    // zero padding belongs to the decoding loop only.
    std::uint32_t code = 0;
    std::uint32_t lookahead = readBits(32);
    for (int i = 0; i <= 32; ++i) {
        if (lookahead == 0xFFFFFFFFu && (readBit() & 1) != 0) {
            lookahead = 0;
            ++code;
        }
        if (i == 32) {
            break;
        }
        code = (code << 1) | (lookahead >> 31);
        lookahead = (lookahead << 1) | static_cast<std::uint32_t>(readBit() & 1);
    }
    codeRegister = code;
    rangeRegister = 0xFFFFFFFFu;
    lookaheadRegister = lookahead;
    overrunCount = 0;
    decodeSymbols = &BitInput::decodeArithmeticSymbols;
    return true;
}

std::uint32_t BitInput::decodeArithmeticSymbols(std::int32_t* out, std::uint32_t count) {
    // After the second stream end the registers are mid-renormalisation: nothing more to decode.
    if (!models_ || overrunCount > 1) {
        return 0;
    }
    detail::BitCursor cursor(*this);
    std::uint32_t code = codeRegister;
    std::uint32_t range = rangeRegister;
    std::uint32_t lookahead = lookaheadRegister;
    const std::uint32_t n = static_cast<std::uint32_t>(symbolCount);
    // Locals, as stores to `out` could otherwise change them.
    std::uint32_t* const models = frequencyModel(0);
    const std::uint32_t mask = contextMask;
    std::uint32_t model = currentModel;
    std::uint32_t stored = 0;

    // Next stream bit; the first time the data runs dry 128 zero bits follow.
    auto takeBit = [&](std::uint32_t& bit) {
        if (cursor.count == 0 && !cursor.loadWord()) {
            if (overrunCount != 0) {
                overrunCount = 2;
                return false;
            }
            overrunCount = 1;
            cursor.reg = 0;
            cursor.count = kPaddingBits;
        }
        bit = cursor.reg >> 31;
        cursor.reg <<= 1;
        --cursor.count;
        return true;
    };

    // One doubling step at a time, for when the window runs short or the
    // lookahead may turn all ones; false when the data has run dry.
    auto renormaliseBitwise = [&] {
        while (range < kHalfRange) {
            const int k = std::countl_zero(range);
            if (cursor.count >= k && (~lookahead & (0xFFFFFFFFu >> k)) != 0) {
                const std::uint32_t bits = cursor.reg >> (32 - k);
                cursor.reg <<= k;
                cursor.count -= k;
                code = (code << k) | (lookahead >> (32 - k));
                lookahead = (lookahead << k) | bits;
                range <<= k;
                break;
            }
            std::uint32_t bit = 0;
            if (!takeBit(bit)) {
                return false;
            }
            code = (code << 1) | (lookahead >> 31);
            lookahead = (lookahead << 1) | bit;
            if (lookahead == 0xFFFFFFFFu) {
                if (!takeBit(bit)) {
                    return false;
                }
                if (bit != 0) {
                    lookahead = 0;
                    ++code;
                }
            }
            range <<= 1;
        }
        return true;
    };

    // The stream bits after the lookahead, left-aligned: the register's, then
    // at most one word taken from the buffer ahead of need, so that
    // renormalising finds its bits without a branch. Past the end of the data,
    // the register's padding zeros (more than 64 of them at first).
    std::uint64_t window = std::uint64_t{cursor.reg} << 32;
    int available = cursor.count;
    // The window ends in a word none of whose bits has been taken yet: the
    // register would not have loaded it.
    bool ahead = false;
    const std::uint8_t* nextWord = bufferCursor_;
    std::int32_t bytesLeft = bytesLeft_;
    // Back to the register alone, giving back a word taken ahead.
    auto toCursor = [&] {
        if (ahead) {
            ahead = false;
            nextWord -= 4;
            bytesLeft += 4;
            available -= 32;
            window &= ~(~std::uint64_t{0} >> available);
        }
        bufferCursor_ = nextWord;
        bytesLeft_ = bytesLeft;
        cursor.reg = static_cast<std::uint32_t>(window >> 32);
        cursor.count = available;
    };
    auto fromCursor = [&] {
        ahead = false;
        window = std::uint64_t{cursor.reg} << 32;
        available = cursor.count;
        nextWord = bufferCursor_;
        bytesLeft = bytesLeft_;
    };

    detail::ModelCache* const caches = modelCaches(models, n);
    detail::SearchRests search;
    while (stored < count) {
        std::uint32_t* const words = models + std::size_t{model} * (n + 1);
        const std::uint32_t* const entries = words + 1;
        detail::ModelCache& cache = caches[model];
        const std::uint32_t total = words[0];
        const std::uint64_t codeTotal = std::uint64_t{code} * total;
        std::uint32_t i =
            detail::searchRunningCounts(cache.runningCounts, range, codeTotal, search);
        // code x total - range x (the counts before entry i), and range x its count.
        std::uint64_t rest = 0;
        std::uint64_t rangeCount = 0;
        if (i < detail::kSearchedEntries) {
            rest = search.rests[1 + i];
            rangeCount = rest - search.rests[2 + i];
        } else {
            // target = codeTotal / range, at most 0xFFFF.
            if (n <= detail::kSearchedEntries || codeTotal >= std::uint64_t{range} * kTargetLimit) {
                break;
            }
            const auto target = static_cast<std::uint32_t>(codeTotal / range);
            auto before = static_cast<std::uint32_t>(cache.runningCounts[i - 1]);
            while (i < n && target - before >= (entries[i] & 0xFFFF)) {
                before += entries[i] & 0xFFFF;
                ++i;
            }
            if (i == n) {
                break;
            }
            rest = codeTotal - std::uint64_t{range} * before;
            rangeCount = std::uint64_t{range} * (entries[i] & 0xFFFF);
        }
        // code - ceil(range x before / total) = floor(rest / total).
        const detail::TotalDivider divider(cache.reciprocal);
        code = static_cast<std::uint32_t>(divider.floorOf(rest));
        range = static_cast<std::uint32_t>(divider.floorOf(rangeCount));
        // All k doubling steps at once, when the window holds their bits and
        // the lookahead cannot turn all ones on the way: that needs its low
        // 32 - k bits to be ones already.
        const int k = std::countl_zero(range);
        if (available >= k && (~lookahead & (0xFFFFFFFFu >> k)) != 0) {
            code = static_cast<std::uint32_t>(((std::uint64_t{code} << 32 | lookahead) << k) >> 32);
            lookahead = static_cast<std::uint32_t>(
                ((std::uint64_t{lookahead} << 32 | window >> 32) << k) >> 32);
            window <<= k;
            available -= k;
            ahead = ahead && available >= 32;
            range <<= k;
        } else {
            toCursor();
            const bool dry = !renormaliseBitwise();
            fromCursor();
            if (dry) {
                break;
            }
        }
        // A word more whenever the window runs below 32 bits, without a branch.
        if (bytesLeft >= 4) {
            std::uint32_t word = 0;
            std::memcpy(&word, nextWord, 4);
            if constexpr (std::endian::native == std::endian::little) {
                word = __builtin_bswap32(word);
            }
            const bool refill = available < 32;
            ahead = ahead || refill;
            const std::uint64_t take = refill ? ~std::uint64_t{0} : 0;
            window |= (std::uint64_t{word} << ((32 - available) & 63)) & take;
            nextWord += 4 & take;
            bytesLeft -= static_cast<std::int32_t>(4 & take);
            available += static_cast<int>(32 & take);
        }
        FrequencyModel frequencies(words);
        const std::int32_t symbol = frequencies.symbol(i);
        if (frequencies.countInPlace(i)) {
            cache.countInPlace(i, frequencies.total());
        } else {
            frequencies.update(i, n);
            cache.refresh(frequencies, n);
        }
        out[stored++] = symbol;
        model = static_cast<std::uint32_t>(symbol) & mask;
    }
    currentModel = model;
    codeRegister = code;
    rangeRegister = range;
    lookaheadRegister = lookahead;
    toCursor();
    cursor.save();
    return stored;
}

}  // namespace eri
