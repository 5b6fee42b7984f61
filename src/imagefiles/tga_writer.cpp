#include "tga_writer.h"

namespace tinta {

// Provisional until the writer lands.
int WriteTga(const WorkImage&, const std::string&, bool) { return kTgaOtherFileError; }

}  // namespace tinta
