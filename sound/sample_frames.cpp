#include "sound/sample_frames.h"

#include <cstring>

std::uint32_t GetSampleFrame(std::uint32_t code, const std::uint8_t* data, std::uint32_t index) {
  switch (code) {
    case 1: {
      const std::int32_t v = (std::int32_t(data[index]) - 128) * 256;
      return PackFrame(v, v);
    }
    case 2:
      return PackFrame((std::int32_t(data[2 * index]) - 128) * 256,
                       (std::int32_t(data[2 * index + 1]) - 128) * 256);
    case 3: {
      std::int16_t v;
      std::memcpy(&v, data + 2 * index, 2);
      return PackFrame(v, v);
    }
    case 4: {
      std::uint32_t frame;
      std::memcpy(&frame, data + 4 * index, 4);
      return frame;
    }
    default:
      return 0;
  }
}

void SetSampleFrame(std::uint32_t code, std::uint8_t* data, std::uint32_t index,
                    std::uint32_t frame) {
  const std::int32_t left = FrameLeft(frame), right = FrameRight(frame);
  switch (code) {
    case 1:
      data[index] = std::uint8_t((left + right) / 512 + 128);
      break;
    case 2:
      data[2 * index] = std::uint8_t((left >> 8) + 128);
      data[2 * index + 1] = std::uint8_t((right >> 8) + 128);
      break;
    case 3: {
      const std::int16_t v = std::int16_t((left + right) >> 1);
      std::memcpy(data + 2 * index, &v, 2);
      break;
    }
    case 4:
      std::memcpy(data + 4 * index, &frame, 4);
      break;
    default:
      break;
  }
}

static std::int32_t FileSample(const std::uint8_t* p, std::uint32_t bits) {
  if (bits == 8) return std::int32_t(std::int8_t(p[0])) * 256;
  return std::int16_t(std::uint16_t(p[0] << 8 | p[1]));
}

void DecodeBigEndianFrames(const std::uint8_t* file, std::uint32_t bits, std::uint32_t code,
                           std::uint8_t* pcm, std::uint32_t first, std::uint32_t count) {
  const std::uint32_t channels = (code == 2 || code == 4) ? 2 : 1;
  const std::uint32_t step = bits / 8;
  for (std::uint32_t i = first; i < first + count; ++i) {
    const std::uint8_t* p = file + std::size_t(i - first) * channels * step;
    const std::int32_t left = FileSample(p, bits);
    const std::int32_t right = channels == 2 ? FileSample(p + step, bits) : left;
    SetSampleFrame(code, pcm, i, PackFrame(left, right));
  }
}

static void PutFileSample(std::uint8_t* p, std::uint32_t bits, std::int16_t v) {
  if (bits == 8) {
    p[0] = std::uint8_t(v >> 8);
  } else {
    p[0] = std::uint8_t(std::uint16_t(v) >> 8);
    p[1] = std::uint8_t(v);
  }
}

void EncodeBigEndianFrames(const std::uint8_t* pcm, std::uint32_t code, std::uint8_t* file,
                           std::uint32_t first, std::uint32_t count) {
  const std::uint32_t channels = (code == 2 || code == 4) ? 2 : 1;
  const std::uint32_t bits = code <= 2 ? 8 : 16;
  const std::uint32_t step = bits / 8;
  for (std::uint32_t i = first; i < first + count; ++i) {
    const std::uint32_t frame = GetSampleFrame(code, pcm, i);
    std::uint8_t* p = file + std::size_t(i - first) * channels * step;
    PutFileSample(p, bits, FrameLeft(frame));
    if (channels == 2) PutFileSample(p + step, bits, FrameRight(frame));
  }
}
