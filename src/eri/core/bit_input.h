// Bit reader over the compressed frame: a left-aligned 32-bit register fed
// with big-endian words, the gamma codes built on it and the entropy decoders
// (gamma runs, move-to-front bytes, adaptive Huffman, arithmetic) with their
// model tables.
#pragma once

#include <cstdint>
#include <optional>

#include "eri/core/block_allocator.h"
#include "eri/core/huffman_prefix_table.h"
#include "eri/core/huffman_tree.h"

namespace eri {

namespace detail {
struct BitCursor;
struct BitPosition;
class TreeDecoder;
}  // namespace detail

// readGamma's result when the data ended or the code is damaged; every value
// the code can carry (1 .. 2^32 - 1) stays apart from it.
constexpr std::int64_t kGammaEnd = -1;

// Result of decodeHuffmanSymbol at the end of the data.
constexpr std::uint32_t kHuffmanEnd = kEscapeSymbol;

class BitInput {
  public:
    // `capacity` bytes per refill, rounded up to a multiple of 4.
    explicit BitInput(std::uint32_t capacity);
    virtual ~BitInput();
    BitInput(const BitInput&) = delete;
    BitInput& operator=(const BitInput&) = delete;

    // False when the refill buffer could not be allocated; such an input delivers no data.
    bool isReady() const { return buffer_ != nullptr; }

    void resetBits();
    // 0 for a 0 bit, -1 for a 1 bit, 1 at the end of the data.
    std::int32_t readBit();
    // The next n (0..32) bits, first bit most significant; 0 at the end of the
    // data, with the register left as it was.
    std::uint32_t readBits(int n);
    // Interleaved gamma code: 1 .. 2^32 - 1, or kGammaEnd at the end of the data
    // or for a code of 32 or more data bits.
    std::int64_t readGamma();
    // The next n (1..32) bits, or nothing when fewer are left: unlike
    // readBits, a value of 0 cannot be mistaken for the end of the data.
    std::optional<std::uint32_t> tryReadBits(int n);
    // False when no bit is left; loads the next word if the register is empty.
    bool hasData();
    // True once the stream has delivered its last byte; it is not asked again.
    bool streamEnded() const { return streamEnded_; }

    void startRunCodes();
    std::uint32_t decodeGammaRuns(std::int32_t* out, std::uint32_t count);

    // A macroblock's leading codes, as startRunCodes, decodeGammaRuns(dc,
    // dcCount) and codeCount decodeHuffmanSymbol(codeTree) read them one
    // after another, with one hand-over of the bit position for all: false
    // when any of them would fall short.
    bool decodeMacroblockHead(std::int32_t* dc, std::uint32_t dcCount, HuffmanTree& codeTree,
                              std::uint8_t* codes, std::uint32_t codeCount);

    bool initMoveToFront();
    std::uint32_t decodeMtfBytes(std::uint8_t* out, std::uint32_t count);

    bool initHuffmanTrees();
    // One symbol of `tree`, escapes read as 8 raw bits; kHuffmanEnd at the end of the data.
    std::uint32_t decodeHuffmanSymbol(HuffmanTree& tree);
    std::uint32_t decodeHuffmanValues(std::int32_t* out, std::uint32_t count);
    std::uint32_t decodeHuffmanBytes(std::uint8_t* out, std::uint32_t count);
    // Tree 0..255 (after that value or byte) or 256 (run lengths).
    // The caller may change the tree, so its prefix table is rebuilt before the next use.
    HuffmanTree* huffmanTree(int index) {
        if (!trees_) {
            return nullptr;
        }
        HuffmanTree& tree = readyTree(index);
        treeStates_[index] = kTableStale;
        return &tree;
    }
    // The tree of the next value, for inspection: changes go through huffmanTree().
    const HuffmanTree* valueTree() const { return valueTree_; }
    // Inspection without side effects: tree `index` (null before its first
    // use) and its prefix table (null unless current).
    const HuffmanTree* usedTree(int index) const {
        return trees_ && treeStates_[index] != kTreeUnset ? trees_.get() + index : nullptr;
    }
    const PrefixTable* currentPrefixTable(int index) const {
        return trees_ && treeStates_[index] == kTableReady ? prefixTables_.get() + index : nullptr;
    }

    // b in 1..8; false for any other width or when the models cannot be allocated.
    bool initArithmetic(int b);
    std::uint32_t decodeArithmeticSymbols(std::int32_t* out, std::uint32_t count);
    // Model t (0 .. 2^b - 1): the total, then 2^b entry words. For reading:
    // the decoder keeps a cache of each model (reciprocal, running counts) beside them.
    std::uint32_t* frequencyModel(int t) const {
        return models_ ? models_.get() + static_cast<std::size_t>(t) * (symbolCount + 1) : nullptr;
    }

    // The block-value decoder in use: decodeGammaRuns until initArithmetic.
    using SymbolDecoder = std::uint32_t (BitInput::*)(std::int32_t*, std::uint32_t);
    SymbolDecoder decodeSymbols = &BitInput::decodeGammaRuns;
    std::uint32_t runDecodeSymbols(std::int32_t* out, std::uint32_t count) {
        return (this->*decodeSymbols)(out, count);
    }

    // Gamma runs: kind of the current run (0 zeros, else values).
    std::int32_t runIsNonZero = 0;
    // Values left in the current gamma run, or zeros still owed by decodeHuffmanValues.
    std::uint32_t runLength = 0;
    std::int32_t bitCount = 0;
    std::uint32_t bitRegister = 0;

    std::uint32_t codeRegister = 0;
    std::uint32_t rangeRegister = 0;
    std::uint32_t lookaheadRegister = 0;
    std::uint32_t overrunCount = 0;
    std::int32_t symbolBits = 0;
    std::int32_t symbolCount = 0;
    std::uint32_t contextMask = 0;
    std::uint32_t currentModel = 0;

  protected:
    // Delivers up to `count` bytes of the compressed stream; 0 when no more data.
    virtual std::uint32_t read(std::uint8_t* buffer, std::uint32_t count) = 0;

  private:
    friend struct detail::BitCursor;
    friend struct detail::BitPosition;
    friend class detail::TreeDecoder;

    // Refills the byte buffer; false when the stream has ended.
    bool fillBuffer();

    std::uint32_t bufferCapacity_ = 0;
    std::int32_t bytesLeft_ = 0;
    bool streamEnded_ = false;
    BlockPtr<std::uint8_t> buffer_;
    const std::uint8_t* bufferCursor_ = nullptr;
    BlockPtr<std::uint8_t> mtfTables_;
    // Trees are set up when first used: a picture uses few of the 257, and
    // touching all of them costs more than decoding a small one. Each has a
    // prefix table, rebuilt when the tree's shape has changed.
    enum TreeState : std::uint8_t { kTreeUnset, kTableStale, kTableReady };
    HuffmanTree& readyTree(int index) {
        if (treeStates_[index] == kTreeUnset) {
            trees_.get()[index].initializeTree();
            treeStates_[index] = kTableStale;
        }
        return trees_.get()[index];
    }

    BlockPtr<HuffmanTree> trees_;
    BlockPtr<PrefixTable> prefixTables_;
    TreeState treeStates_[257] = {};
    HuffmanTree* valueTree_ = nullptr;
    BlockPtr<std::uint32_t> models_;
};

}  // namespace eri
