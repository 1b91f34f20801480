// Frame access to 8- and 16-bit PCM by output format code (wave_format.h).
// A frame packs into 32 bits: the low half is the left (or only) channel, the
// high half the right, each a signed 16-bit sample.
//   code 1 get: (b - 128) x 256 in both halves; set: ((l + r) / 512) + 128
//   code 2 get: each byte (b - 128) x 256;     set: each (v >> 8) + 128
//   code 3 get: the sample in both halves;     set: (l + r) >> 1
//   code 4 the frame as stored.  Other codes: get 0, set nothing.
// The caller keeps index inside the data.
#pragma once

#include <cstdint>

std::uint32_t GetSampleFrame(std::uint32_t code, const std::uint8_t* data, std::uint32_t index);
void SetSampleFrame(std::uint32_t code, std::uint8_t* data, std::uint32_t index,
                    std::uint32_t frame);

inline std::uint32_t PackFrame(std::int32_t left, std::int32_t right) {
  return (std::uint32_t(left) & 0xFFFF) | std::uint32_t(right) << 16;
}
inline std::int16_t FrameLeft(std::uint32_t frame) { return std::int16_t(frame & 0xFFFF); }
inline std::int16_t FrameRight(std::uint32_t frame) { return std::int16_t(frame >> 16); }

// Samples of the big-endian file formats, from and to a PCM sound of code 1 to 4.
// Signed 8-bit samples are scaled by 256 into frames (exactly back by >> 8);
// 16-bit samples are big-endian in the file. file holds the frames from
// first on; pcm is the whole sound.
void DecodeBigEndianFrames(const std::uint8_t* file, std::uint32_t bits, std::uint32_t code,
                           std::uint8_t* pcm, std::uint32_t first, std::uint32_t count);
void EncodeBigEndianFrames(const std::uint8_t* pcm, std::uint32_t code, std::uint8_t* file,
                           std::uint32_t first, std::uint32_t count);
