// FormatChain: the AcmStream stages that bring a source format to a target
// PCM format, ending in the stage it reads from. Target only.
//
//   same tag, rate, bits and channels: no stage, the source itself;
//   otherwise, with s the source format:
//     1. s not PCM: to PCM 16-bit at s's rate and channels (codecs only
//        produce 16-bit PCM);
//     2. (target not PCM and its rate differs) or s not 16-bit or the channel
//        counts differ: to PCM 16-bit at the target's rate and channels;
//     3. to the target.
#pragma once

#include "port/win32.h"
#include "sound/sample_stream.h"

class FormatChain : public SampleStream {
 public:
  // Takes ownership of source.
  FormatChain(const WAVEFORMATEX* sourceFormat, const WAVEFORMATEX* targetFormat,
              SampleStream* source);
  ~FormatChain() override;

  std::uint32_t Read(void* destination, std::uint32_t count) override;
  std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
  bool IsEof() override;
  std::uint32_t Length() override;
  bool IsOpen() override;

  // Stages added in front of the source (0 to 3).
  int StageCount() const { return stages_; }

 private:
  SampleStream* last_;
  int stages_ = 0;
};
