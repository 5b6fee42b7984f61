// tinta_convert: converts every picture of a folder into another folder and
// format through the same load and save steps as a batch run, without a
// filter. Usage: tinta_convert [--verbose] INPUT_FOLDER OUTPUT_FOLDER FORMAT
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "imagefiles/dib_buffer.h"
#include "imagefiles/format_dispatch.h"
#include "workimage/trace.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& folder, std::error_code& error) {
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

int Usage() {
    std::fprintf(stderr, "usage: tinta_convert [--verbose] INPUT_FOLDER OUTPUT_FOLDER FORMAT\n");
    std::fprintf(stderr, "  FORMAT is an extension such as TGA or PNG\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "--verbose") {
        tinta::SetTraceSink(
            [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
        args.erase(args.begin());
    }
    if (args.size() != 3 || args[2].empty()) {
        return Usage();
    }
    const fs::path inputFolder(args[0]);
    const fs::path outputFolder(args[1]);
    const std::string format(args[2]);

    std::error_code error;
    const std::vector<fs::path> files = FilesIn(inputFolder, error);
    if (error) {
        std::fprintf(stderr, "cannot list %s: %s\n", inputFolder.c_str(), error.message().c_str());
        return 1;
    }

    tinta::DibBuffer buffer;
    int written = 0;
    int failed = 0;
    for (const fs::path& input : files) {
        const fs::path output = outputFolder / (input.stem().string() + "." + format);
        tinta::LoadedImage loaded = tinta::LoadWorkImage(input.string(), buffer);
        tinta::WorkImagePtr image = std::move(loaded.image);
        if (!image) {
            std::printf("skipped %s: %s\n", input.c_str(), loaded.reason.c_str());
            ++failed;
            continue;
        }
        const tinta::SaveResult result = tinta::SaveWorkImage(*image, output.string(), buffer);
        if (!result) {
            std::printf("failed  %s: %s\n", output.c_str(), result.reason.c_str());
            ++failed;
            continue;
        }
        std::printf("wrote   %s (%d x %d)\n", output.c_str(), image->width, image->height);
        ++written;
    }
    std::printf("%d written, %d failed\n", written, failed);
    return failed == 0 ? 0 : 1;
}
