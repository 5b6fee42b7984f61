#pragma once

#include "eri/core/bit_input.h"
#include "eri/input_stream.h"

namespace eri {

// Bit input whose bytes come from a stream, normally the "ImageFrm" record of
// an EriRecordReader; the stream is borrowed.
class StreamBitInput : public BitInput {
  public:
    StreamBitInput(InputStream& source, std::uint32_t capacity)
        : BitInput(capacity), source_(source) {}

  protected:
    std::uint32_t read(std::uint8_t* buffer, std::uint32_t count) override {
        return source_.read(buffer, count);
    }

  private:
    InputStream& source_;
};

}  // namespace eri
