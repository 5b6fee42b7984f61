#include <bit>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"
#include "eri/core/frequency_model.h"
#include "eri/core/model_search.h"

namespace eri {
namespace {

constexpr std::uint32_t kHalfRange = 0x80000000u;
constexpr std::uint32_t kTargetLimit = 0x10000;
constexpr std::int32_t kPaddingBits = 128;

// The reciprocal of each model's total stands behind the models: worked out
// when the total changes, its division is off the path from one symbol to
// the next.
std::uint64_t loadReciprocal(const std::uint32_t* models, std::uint32_t n, std::uint32_t t) {
    std::uint64_t reciprocal = 0;
    std::memcpy(&reciprocal, models + std::size_t{n} * (n + 1) + 2 * std::size_t{t}, 8);
    return reciprocal;
}

void storeReciprocal(std::uint32_t* models, std::uint32_t n, std::uint32_t t,
                     std::uint64_t reciprocal) {
    std::memcpy(models + std::size_t{n} * (n + 1) + 2 * std::size_t{t}, &reciprocal, 8);
}

}  // namespace

bool BitInput::initArithmetic(int b) {
    if (b < 1 || b > 8) {
        return false;
    }
    const std::uint32_t n = std::uint32_t{1} << b;
    models_.reset();
    // The models, then the 64-bit reciprocal of each model's total.
    models_ = allocateBlockOf<std::uint32_t>(std::size_t{n} * (n + 1) + 2 * std::size_t{n});
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
    const std::uint64_t reciprocal = detail::TotalDivider::reciprocalOf(n);
    for (std::uint32_t t = 0; t < n; ++t) {
        storeReciprocal(models_.get(), n, t, reciprocal);
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

    while (stored < count) {
        std::uint32_t* const words = models + std::size_t{model} * (n + 1);
        const std::uint32_t* const entries = words + 1;
        const std::uint32_t total = words[0];
        const detail::TotalDivider divider(total, loadReciprocal(models, n, model));
        const std::uint64_t codeTimesTotal = std::uint64_t{code} * total;
        // target = codeTimesTotal / range, at most 0xFFFF.
        if (codeTimesTotal >= std::uint64_t{range} * kTargetLimit) {
            break;
        }
        std::uint32_t cumulative = 0;
        const std::uint32_t i = detail::findEntry(
            entries, n, static_cast<std::uint32_t>(codeTimesTotal / range), cumulative);
        if (i == n) {
            break;
        }
        const std::uint32_t frequency = entries[i] & 0xFFFF;
        code -= static_cast<std::uint32_t>(divider.ceilingOf(std::uint64_t{range} * cumulative));
        range = static_cast<std::uint32_t>(divider.floorOf(std::uint64_t{range} * frequency));
        bool dry = false;
        while (range < kHalfRange) {
            // All k doubling steps at once, when the register holds their bits
            // and the lookahead cannot turn all ones on the way: that needs its
            // low 32 - k bits to be ones already.
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
                dry = true;
                break;
            }
            code = (code << 1) | (lookahead >> 31);
            lookahead = (lookahead << 1) | bit;
            if (lookahead == 0xFFFFFFFFu) {
                if (!takeBit(bit)) {
                    dry = true;
                    break;
                }
                if (bit != 0) {
                    lookahead = 0;
                    ++code;
                }
            }
            range <<= 1;
        }
        if (dry) {
            break;
        }
        const std::int32_t symbol = FrequencyModel(words).update(i, n);
        storeReciprocal(models, n, model, detail::TotalDivider::reciprocalOf(words[0]));
        out[stored++] = symbol;
        model = static_cast<std::uint32_t>(symbol) & mask;
    }
    currentModel = model;
    codeRegister = code;
    rangeRegister = range;
    lookaheadRegister = lookahead;
    cursor.save();
    return stored;
}

}  // namespace eri
