#include "picture/jpeg_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfx/debug_log.h"
#include "picture/jpeg_test_pictures.h"

namespace {

std::vector<std::string>* g_log = nullptr;

void Capture(const char* line) { g_log->push_back(line); }

using Bytes = std::vector<unsigned char>;

Bytes JpegOf(const JpegTestPicture& picture) {
  return Bytes(picture.jpeg, picture.jpeg + picture.jpegSize);
}

const JpegTestPicture& Picture(const char* name) {
  for (int i = 0; i < kJpegTestPictureCount; ++i) {
    if (std::strcmp(kJpegTestPictures[i].name, name) == 0) return kJpegTestPictures[i];
  }
  std::abort();
}

// The byte offset of the frame header's height field (SOF0 or SOF2).
std::size_t FrameSizeOffset(const Bytes& jpeg) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i + 5;
  }
  return 0;
}

void SetFrameSize(Bytes* jpeg, std::uint16_t width, std::uint16_t height) {
  std::size_t at = FrameSizeOffset(*jpeg);
  ASSERT_NE(at, 0u);
  (*jpeg)[at] = static_cast<unsigned char>(height >> 8);
  (*jpeg)[at + 1] = static_cast<unsigned char>(height);
  (*jpeg)[at + 2] = static_cast<unsigned char>(width >> 8);
  (*jpeg)[at + 3] = static_cast<unsigned char>(width);
}

// Checks a packed bitmap against top-down RGB pixels, pixel by pixel.
void ExpectBitmapOf(HGLOBAL block, const unsigned char* rgb, std::int32_t width,
                    std::int32_t height, const char* name) {
  ASSERT_NE(block, nullptr) << name;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
  ASSERT_EQ(GlobalSize(block), 40u + stride * height) << name;
  const auto* bytes = static_cast<const unsigned char*>(block);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, width);
  EXPECT_EQ(header.biHeight, height);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biSizeImage, 0u);
  EXPECT_EQ(header.biXPelsPerMeter, 0);
  EXPECT_EQ(header.biYPelsPerMeter, 0);
  EXPECT_EQ(header.biClrUsed, 0u);
  EXPECT_EQ(header.biClrImportant, 0u);
  int mismatches = 0;
  for (std::int32_t y = 0; y < height; ++y) {
    const unsigned char* row = bytes + 40 + stride * (height - 1 - y);
    for (std::int32_t x = 0; x < width; ++x) {
      const unsigned char* expected = rgb + 3 * (y * width + x);
      if (row[3 * x] != expected[2] || row[3 * x + 1] != expected[1] ||
          row[3 * x + 2] != expected[0]) {
        ++mismatches;
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << name;
}

class JpegLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = &log_;
    previous_ = SetDebugLogSink(Capture);
  }
  void TearDown() override {
    SetDebugLogSink(previous_);
    g_log = nullptr;
  }
  // Decodes from memory and expects a refusal with one log line.
  void ExpectRefused(const Bytes& jpeg, const char* why) {
    log_.clear();
    std::int32_t width = -1, height = -1;
    std::uint8_t* pixels = DecodeJpegFromMemory(jpeg.data(), static_cast<std::uint32_t>(jpeg.size()),
                                                &width, &height);
    EXPECT_EQ(pixels, nullptr) << why;
    std::free(pixels);
    EXPECT_EQ(width, 0) << why;
    EXPECT_EQ(height, 0) << why;
    EXPECT_EQ(log_.size(), 1u) << why;
  }
  std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

  std::vector<std::string> log_;
  DebugLogSink previous_ = nullptr;
};

TEST_F(JpegLoaderTest, DecodesEveryPeerPictureToThePeersPixels) {
  for (int i = 0; i < kJpegTestPictureCount; ++i) {
    const JpegTestPicture& picture = kJpegTestPictures[i];
    if (!picture.decodable) continue;
    std::int32_t width = 0, height = 0;
    std::uint8_t* pixels = DecodeJpegFromMemory(picture.jpeg, picture.jpegSize, &width, &height);
    ASSERT_NE(pixels, nullptr) << picture.name;
    EXPECT_EQ(width, picture.width) << picture.name;
    EXPECT_EQ(height, picture.height) << picture.name;
    std::size_t bytes = static_cast<std::size_t>(picture.width) * picture.height * 3;
    EXPECT_EQ(std::memcmp(pixels, picture.rgb, bytes), 0) << picture.name;
    std::free(pixels);
  }
  EXPECT_TRUE(log_.empty());
}

TEST_F(JpegLoaderTest, LoadsBottomUpBgrBitmapsWithPaddedRows) {
  for (int i = 0; i < kJpegTestPictureCount; ++i) {
    const JpegTestPicture& picture = kJpegTestPictures[i];
    if (!picture.decodable) continue;
    HGLOBAL block = LoadJpegFromMemory(picture.jpeg, picture.jpegSize);
    ExpectBitmapOf(block, picture.rgb, picture.width, picture.height, picture.name);
    if (block && picture.grey) {
      const auto* bytes = static_cast<const unsigned char*>(block) + 40;
      EXPECT_TRUE(bytes[0] == bytes[1] && bytes[1] == bytes[2]) << picture.name;
    }
    GlobalFree(block);
  }
}

TEST_F(JpegLoaderTest, RowStrideRoundsUpToFourBytes) {
  const struct {
    const char* name;
    SIZE_T blockSize;
  } cases[] = {{"tiny_1x1", 44}, {"width_3x2", 40 + 2 * 12}, {"width_4x2", 40 + 2 * 12},
               {"width_5x2", 40 + 2 * 16}};
  for (const auto& c : cases) {
    const JpegTestPicture& picture = Picture(c.name);
    HGLOBAL block = LoadJpegFromMemory(picture.jpeg, picture.jpegSize);
    ASSERT_NE(block, nullptr) << c.name;
    EXPECT_EQ(GlobalSize(block), c.blockSize) << c.name;
    // The padding of the 1x1 row is zero.
    if (picture.width == 1) {
      EXPECT_EQ(static_cast<unsigned char*>(block)[43], 0);
    }
    GlobalFree(block);
  }
  EXPECT_EQ(PackedDibStride24(1), 4u);
  EXPECT_EQ(PackedDibStride24(3), 12u);
  EXPECT_EQ(PackedDibStride24(4), 12u);
  EXPECT_EQ(PackedDibStride24(5), 16u);
}

TEST_F(JpegLoaderTest, FileAndMemoryGiveTheSameBitmap) {
  const JpegTestPicture& picture = Picture("progressive_40x30");
  std::string path = TempPath("tidewater_jpeg_test.jpg");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(picture.jpeg, 1, picture.jpegSize, file), picture.jpegSize);
  std::fclose(file);
  HGLOBAL fromFile = LoadJpeg(path.c_str());
  ExpectBitmapOf(fromFile, picture.rgb, picture.width, picture.height, "file");
  GlobalFree(fromFile);

  // A file cut short is refused, and its handle is closed (it can be removed).
  file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(picture.jpeg, 1, picture.jpegSize / 2, file);
  std::fclose(file);
  log_.clear();
  EXPECT_EQ(LoadJpeg(path.c_str()), nullptr);
  EXPECT_EQ(log_, std::vector<std::string>{"JPEG Fatal Error\n"});
  EXPECT_EQ(std::remove(path.c_str()), 0);
}

TEST_F(JpegLoaderTest, MissingFileLogsItsPath) {
  std::string path = TempPath("tidewater_no_such_picture.jpg");
  std::int32_t width = 5, height = 5;
  EXPECT_EQ(DecodeJpeg(path.c_str(), &width, &height), nullptr);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(LoadJpeg(path.c_str()), nullptr);
  std::string expected = "JPEG :\nCan't open " + path + "\n";
  EXPECT_EQ(log_, (std::vector<std::string>{expected, expected}));
  EXPECT_EQ(LoadJpeg(nullptr), nullptr);
}

TEST_F(JpegLoaderTest, RefusesOtherColourSpaces) {
  ExpectRefused(JpegOf(Picture("cmyk_8x8")), "cmyk");
  EXPECT_EQ(log_, std::vector<std::string>{"JPEG Fatal Error\n"});
}

// Every prefix of every picture lacks at least its end marker.
TEST_F(JpegLoaderTest, RefusesEveryTruncation) {
  for (int i = 0; i < kJpegTestPictureCount; ++i) {
    Bytes jpeg = JpegOf(kJpegTestPictures[i]);
    const std::size_t step = jpeg.size() > 400 ? 7 : 1;
    for (std::size_t length = 0; length < jpeg.size(); length += step) {
      Bytes cut(jpeg.begin(), jpeg.begin() + length);
      ExpectRefused(cut, kJpegTestPictures[i].name);
      if (HasFailure()) return;
    }
  }
}

TEST_F(JpegLoaderTest, RefusesBrokenHeaders) {
  Bytes jpeg = JpegOf(Picture("colour_17x13"));
  Bytes noStart = jpeg;
  noStart[1] = 0x00;
  ExpectRefused(noStart, "no start marker");
  Bytes zeroWidth = jpeg;
  SetFrameSize(&zeroWidth, 0, 13);
  ExpectRefused(zeroWidth, "zero width");
  ExpectRefused(Bytes{}, "empty");
  ExpectRefused(Bytes(100, 0x42), "not a JPEG");
  std::int32_t width = 1, height = 1;
  EXPECT_EQ(DecodeJpegFromMemory(nullptr, 10, &width, &height), nullptr);
  EXPECT_EQ(width, 0);
}

// Sizes beyond the limits are refused before decoding starts, so a small
// file cannot make the loader ask for gigabytes.
TEST_F(JpegLoaderTest, RefusesHugeDimensionsBeforeAllocating) {
  const struct {
    std::uint16_t width, height;
  } sizes[] = {{65000, 65000}, {20000, 1}, {1, 20000}, {4097, 4096}};
  for (const char* name : {"colour_17x13", "progressive_40x30", "grey_33x9"}) {
    for (const auto& size : sizes) {
      Bytes jpeg = JpegOf(Picture(name));
      SetFrameSize(&jpeg, size.width, size.height);
      ExpectRefused(jpeg, name);
      EXPECT_EQ(log_, std::vector<std::string>{"JpegFile :\nOut of memory\n"}) << name;
    }
  }
}

// Random damage may still decode (not every bit error is detectable), but
// never crashes, and whatever decodes has the frame's size.
TEST_F(JpegLoaderTest, SurvivesRandomCorruption) {
  std::mt19937 random(2024);
  for (int i = 0; i < kJpegTestPictureCount; ++i) {
    const JpegTestPicture& picture = kJpegTestPictures[i];
    for (int trial = 0; trial < 150; ++trial) {
      Bytes jpeg = JpegOf(picture);
      int flips = 1 + static_cast<int>(random() % 4);
      for (int f = 0; f < flips; ++f) jpeg[2 + random() % (jpeg.size() - 2)] ^= 1 << (random() % 8);
      HGLOBAL block = LoadJpegFromMemory(jpeg.data(), static_cast<std::uint32_t>(jpeg.size()));
      if (block) {
        BITMAPINFOHEADER header;
        std::memcpy(&header, block, sizeof header);
        ASSERT_GT(header.biWidth, 0);
        ASSERT_GT(header.biHeight, 0);
        ASSERT_EQ(GlobalSize(block),
                  40u + PackedDibStride24(header.biWidth) * static_cast<SIZE_T>(header.biHeight));
        GlobalFree(block);
      }
    }
  }
}

}  // namespace
