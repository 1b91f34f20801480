// MpegStream: decoded MPEG audio as a SampleStream, through the external
// decoder library "mpadec.dll" and its seven functions, looked up by name.
// The library is loaded by the first stream of the process and freed when the
// last open one goes. Decoded samples are 16-bit PCM. A stream without a
// decoder delivers nothing and reports its end. Target only.
#pragma once

#include <cstdint>

#include "sound/sample_stream.h"

class MemoryBlock;

// The decoder's info record: 40 bytes, the size first; the rate at byte 16
// and the channel count at byte 20 are what the caller reads.
constexpr std::uint32_t kMpegInfoSize = 40;

class MpegStream : public SampleStream {
 public:
  // Takes ownership of block.
  explicit MpegStream(MemoryBlock* block);
  ~MpegStream() override;

  std::uint32_t Read(void* destination, std::uint32_t count) override;
  std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
  bool IsEof() override;
  std::uint32_t Capabilities() override;
  std::uint32_t Length() override;
  // Fills a kMpegInfoSize-byte record (its size field set first); false
  // without a decoder.
  bool GetInfo(std::uint8_t* info);

  // Open decoder streams of the process (tests).
  static std::int32_t OpenCount();

 private:
  MemoryBlock* block_;
  std::uint32_t handle_ = 0;
};
