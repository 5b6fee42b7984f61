#include "eri_bridge.h"

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

}  // namespace

bool LoadEriDib(const std::string& path, DibBuffer& buffer) {
    DibBufferBlock block(buffer);
    return eri::loadEriImage(path.c_str(), block) != 0;
}
#else
// Built without the ERI side: every ERI file fails to load like an unreadable one.
bool LoadEriDib(const std::string&, DibBuffer&) {
    return false;
}
#endif

}  // namespace tinta
