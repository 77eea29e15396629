// PNG writing: a picture written and read back, and failures that say why.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/png_writer.h"

namespace pf {
namespace {

namespace fs = std::filesystem;

class PngTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "corvella-png-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(PngTest, WrittenPictureReadsBackExactly) {
  Surface s(5, 3, 0xFFFFFF);
  s.Set(0, 0, 0xFF0000);
  s.Set(4, 2, 0x0000FF);
  s.Set(2, 1, 0x123456);
  const std::string path = (dir_ / "shot.png").string();
  std::string error;
  ASSERT_TRUE(WritePng(s, path, &error)) << error;
  // Writing again replaces the file.
  s.Set(1, 1, 0x00FF00);
  ASSERT_TRUE(WritePng(s, path, &error)) << error;

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGB;
  ASSERT_EQ(image.width, 5u);
  ASSERT_EQ(image.height, 3u);
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const std::size_t i = static_cast<std::size_t>(3 * (y * 5 + x));
      const Pixel p = (static_cast<Pixel>(rgb[i]) << 16) | (static_cast<Pixel>(rgb[i + 1]) << 8) | rgb[i + 2];
      EXPECT_EQ(p, s.At(x, y)) << x << "," << y;
    }
  }
  // Only the picture is left in the folder: no temporary files.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(PngTest, FailuresAreReportedAndLeaveNothingBehind) {
  Surface s(2, 2);
  std::string error;
  EXPECT_FALSE(WritePng(s, (dir_ / "missing" / "x.png").string(), &error));
  EXPECT_NE(error.find("missing/x.png"), std::string::npos) << error;
  EXPECT_FALSE(WritePng(Surface(), (dir_ / "empty.png").string(), &error));
  EXPECT_NE(error.find("empty"), std::string::npos) << error;
  EXPECT_FALSE(WritePng(s, "", &error));
  // A directory in the way of the rename.
  fs::create_directory(dir_ / "taken.png");
  EXPECT_FALSE(WritePng(s, (dir_ / "taken.png").string(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace pf
