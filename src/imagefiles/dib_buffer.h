// The one heap block that carries a packed DIB between the readers, the work
// image and the writers. It is reused from file to file: enlarged when a
// picture needs more room, never shrunk.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tinta {

class DibBuffer {
  public:
    DibBuffer() = default;
    DibBuffer(const DibBuffer&) = delete;
    DibBuffer& operator=(const DibBuffer&) = delete;
    DibBuffer(DibBuffer&& other) noexcept;
    DibBuffer& operator=(DibBuffer&& other) noexcept;
    ~DibBuffer();

    // Makes the block hold a DIB of size bytes. A block of at least that size
    // is kept as it is; a smaller one is enlarged with realloc, and when that
    // fails (or there is no block yet) a new block is allocated and the old
    // one freed. The bytes are undefined afterwards: the caller writes the
    // whole DIB. False when no block of that size can be had; the buffer is
    // then exactly as before (same block, same size, same bytes). A size of 0
    // is refused the same way: no DIB is empty.
    bool Resize(size_t size);

    // Frees the block; the buffer is empty afterwards.
    void Release();

    uint8_t* data() { return block_; }
    const uint8_t* data() const { return block_; }
    // Bytes of the DIB it holds (0 when empty).
    size_t size() const { return size_; }
    // Bytes allocated; never less than size().
    size_t capacity() const { return capacity_; }

  private:
    uint8_t* block_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace tinta
