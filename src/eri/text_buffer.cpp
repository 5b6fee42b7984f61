#include "eri/text_buffer.h"

#include <cstring>

namespace eri {

bool TextBuffer::assign(std::string_view text) {
    clear();
    if (text.empty()) {
        return true;
    }
    if (text.size() >= 0xFFFFFFFFu) {
        return false;
    }
    BlockPtr<char> block = allocateBlockOf<char>(text.size() + 1);
    if (!block) {
        return false;
    }
    std::memcpy(block.get(), text.data(), text.size());
    block.get()[text.size()] = '\0';
    text_ = std::move(block);
    length_ = static_cast<std::uint32_t>(text.size());
    return true;
}

void TextBuffer::clear() {
    text_.reset();
    length_ = 0;
}

}  // namespace eri
