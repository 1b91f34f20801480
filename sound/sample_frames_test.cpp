#include "sound/sample_frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SampleFramesTest, GetAndSetByCode) {
  std::uint8_t mono8[2] = {0x00, 0xFF};
  EXPECT_EQ(GetSampleFrame(1, mono8, 0), PackFrame(-32768, -32768));
  EXPECT_EQ(GetSampleFrame(1, mono8, 1), PackFrame(127 * 256, 127 * 256));
  SetSampleFrame(1, mono8, 0, PackFrame(256 * 10, 256 * 20));  // (l + r) / 512
  EXPECT_EQ(mono8[0], 128 + 15);
  SetSampleFrame(1, mono8, 0, PackFrame(-300, 0));  // truncated toward zero
  EXPECT_EQ(mono8[0], 128);

  std::uint8_t stereo8[2] = {};
  SetSampleFrame(2, stereo8, 0, PackFrame(-300, 300));  // v >> 8, rounds down
  EXPECT_EQ(stereo8[0], 128 - 2);
  EXPECT_EQ(stereo8[1], 128 + 1);
  EXPECT_EQ(GetSampleFrame(2, stereo8, 0), PackFrame(-512, 256));

  std::int16_t mono16[1];
  SetSampleFrame(3, reinterpret_cast<std::uint8_t*>(mono16), 0, PackFrame(-3, 0));
  EXPECT_EQ(mono16[0], -2);  // (l + r) >> 1
  EXPECT_EQ(GetSampleFrame(3, reinterpret_cast<std::uint8_t*>(mono16), 0), PackFrame(-2, -2));

  std::uint32_t stereo16[1];
  SetSampleFrame(4, reinterpret_cast<std::uint8_t*>(stereo16), 0, 0x8001FFFEu);
  EXPECT_EQ(stereo16[0], 0x8001FFFEu);
  EXPECT_EQ(GetSampleFrame(4, reinterpret_cast<std::uint8_t*>(stereo16), 0), 0x8001FFFEu);
  EXPECT_EQ(GetSampleFrame(0, mono8, 0), 0u);
  SetSampleFrame(5, mono8, 0, 123);  // no code: nothing changes
  EXPECT_EQ(mono8[0], 128);
}

// Signed 8-bit and big-endian 16-bit file samples survive a read and a write
// exactly, -128 included.
TEST(SampleFramesTest, BigEndianSamplesRoundTrip) {
  const std::uint8_t file8[4] = {0x80, 0x7F, 0x00, 0xFF};
  std::uint8_t pcm8[4];
  DecodeBigEndianFrames(file8, 8, 2, pcm8, 0, 2);
  EXPECT_EQ(pcm8[0], 0x00);
  EXPECT_EQ(pcm8[1], 0xFF);
  EXPECT_EQ(pcm8[2], 0x80);
  EXPECT_EQ(pcm8[3], 0x7F);
  std::uint8_t back8[4];
  EncodeBigEndianFrames(pcm8, 2, back8, 0, 2);
  EXPECT_EQ(std::vector<std::uint8_t>(back8, back8 + 4), std::vector<std::uint8_t>(file8, file8 + 4));
  DecodeBigEndianFrames(file8, 8, 1, pcm8, 0, 4);  // mono: every byte a frame
  EXPECT_EQ(pcm8[0], 0x00);
  EXPECT_EQ(pcm8[1], 0xFF);

  const std::uint8_t file16[6] = {0x80, 0x00, 0x12, 0x34, 0xFF, 0xFE};
  std::int16_t pcm16[3];
  // Decode the second and third frames of the piece that starts at frame 1.
  DecodeBigEndianFrames(file16 + 2, 16, 3, reinterpret_cast<std::uint8_t*>(pcm16), 1, 2);
  EXPECT_EQ(pcm16[1], 0x1234);
  EXPECT_EQ(pcm16[2], -2);
  DecodeBigEndianFrames(file16, 16, 3, reinterpret_cast<std::uint8_t*>(pcm16), 0, 1);
  EXPECT_EQ(pcm16[0], -32768);
  std::uint8_t back16[6];
  EncodeBigEndianFrames(reinterpret_cast<std::uint8_t*>(pcm16), 3, back16, 0, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(back16, back16 + 6),
            std::vector<std::uint8_t>(file16, file16 + 6));
}

}  // namespace
