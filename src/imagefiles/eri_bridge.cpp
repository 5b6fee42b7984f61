#include "eri_bridge.h"

#include <string>

#ifdef TINTA_HAVE_ERI
#include "eri/dib_block.h"
#include "eri/eri_loader.h"
#endif

namespace tinta {

#ifdef TINTA_HAVE_ERI
namespace {

// Lends the DibBuffer to the ERI loader: the loader asks for room once the
// picture is decoded, and the DibBuffer grows by its own rule (a failed
// enlargement leaves it as it was; a moved block frees the old one).
class DibBufferBlock final : public eri::DibBlock {
  public:
    explicit DibBufferBlock(DibBuffer& buffer) : buffer_(buffer) {}
    std::uint8_t* reserve(std::size_t size) override {
        return buffer_.Resize(size) ? buffer_.data() : nullptr;
    }

  private:
    DibBuffer& buffer_;
};

std::string EriFailureReason(const eri::LoadFailure& failure, uint64_t maxPixels) {
    if (failure.error == eri::LoadError::tooLarge && failure.width != 0 && failure.height != 0) {
        return TooLargeReason(failure.width, failure.height, maxPixels);
    }
    if (failure.error == eri::LoadError::tooLarge) {
        return std::string(eri::loadErrorText(failure.error)) + "（上限 " +
               std::to_string(maxPixels) + " 画素）";
    }
    return CannotLoadReason(eri::loadErrorText(failure.error));
}

}  // namespace

DibLoadResult LoadEriDib(const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
    DibBufferBlock block(buffer);
    const uint64_t maxPixels = EffectiveMaxPixels(limits);
    eri::LoadFailure failure;
    if (eri::loadEriImage(path.c_str(), block, eri::LoadOptions{maxPixels}, failure) == 0) {
        return {false, EriFailureReason(failure, maxPixels)};
    }
    return {true, {}};
}
#else
// Built without the ERI side: every ERI file fails to load.
DibLoadResult LoadEriDib(const std::string&, DibBuffer&, const LoadLimits&) {
    return {false, CannotLoadReason("ERI の読み込みは組み込まれていません")};
}
#endif

}  // namespace tinta
