// A folder of ERI files through tinta_batch, as a script would run it: every
// file becomes a TGA or PNG file holding the decoded pixels (here inverted by
// the bundled 色反転 module).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>

#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/container_writer.h"
#include "support/scratch_folder.h"
#include "support/tga_reader.h"

namespace eritest {
namespace {

struct Written {
    std::string name;
    eriwriter::PlanePicture picture;  // decoded line 0 is the bottom row
    bool alpha;
};

std::vector<Written> writeEriFolder(const std::filesystem::path& folder) {
    std::vector<Written> files;
    const auto colour = makePicture(23, 17, 3, 8, PictureKind::smooth, 21);
    eriwriter::LosslessFrameOptions huffman;
    huffman.frameCode = 8;
    huffman.architecture = -4;
    writeFile((folder / "huffman.eri").string(),
              eriwriter::eriFile(losslessImageInfo(0x00020200, -4, kColour, 24, 23, 17, 3),
                                 *eriwriter::encodeLosslessFrame(colour, huffman)));
    files.push_back({"huffman", colour, false});

    const auto withAlpha = makePicture(9, 30, 4, 8, PictureKind::random, 22);
    eriwriter::LosslessFrameOptions arithmetic;
    arithmetic.architecture = 32;
    arithmetic.blockingDegree = 2;
    writeFile((folder / "arithmetic.eri").string(),
              eriwriter::eriFile(losslessImageInfo(0x00020200, 32, kColourAlpha, 32, 9, 30, 2),
                                 *eriwriter::encodeLosslessFrame(withAlpha, arithmetic)));
    files.push_back({"arithmetic", withAlpha, true});
    return files;
}

TEST(BatchRun, EriFolderBecomesTgaAndPngFiles) {
    tinta::testing::ScratchFolder scratch;
    const std::filesystem::path in = scratch.Path() / "in";
    std::filesystem::create_directories(in);
    std::filesystem::create_directories(scratch.Path() / "tinta");
    std::filesystem::copy_file(std::string(BUNDLED_MODULE_DIR) + "invert.so",
                               scratch.Path() / "tinta" / "invert.so");
    const std::vector<Written> files = writeEriFolder(in);

    for (const char* format : {"TGA", "PNG"}) {
        const std::filesystem::path out = scratch.Path() / format;
        std::filesystem::create_directories(out);
        const std::string command = "cd '" + scratch.Path().string() + "' && '" +
                                    TINTA_BATCH_PROGRAM + "' --input in --mask '*.eri' " +
                                    "--filter 色反転 --output " + format + " --format " + format +
                                    " --quiet </dev/null";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0) << format;

        for (const Written& file : files) {
            const std::string path = (out / (file.name + "." + format)).string();
            const eriwriter::PlanePicture& p = file.picture;
            auto expectPixel = [&](int x, int y, std::uint32_t b, std::uint32_t g, std::uint32_t r,
                                   std::uint32_t a) {
                const std::size_t i = static_cast<std::size_t>(p.height - 1 - y) * p.width + x;
                EXPECT_EQ(b, 255u - p.planes[0][i]) << path << " " << x << "," << y;
                EXPECT_EQ(g, 255u - p.planes[1][i]);
                EXPECT_EQ(r, 255u - p.planes[2][i]);
                EXPECT_EQ(a, file.alpha ? static_cast<std::uint32_t>(p.planes[3][i]) : 255u);
            };
            if (std::string(format) == "TGA") {
                const auto tga = tinta::test::ReadTga(tinta::test::ReadFileBytes(path));
                ASSERT_TRUE(tga.has_value()) << path;
                ASSERT_EQ(tga->width, p.width);
                ASSERT_EQ(tga->height, p.height);
                for (int y = 0; y < p.height; ++y) {
                    for (int x = 0; x < p.width; ++x) {
                        const std::uint8_t* px = tga->pixels.data() + (y * p.width + x) * 4;
                        expectPixel(x, y, px[0], px[1], px[2], px[3]);
                    }
                }
            } else {
                const QImage png(QString::fromStdString(path));
                ASSERT_EQ(png.width(), p.width) << path;
                ASSERT_EQ(png.height(), p.height);
                for (int y = 0; y < p.height; ++y) {
                    for (int x = 0; x < p.width; ++x) {
                        const QRgb px = png.pixel(x, y);
                        expectPixel(x, y, qBlue(px), qGreen(px), qRed(px), qAlpha(px));
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace eritest
