// MpegStream: decoded MPEG audio as a SampleStream, through the external
// decoder library "mpadec.dll" and its seven functions, looked up by name.
// The library is loaded by the first stream of the process and freed when the
// last open one goes. Decoded samples are 16-bit PCM. A stream without a
// decoder delivers nothing and reports its end. Target only.
#pragma once

#include <cstdint>

#include "sound/sample_stream.h"

class MemoryBlock;

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
  // Fills the decoder's info record of mpadec::kInfoSize bytes (its layout in
  // mpadec/mpadec.h; the size field set first); false without a decoder.
  bool GetInfo(std::uint8_t* info);

  // Open decoder streams of the process (tests).
  static std::int32_t OpenCount();

 private:
  MemoryBlock* block_;
  std::uint32_t handle_ = 0;
};
