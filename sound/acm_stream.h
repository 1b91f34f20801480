// AcmStream: a SampleStream that converts another stream from one wave format
// to another through the audio compression manager. Target only.
//
// The source is read a quarter second at a time (its byte rate / 4, whole
// blocks); each piece is converted with the block-align flag, the last one
// (when the source has reached its end) without. Source bytes a conversion
// did not use are kept and go in front of the next piece. Positions and the
// length are in target bytes, scaled from the source by the two byte rates. A
// seek drops converted bytes not yet handed out, and those leftovers.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstdint>
#include <vector>

#include "sound/sample_stream.h"

class AcmStream : public SampleStream {
 public:
  // Takes ownership of source (even when the stream cannot be opened).
  AcmStream(const WAVEFORMATEX* sourceFormat, const WAVEFORMATEX* targetFormat,
            SampleStream* source);
  ~AcmStream() override;

  std::uint32_t Read(void* destination, std::uint32_t count) override;
  std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
  bool IsEof() override;
  std::uint32_t Capabilities() override;
  std::uint32_t Length() override;

  std::uint32_t SourceBufferSize() const { return sourceSize_; }
  std::uint32_t TargetBufferSize() const { return targetSize_; }

 private:
  bool Open();
  bool Refill();
  std::int64_t ToTarget(std::int64_t sourceBytes) const;

  bool ready_ = false;
  std::vector<std::uint8_t> sourceFormat_;
  std::vector<std::uint8_t> targetFormat_;
  SampleStream* source_;
  HACMSTREAM stream_ = nullptr;
  std::uint32_t sourceSize_ = 0;
  std::uint32_t targetSize_ = 0;
  ACMSTREAMHEADER header_ = {};
  std::uint32_t readPosition_ = 0;
  std::uint8_t* leftoverBuffer_ = nullptr;
  std::uint32_t leftover_ = 0;
  bool sourceEnded_ = false;
};
