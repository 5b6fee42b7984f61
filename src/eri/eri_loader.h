// The one entry of the ERI side for the rest of the program: an ERI file
// becomes a packed DIB (40-byte header, a 1,024-byte colour table at 8 bits
// per pixel, then the lines bottom line first, each padded to 4 bytes).
#pragma once

#include <cstddef>

#include "eri/dib_block.h"
#include "eri/input_stream.h"
#include "eri/load_error.h"

namespace eri {

// Decodes the first frame of the ERI file at `path` and writes the DIB into
// `destination`. Returns the DIB's size in bytes, or 0 on any failure, with
// the destination's block neither freed nor changed.
//
// Ownership: `destination` owns its block before and after the call; the
// loader only asks it for room once the picture has been decoded. Every
// other buffer lives inside the call.
std::size_t loadEriImage(const char* path, DibBlock& destination);

// The same over an ERI file already open as a stream (borrowed).
std::size_t loadEriImage(InputStream& file, DibBlock& destination);

// The same with the load's limits; on failure (0) `error`, when given,
// receives the cause.
std::size_t loadEriImage(const char* path, DibBlock& destination, const LoadOptions& options,
                         LoadError* error);
std::size_t loadEriImage(InputStream& file, DibBlock& destination, const LoadOptions& options,
                         LoadError* error);

// The same, telling the picture's size with the cause.
std::size_t loadEriImage(const char* path, DibBlock& destination, const LoadOptions& options,
                         LoadFailure& failure);

}  // namespace eri
