#include <algorithm>
#include <cstring>
#include <functional>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"
#include "eri/core/bit_position.h"
#include "eri/core/huffman_walk.h"

namespace eri {
namespace {

constexpr int kTreeCount = 257;
constexpr int kRunTree = 256;

using detail::decodeFromTree;
using detail::ReadRawByte;
using detail::ReadRawRun;

}  // namespace

namespace detail {

// The positions within a prefix table's reach to or from which an internal
// node moved during one update of its tree: the table's entries below them
// are filled anew afterwards. Past kMostPositions the table is rebuilt instead.
class TableRepair {
  public:
    explicit TableRepair(const HuffmanTree& tree) : tree_(tree) {}

    // The hook of updateWeights and addSymbol.
    void operator()(int a, int b) {
        note(a);
        if (b != a) {
            note(b);
        }
    }

    bool needsRebuild() const { return rebuild_; }

    void apply(PrefixTable& table) const {
        for (int i = 0; i < count_; ++i) {
            table.refillBelow(tree_, positions_[i]);
        }
    }

  private:
    static constexpr int kMostPositions = 8;

    void note(int node) {
        if (rebuild_ || !isAboveTableReach(node)) {
            return;
        }
        if (count_ == kMostPositions) {
            rebuild_ = true;
            return;
        }
        positions_[count_++] = node;
    }

    // Whether the node's children are within the table's kPrefixBits levels.
    bool isAboveTableReach(int node) const {
        for (int depth = 0; depth < kPrefixBits; ++depth) {
            if (node == kHuffmanRoot) {
                return true;
            }
            node = tree_.nodes[node].parent;
        }
        return false;
    }

    const HuffmanTree& tree_;
    int positions_[kMostPositions];
    int count_ = 0;
    bool rebuild_ = false;
};

// Decodes symbols of the BitInput's numbered trees. The common case takes the
// code's first bits through the tree's prefix table at a buffer position and
// raises the weights along the table's path. Everything rarer runs the exact
// tree walk and update over the bit cursor before anything has changed: an
// empty tree, the escape, a code longer than one peek, the buffer's last
// bytes. A weight update that must move a node finishes with the exchanging
// update; where an internal node moved within the table's reach, the entries
// below the positions involved are refilled.
class TreeDecoder {
  public:
    explicit TreeDecoder(BitInput& input)
        : input_(input),
          place_(input),
          trees_(input.trees_.get()),
          tables_(input.prefixTables_.get()),
          states_(input.treeStates_) {}

    // The decoding loops work on a copy of the position, which then lives in
    // registers: the decoder itself is in memory for the rare paths' calls.
    BitPosition position() const { return place_.position; }

    // Writes the loop's position back to the BitInput.
    void save(const BitPosition& at) {
        place_.position = at;
        place_.save();
    }

    template <typename ReadRaw>
    [[gnu::always_inline]] bool decode(BitPosition& at, int t, ReadRaw readRaw,
                                       std::uint32_t& symbol) {
        if (at.fillWindow() && (states_[t] == BitInput::kTableReady || prepareTable(t))) {
            HuffmanTree& tree = trees_[t];
            std::uint64_t bits = at.window;
            const PrefixEntry& entry = tables_[t].entries[bits >> (64 - kPrefixBits)];
            std::int32_t code = tree.nodes[entry.node].childOrLeaf;
            if (code < 0 && code != kEscapeCode) {
                at.skipWindow(entry.length);
                raiseAlongPath(t, tree, entry);
                symbol = static_cast<std::uint32_t>(code) & 0x7FFFFFFF;
                return true;
            }
            if (code >= 0) {
                // A code longer than the table: on from the entry's node over
                // the window, noting the positions for the weight update.
                std::uint16_t below[BitPosition::kPeekBits];
                int depth = 0;
                int used = kPrefixBits;
                bits <<= kPrefixBits;
                do {
                    const int node = code + static_cast<int>(bits >> 63);
                    bits <<= 1;
                    ++used;
                    below[depth++] = static_cast<std::uint16_t>(node);
                    code = tree.nodes[node].childOrLeaf;
                } while (code >= 0 && used < at.windowBits);
                if (code < 0 && code != kEscapeCode) {
                    at.skipWindow(used);
                    raiseAlongWalk(t, tree, below, depth, entry);
                    symbol = static_cast<std::uint32_t>(code) & 0x7FFFFFFF;
                    return true;
                }
            }
        }
        place_.position = at;
        const bool decoded = decodeExactly(t, readRaw, symbol);
        at = place_.position;
        return decoded;
    }

  private:
    bool prepareTable(int t) {
        const HuffmanTree& tree = input_.readyTree(t);
        if (tree.isEmpty()) {
            return false;
        }
        tables_[t].build(tree);
        states_[t] = BitInput::kTableReady;
        return true;
    }

    // incrementLeaf from the entry's positions. A node has to move when the
    // next position weighs no more than it did; no raise on the path changes
    // a weight another check reads, so all checks come first, and the path is
    // raised whole when nothing moves. Positions past the length repeat the
    // last one, whose check is then only made again.
    [[gnu::always_inline]] void raiseAlongPath(int t, HuffmanTree& tree, const PrefixEntry& entry) {
        HuffmanNode* const nodes = tree.nodes;
        for (int i = 0; i < kPrefixBits; ++i) {
            const int node = entry.path[static_cast<std::size_t>(i)];
            if (nodes[node + 1].weight <= nodes[node].weight) {
                raiseStepByStep(t, tree, entry.path.data(), entry.length);
                return;
            }
        }
        // Every position but the last takes one; the last, which the repeats
        // copy, then takes what makes one raise in all.
        for (int i = 0; i < kPrefixBits - 1; ++i) {
            const int node = entry.path[static_cast<std::size_t>(i)];
            ++nodes[node].weight;
        }
        const int last = entry.path[kPrefixBits - 1];
        nodes[last].weight =
            static_cast<std::uint16_t>(nodes[last].weight + entry.length - (kPrefixBits - 1));
        if (++nodes[kHuffmanRoot].weight >= kRescaleWeight) {
            rescale(t, tree);
        }
    }

    // As above, for a code past the table: the walked positions from the
    // leaf up, then the entry's path.
    [[gnu::always_inline]] void raiseAlongWalk(int t, HuffmanTree& tree, const std::uint16_t* below,
                                               int depth, const PrefixEntry& entry) {
        for (int i = depth - 1; i >= 0; --i) {
            if (!raiseInPlace(t, tree, below[i])) {
                return;
            }
        }
        raiseAlongPath(t, tree, entry);
    }

    // Raises the weight at `node`; when the node then has to move, the
    // exchanging update takes over from it and the answer is false.
    [[gnu::always_inline]] bool raiseInPlace(int t, HuffmanTree& tree, int node) {
        HuffmanNode* const nodes = tree.nodes;
        const std::uint16_t weight = nodes[node].weight;
        nodes[node].weight = static_cast<std::uint16_t>(weight + 1);
        if (nodes[node + 1].weight <= weight) {
            finishUpdate(t, tree, node);
            return false;
        }
        return true;
    }

    // incrementLeaf along `path` with the exchanges where a node has to move.
    [[gnu::noinline]] void raiseStepByStep(int t, HuffmanTree& tree, const std::uint16_t* path,
                                           int length) {
        for (int i = 0; i < length; ++i) {
            if (!raiseInPlace(t, tree, path[i])) {
                return;
            }
        }
        if (++tree.nodes[kHuffmanRoot].weight >= kRescaleWeight) {
            rescale(t, tree);
        }
    }

    // The exchanging update from `node`, whose weight was just raised. The
    // table only covers positions above kPrefixBits levels and reads the
    // contents of those at that level afresh, so moves below it keep it
    // right; where an internal node moved within its reach, the entries below
    // the positions involved are filled anew once the update is done.
    [[gnu::noinline]] void finishUpdate(int t, HuffmanTree& tree, int node) {
        TableRepair repair(tree);
        if (tree.updateWeights(node, std::ref(repair)) >= kRescaleWeight) {
            rescale(t, tree);
            return;
        }
        settle(t, repair);
    }

    void settle(int t, const TableRepair& repair) {
        if (repair.needsRebuild()) {
            states_[t] = BitInput::kTableStale;
        } else {
            repair.apply(tables_[t]);
        }
    }

    [[gnu::noinline]] void rescale(int t, HuffmanTree& tree) {
        tree.rescaleTree();
        states_[t] = BitInput::kTableStale;
    }

    // The exact walk and update; a table that was current follows the
    // changes unless the tree was rebuilt.
    template <typename ReadRaw>
    [[gnu::noinline]] bool decodeExactly(int t, ReadRaw readRaw, std::uint32_t& symbol) {
        const bool wasReady = states_[t] == BitInput::kTableReady;
        HuffmanTree& tree = input_.readyTree(t);
        TableRepair repair(tree);
        bool rescaled = false;
        const bool decoded = place_.onCursor([&](BitCursor& cursor) {
            return decodeFromTree(cursor, tree, readRaw, std::ref(repair), rescaled, symbol);
        });
        if (wasReady && !rescaled) {
            settle(t, repair);
        } else {
            states_[t] = BitInput::kTableStale;
        }
        return decoded;
    }

    BitInput& input_;
    CursorAndPosition place_;
    HuffmanTree* const trees_;
    PrefixTable* const tables_;
    BitInput::TreeState* const states_;
};

}  // namespace detail

bool BitInput::initHuffmanTrees() {
    runLength = 0;
    if (!trees_) {
        trees_ = allocateBlockOf<HuffmanTree>(kTreeCount);
        prefixTables_ = allocateBlockOf<PrefixTable>(kTreeCount);
        if (!trees_ || !prefixTables_) {
            trees_.reset();
            prefixTables_.reset();
            valueTree_ = nullptr;
            return false;
        }
    }
    std::fill(std::begin(treeStates_), std::end(treeStates_), kTreeUnset);
    valueTree_ = &readyTree(0);
    return true;
}

std::uint32_t BitInput::decodeHuffmanSymbol(HuffmanTree& tree) {
    detail::BitCursor cursor(*this);
    std::uint32_t symbol = 0;
    bool rescaled = false;
    const bool decoded = decodeFromTree(
        cursor, tree, ReadRawByte{}, [](int, int) {}, rescaled, symbol);
    cursor.save();
    return decoded ? symbol : kHuffmanEnd;
}

std::uint32_t BitInput::decodeHuffmanValues(std::int32_t* out, std::uint32_t count) {
    if (!trees_) {
        return 0;
    }
    // Zero runs are many and mostly short: clearing the span once beats a
    // fill per run, and the runs then only move the count on.
    if (count != 0) {
        std::memset(out, 0, std::size_t{count} * sizeof(std::int32_t));
    }
    std::uint32_t stored = std::min(runLength, count);
    runLength -= stored;

    detail::TreeDecoder decoder(*this);
    detail::BitPosition at = decoder.position();
    int tree = static_cast<int>(valueTree_ - trees_.get());
    std::uint32_t symbol = 0;
    while (stored < count) {
        if (!decoder.decode(at, tree, ReadRawByte{}, symbol)) {
            decoder.save(at);
            return stored;
        }
        const std::int32_t value = static_cast<std::int8_t>(symbol & 0xFF);
        out[stored++] = value;
        if (value != 0) {
            tree = value & 0xFF;
            continue;
        }
        if (!decoder.decode(at, kRunTree, ReadRawRun{}, symbol)) {
            decoder.save(at);
            return stored;
        }
        if (symbol > 1) {
            const std::uint32_t zeros = std::min(symbol - 1, count - stored);
            stored += zeros;
            runLength = symbol - 1 - zeros;
        }
        tree = 0;
    }
    valueTree_ = &readyTree(tree);
    decoder.save(at);
    return stored;
}

std::uint32_t BitInput::decodeHuffmanBytes(std::uint8_t* out, std::uint32_t count) {
    if (!trees_) {
        return 0;
    }
    detail::TreeDecoder decoder(*this);
    detail::BitPosition at = decoder.position();
    int tree = static_cast<int>(valueTree_ - trees_.get());
    std::uint32_t previous = kEscapeSymbol;
    std::uint32_t stored = 0;
    std::uint32_t symbol = 0;
    while (stored < count) {
        if (!decoder.decode(at, tree, ReadRawByte{}, symbol)) {
            decoder.save(at);
            return stored;
        }
        const std::uint32_t byte = symbol & 0xFF;
        out[stored++] = static_cast<std::uint8_t>(byte);
        if (byte == previous) {
            if (!decoder.decode(at, kRunTree, ReadRawRun{}, symbol)) {
                decoder.save(at);
                return stored;
            }
            if (symbol > 1) {
                // A run past the end of the row is a broken image.
                if (symbol - 1 > count - stored) {
                    decoder.save(at);
                    return stored;
                }
                std::memset(out + stored, static_cast<int>(byte), symbol - 1);
                stored += symbol - 1;
            }
        }
        previous = byte;
        tree = static_cast<int>(byte);
    }
    valueTree_ = &readyTree(tree);
    decoder.save(at);
    return stored;
}

}  // namespace eri
