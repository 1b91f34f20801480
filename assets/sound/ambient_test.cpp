// The ambient loops: formats, lengths, and seams that do not click.
#include "assets/sound/ambient.h"
#include "assets/sound/wave_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

std::vector<int> Samples(const AmbientSound& s) {
  const std::vector<std::uint8_t> pcm = AmbientPcm(s);
  std::vector<int> v;
  if (s.bits == 8) {
    for (std::uint8_t b : pcm) v.push_back((int(b) - 128) * 256);
  } else {
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) {
      v.push_back(std::int16_t(pcm[i] | pcm[i + 1] << 8));
    }
  }
  return v;
}

// The jump from the last sample back to the first must look like the steps
// around it: a click would stand out far above its neighbours.
void ExpectSeamless(const std::vector<int>& v) {
  const std::size_t n = v.size(), around = 200;
  int neighbours = 0;
  for (std::size_t i = 0; i < around; ++i) {
    neighbours = std::max(neighbours, std::abs(v[i + 1] - v[i]));
    neighbours = std::max(neighbours, std::abs(v[n - 1 - i] - v[n - 2 - i]));
  }
  EXPECT_LE(std::abs(v.front() - v.back()), 2 * std::max(neighbours, 32));
  // The wave's slope carries on across the seam too (no kink): the second
  // difference there is like those around it.
  int bends = 0;
  for (std::size_t i = 1; i < around; ++i) {
    bends = std::max(bends, std::abs(v[i + 1] - 2 * v[i] + v[i - 1]));
  }
  EXPECT_LE(std::abs(v[0] - 2 * v[n - 1] + v[n - 2]), 3 * std::max(bends, 32));
  // The ends of the loop are not silent gaps nor a fade: the first and last
  // 50 ms carry energy like the middle does.
  auto rms = [&](std::size_t from, std::size_t n) {
    double e = 0;
    for (std::size_t i = from; i < from + n; ++i) e += double(v[i]) * v[i];
    return std::sqrt(e / n);
  };
  const std::size_t part = n / 200;
  const double middle = rms(n / 2 - part / 2, part * 4);
  EXPECT_GT(rms(0, part) + rms(n - part, part), 0.05 * middle);
}

TEST(Ambient, SixteenLoopsInTheExpectedFormats) {
  std::map<int, int> rates, bits;
  for (int i = 0; i < kAmbientCount; ++i) {
    const AmbientSound s = RenderAmbient(i);
    SCOPED_TRACE(s.title);
    ASSERT_FALSE(s.title.empty());
    const double seconds = double(s.loop.Length()) / s.loop.rate;
    EXPECT_GE(seconds, 8.0);
    EXPECT_LE(seconds, 30.0);
    ++rates[s.loop.rate];
    ++bits[s.bits];
    const std::vector<int> v = Samples(s);
    ASSERT_EQ(int(v.size()), s.loop.Length());
    const int peak = *std::max_element(v.begin(), v.end(), [](int a, int b) {
      return std::abs(a) < std::abs(b);
    });
    EXPECT_GT(std::abs(peak), 8000);  // audible, not clipped to nothing
    ExpectSeamless(v);
  }
  EXPECT_GE(rates[22050], 12);
  EXPECT_GE(int(rates.size()), 2);
  EXPECT_LE(int(rates.size()), 3);
  EXPECT_GE(bits[16], 10);
  EXPECT_GE(bits[8], 1);
  EXPECT_TRUE(RenderAmbient(16).title.empty());
}

TEST(Ambient, LoopsAreDistinctAndDeterministic) {
  const AmbientSound a = RenderAmbient(3), b = RenderAmbient(3), c = RenderAmbient(4);
  EXPECT_EQ(AmbientPcm(a), AmbientPcm(b));
  EXPECT_NE(a.title, c.title);
}

TEST(Synth, FiltersAndEventsWrapRoundTheLoop) {
  Loop l(8000, 1.0);
  // An event placed near the end carries on at the start.
  AddEvent(l, l.Length() - 10, EventShape(30, 1.0f), 1.0);
  EXPECT_FLOAT_EQ(l.samples[l.Length() - 1], 1.0f);
  EXPECT_FLOAT_EQ(l.samples[19], 1.0f);
  EXPECT_FLOAT_EQ(l.samples[20], 0.0f);
  // A resonant filter run round the loop leaves no step at the seam.
  Loop n(8000, 1.0);
  AddNoise(n, 0.5, 7);
  Filter(n, FilterKind::LowPass, 200, 4.0);
  Reverb(n, 0.03, 0.8, 0.5);
  double typical = 0;
  for (int i = 0; i + 1 < n.Length(); ++i) typical += std::fabs(n.samples[i + 1] - n.samples[i]);
  typical /= n.Length();
  EXPECT_LT(std::fabs(n.samples[0] - n.samples[n.Length() - 1]), 4 * typical);
  // Sustained tones have whole cycles per loop.
  EXPECT_DOUBLE_EQ(LoopFrequency(n, 100.4), 100.0);
  EXPECT_DOUBLE_EQ(LoopFrequency(n, 0.1), 1.0);
}

TEST(WaveFile, WritesPcmThatReadsBack) {
  const std::vector<std::uint8_t> pcm = {1, 2, 3};  // odd: padded
  const std::vector<std::uint8_t> wav = WriteWave(pcm, 11025, 8, "Test");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(wav.size() % 2, 0u);
  const std::uint32_t riff = wav[4] | wav[5] << 8 | wav[6] << 16 | wav[7] << 24;
  EXPECT_EQ(riff + 8, wav.size());
  EXPECT_EQ(std::string(wav.begin() + 12, wav.begin() + 16), "fmt ");
  EXPECT_EQ(wav[16], 16);  // 16-byte PCM format
  WaveInfo info;
  ASSERT_TRUE(ReadWave(wav.data(), wav.size(), &info));
  EXPECT_EQ(info.formatTag, 1);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.rate, 11025);
  EXPECT_EQ(info.bits, 8);
  EXPECT_EQ(info.dataBytes, 3u);
  EXPECT_EQ(wav[info.dataOffset + 2], 3);
  EXPECT_EQ(info.title, "Test");
  // Truncated images are refused.
  EXPECT_FALSE(ReadWave(wav.data(), info.dataOffset + 1, &info));
  EXPECT_FALSE(ReadWave(wav.data(), 10, &info));
}

}  // namespace
