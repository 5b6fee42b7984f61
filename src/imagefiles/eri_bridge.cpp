#include "eri_bridge.h"

namespace tinta {

// No ERI decoder yet: every ERI file fails to load like an unreadable one.
bool LoadEriDib(const std::string&, DibBuffer&) {
    return false;
}

}  // namespace tinta
