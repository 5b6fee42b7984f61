// Decoder of ERI image frames: set up once from the image information, then
// decodes the compressed data of one "ImageFrm" record into an ImageBuffer.
// Results: 0 done, 1 unsupported or damaged data (the cause in `failure`),
// any other value as returned by a hook.
#pragma once

#include <cstdint>

#include "eri/core/bit_input.h"
#include "eri/core/block_allocator.h"
#include "eri/core/huffman_tree.h"
#include "eri/image_buffer.h"
#include "eri/image_info.h"
#include "eri/load_error.h"
#include "eri/lossy_frame.h"

namespace eri {

// Highest blocking degree of lossless images: blocks of 256 x 256.
constexpr std::uint32_t kMaxLosslessDegree = 8;

class EriImageDecoder {
  public:
    // Stores a finished lossless block from blockBuffer: destination of its
    // top-left pixel, stride, width in pixels, height in lines.
    using BlockWriter = void (EriImageDecoder::*)(std::uint8_t* destination, std::int32_t stride,
                                                  std::int32_t width, std::int32_t height);

    EriImageDecoder() = default;
    virtual ~EriImageDecoder();
    EriImageDecoder(const EriImageDecoder&) = delete;
    EriImageDecoder& operator=(const EriImageDecoder&) = delete;

    // 0 ready, 1 not supported (or sizes out of range, or out of memory).
    // Releases first, so it may be repeated.
    virtual int initialize(const ImageInfo& info);
    virtual void release();
    // `buffer` holds pixels of the image's width and absolute height; the
    // bit input stands at the start of the frame data; `flip` reverses the
    // line order.
    virtual int decodeImage(const ImageBuffer& buffer, BitInput& input, bool flip);
    // Sets bytesPerPixel; none for a format and depth without a writer.
    virtual BlockWriter selectLosslessWriter(std::uint32_t formatType, std::int32_t bitsPerPixel);
    virtual LossyBlockWriter selectLossyWriter(std::uint32_t formatType, std::int32_t bitsPerPixel);
    // Called after every stored block (lossless) or macroblock (lossy); a
    // non-zero result stops the decode and is returned.
    virtual int onBlockDecoded(std::int32_t row, std::int32_t column);
    // Called after every line of an 8-bit line image; as onBlockDecoded.
    virtual int onLineDecoded(std::int32_t line);

    // Why the last initialize or decodeImage returned 1.
    LoadError failure = LoadError::none;

    ImageInfo imageInfo;
    std::int32_t blockSide = 0;
    std::int32_t blockArea = 0;
    std::int32_t samplesPerBlock = 0;
    std::uint32_t channels = 0;
    std::int32_t blocksAcross = 0;
    std::int32_t blocksDown = 0;
    std::int32_t bytesPerPixel = 0;
    BlockPtr<std::uint8_t> blockCodes;
    BlockPtr<std::int32_t> rowCarries;
    BlockPtr<std::int32_t> lineBuffer;
    BlockPtr<std::int32_t> blockBuffer;
    BlockPtr<std::int32_t> symbolBuffer;
    std::int32_t variant = 0;
    // Four tables in one allocation, owned through the first pointer.
    BlockPtr<std::int32_t> arrangementBlock;
    const std::int32_t* arrangementTables[4] = {};
    BlockPtr<HuffmanTree> codeTree;
    LossyFields lossy;

  protected:
    // Lossless blocks (frame codes 1 and 4, and 8 in the Huffman mode).
    int decodeLosslessFrame(const ImageBuffer& buffer, BitInput& input);
    int decodeHuffmanLosslessFrame(const ImageBuffer& buffer, BitInput& input);
    // 8-bit images coded line by line (frame code 2).
    int decodeLineImage(const ImageBuffer& buffer, BitInput& input);

    // ---- Lossy frames (transformation 1), implemented with the lossy frame
    // decoding in files of their own.
    int initializeLossy();
    int decodeLossyFrame(const ImageBuffer& buffer, BitInput& input);

    int fail(LoadError cause) {
        failure = cause;
        return 1;
    }
    // A decoder delivered less than asked: the data ended, or its codes
    // cannot be picture data.
    int failReading(const BitInput& input) {
        return fail(input.streamEnded() ? LoadError::dataEndedEarly : LoadError::damagedCodes);
    }

  private:
    int initializeLossless();
    // Walks the block grid row by row: decodeBlock(lineCursor) decodes and
    // reconstructs one block into blockBuffer (0, or 1 with `failure` set on
    // damaged data); the block is then written and the hook asked whether to go on.
    template <typename DecodeBlock>
    int walkLosslessBlocks(const ImageBuffer& buffer, BlockWriter writer, DecodeBlock decodeBlock);

    void writeColour555(std::uint8_t* destination, std::int32_t stride, std::int32_t width,
                        std::int32_t height);
    void writeColourBytes(std::uint8_t* destination, std::int32_t stride, std::int32_t width,
                          std::int32_t height);
    void writeGrey(std::uint8_t* destination, std::int32_t stride, std::int32_t width,
                   std::int32_t height);
    void writeColourAlpha(std::uint8_t* destination, std::int32_t stride, std::int32_t width,
                          std::int32_t height);
};

}  // namespace eri
