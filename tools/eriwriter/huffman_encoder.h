#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "eri/core/huffman_tree.h"
#include "eriwriter/bit_writer.h"

namespace eriwriter {

// Adaptive Huffman coding with the decoder's own model: 257 trees (tree t is
// the context after value or byte t, tree 256 the run tree), updated exactly
// as the decoder updates them after every symbol.
class HuffmanEncoder {
  public:
    HuffmanEncoder();

    // A logical sequence of signed 8-bit values as decodeHuffmanValues reads
    // it, over any split into calls. Zero runs are coded whole.
    void encodeValues(BitWriter& out, std::span<const std::int32_t> values);
    // One row as decodeHuffmanBytes reads it.
    void encodeBytes(BitWriter& out, std::span<const std::uint8_t> row);

    // One symbol of a byte-coded tree (escape: 8 raw bits), as decodeHuffmanSymbol reads it.
    static void encodeSymbol(BitWriter& out, eri::HuffmanTree& tree, std::uint32_t symbol);
    // One run length (below 0x7FFFFFFF) of a gamma-coded run tree.
    static void encodeRun(BitWriter& out, eri::HuffmanTree& tree, std::uint32_t length);

    eri::HuffmanTree& tree(int index) { return trees_[index]; }

  private:
    std::vector<eri::HuffmanTree> trees_;
    int valueTree_ = 0;
};

}  // namespace eriwriter
