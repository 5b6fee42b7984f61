#pragma once

#include <cstdint>
#include <string_view>

#include "eri/core/block_allocator.h"

namespace eri {

// An owned NUL-terminated text from allocateBlock and its length without the
// terminator; empty (no block, length 0) when there is no text.
class TextBuffer {
  public:
    TextBuffer() = default;
    // Copies `text`; false (and left empty) when the block cannot be had.
    bool assign(std::string_view text);
    void clear();

    const char* data() const { return text_ ? text_.get() : ""; }
    std::uint32_t length() const { return length_; }
    std::string_view view() const { return std::string_view(data(), length_); }

  private:
    BlockPtr<char> text_;
    std::uint32_t length_ = 0;
};

}  // namespace eri
