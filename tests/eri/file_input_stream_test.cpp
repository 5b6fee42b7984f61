#include "eri/file_input_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "eri_lossless/lossless_test_support.h"

namespace {

using eritest::temporaryPath;

TEST(FileInputStream, ReadsSeeksAndReportsPositionOfAnOpenFileOnly) {
    eri::FileInputStream missing;
    EXPECT_FALSE(missing.open(temporaryPath("missing").c_str()));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.getSize(), 0u);

    const std::string path = temporaryPath("plain");
    eritest::writeFile(path, {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
    eri::FileInputStream stream;
    ASSERT_TRUE(stream.open(path.c_str()));
    EXPECT_EQ(stream.getSize(), 10u);
    char buffer[16] = {};
    EXPECT_EQ(stream.read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(stream.getPosition(), 4u);
    stream.seek(8);
    EXPECT_EQ(stream.read(buffer, 16), 2u);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(stream.read(buffer, 16), 0u);
    stream.close();
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.read(buffer, 1), 0u);
    std::remove(path.c_str());
}

// Positions are 32 bits wide, so a file of 4 GiB could not be addressed whole.
TEST(FileInputStream, FilesOf4GiBAreRefused) {
    const std::string path = temporaryPath("huge");
    const int handle = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    ASSERT_GE(handle, 0);
    ASSERT_EQ(ftruncate(handle, 0xFFFFFFFFll), 0);
    eri::FileInputStream stream;
    EXPECT_TRUE(stream.open(path.c_str()));
    EXPECT_EQ(stream.getSize(), 0xFFFFFFFFu);
    ASSERT_EQ(ftruncate(handle, 0x100000000ll), 0);
    ::close(handle);
    EXPECT_FALSE(stream.open(path.c_str()));
    EXPECT_FALSE(stream.isOpen());
    std::remove(path.c_str());
}

}  // namespace
