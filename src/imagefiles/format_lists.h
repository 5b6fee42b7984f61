// The two format lists offered to the user: input masks ("*.ERI" and every
// format Qt reads) and output formats ("*.TGA" and every format Qt can both
// read and write, less metafile and icon types).
#pragma once

#include <string>
#include <vector>

namespace tinta {

struct FormatLists {
    std::vector<std::string> inputMasks;     // "*.ERI", then "*.PNG", ...
    std::vector<std::string> outputFormats;  // "*.TGA", then "*.PNG", ...
    // False when Qt offers no image format at all; the lists then hold only
    // "*.ERI" and "*.TGA".
    bool codecsAvailable = false;
};

// The lists built from the given Qt format names (any letter case): one
// upper-case "*.EXT" token per readable name, in the given order, duplicates
// dropped; an output token for each readable name that is also writable and
// whose token contains neither "MF" nor "ICO".
FormatLists BuildFormatLists(const std::vector<std::string>& readable,
                             const std::vector<std::string>& writable);

// The lists for the formats of Qt's installed image plug-ins.
FormatLists QtFormatLists();

}  // namespace tinta
