#include "sound/wave_format.h"

#include <gtest/gtest.h>

TEST(WaveFormatTest, PcmFormatDerivesAlignAndRateWithTheRateWrapped) {
  WAVEFORMATEX f;
  MakePcmFormat(&f, 22050, 8, 1);
  EXPECT_EQ(f.wFormatTag, 1);
  EXPECT_EQ(f.nBlockAlign, 1);
  EXPECT_EQ(f.nAvgBytesPerSec, 22050u);
  MakePcmFormat(&f, 44100, 16, 2);
  EXPECT_EQ(f.nBlockAlign, 4);
  EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(f.cbSize, 0);
  MakePcmFormat(&f, 96000, 16, 1);  // kept modulo 65536, the byte rate from that
  EXPECT_EQ(f.nSamplesPerSec, 96000u - 65536u);
  EXPECT_EQ(f.nAvgBytesPerSec, (96000u - 65536u) * 2);
}

TEST(WaveFormatTest, CodesStoredSizeAndLayout) {
  WAVEFORMATEX f;
  const std::uint32_t expect[2][2] = {{1, 2}, {3, 4}};
  for (int wide = 0; wide < 2; ++wide) {
    for (int stereo = 0; stereo < 2; ++stereo) {
      MakePcmFormat(&f, 8000, wide ? 16 : 8, stereo ? 2 : 1);
      EXPECT_EQ(OutputFormatCode(f), expect[wide][stereo]);
    }
  }
  MakePcmFormat(&f, 8000, 24, 1);
  EXPECT_EQ(OutputFormatCode(f), 0u);
  MakePcmFormat(&f, 8000, 8, 3);
  EXPECT_EQ(OutputFormatCode(f), 0u);
  WAVEFORMATEX adpcm = f;
  adpcm.wFormatTag = 0x11;
  adpcm.cbSize = 2;
  EXPECT_EQ(OutputFormatCode(adpcm), 0u);
  EXPECT_EQ(FormatStoredSize(adpcm), 20u);
  f.cbSize = 2;  // ignored for PCM
  EXPECT_EQ(FormatStoredSize(f), 18u);
  EXPECT_EQ(BytesPerFrameOfCode(3), 2u);
  EXPECT_EQ(BytesPerFrameOfCode(4), 4u);
  EXPECT_EQ(BytesPerFrameOfCode(9), 0u);
  EXPECT_FALSE(SameSampleLayout(f, adpcm));
  WAVEFORMATEX g = f;
  g.nAvgBytesPerSec = 1;  // not part of the layout
  EXPECT_TRUE(SameSampleLayout(f, g));
}
