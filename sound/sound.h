// Sound: one sound's format and samples (in memory, in a block backed by a
// temporary file, or streamed from the MPEG decoder), its RIFF INFO texts and
// a directory for temporary files. Reads and writes RIFF WAVE (through the
// multimedia file interface), AU and AIFF; reads MPEG audio through
// "mpadec.dll"; converts itself to another format; gives frame access to 8- and
// 16-bit PCM (sample_frames.h). Target only.
//
// Result codes: sound_status.h. Load and Save choose the file type by the high
// half of the flags (0x10000 WAVE, 0x20000 AU, 0x30000 AIFF, 0x40000 MPEG,
// reading only) or else by the extension ("wav"; "au", "snd"; "aif", "aiff";
// "mp", "mpa", "mp1", "mp2", "mp3"), without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "port/win32.h"
#include "sound/riff_wave.h"
#include "sound/sound_status.h"

class MemoryBlock;
class MpegStream;

enum SoundKind : std::int32_t {
  SOUND_EMPTY = 0,
  SOUND_HEADER_ONLY = 1,
  SOUND_SAMPLES = 2,
  SOUND_STREAMED = 3,
};

enum SoundFlags : std::uint32_t {
  SOUND_FILE_TEMPORARY = 0x1,    // the file is deleted when its block goes
  SOUND_HEADER = 0x2,            // format only, no samples kept
  SOUND_IN_MEMORY = 0x4,
  SOUND_ON_DISK = 0x8,
  SOUND_DECODE = 0x10,           // non-PCM WAVE to 16-bit PCM, MPEG decoded whole
  SOUND_MAP_READ_ONLY = 0x20,    // a WAVE file's own mapping, kept, is read-only
  SOUND_TYPE_WAVE = 0x10000,
  SOUND_TYPE_AU = 0x20000,
  SOUND_TYPE_AIFF = 0x30000,
  SOUND_TYPE_MPEG = 0x40000,
};

// AU encodings Save takes as its target.
enum AuTarget : std::uint32_t { AU_TARGET_LINEAR = 0, AU_TARGET_MULAW = 1, AU_TARGET_ALAW = 2 };

// Progress: (datum, phase, percent); phase 0 for a file's own work, 2 for a
// conversion or decoding on the way.
using SoundProgress = void (*)(void* datum, int phase, int percent);

class Sound {
 public:
  Sound(bool diskBacked, const char* tempDirectory);
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;
  ~Sound();

  void Clear();
  // A RIFF WAVE image in the block; true on success (kind 2). With take the
  // Sound owns the block from then on (also when parsing fails).
  [[nodiscard]] bool ParseWave(MemoryBlock* block, bool take);
  // The format copied, the samples the block's bytes; false when the block has
  // none. SetSamples always owns the block afterwards.
  [[nodiscard]] bool SetSamples(const WAVEFORMATEX* format, MemoryBlock* block, bool take);
  // Samples the Sound does not own.
  [[nodiscard]] bool ShareSamples(const WAVEFORMATEX* format, const std::uint8_t* data, std::uint32_t size);

  [[nodiscard]] SoundStatus Load(const char* path, std::uint32_t flags, SoundProgress progress, void* datum);
  // target: WAVE a format (null: the sound's own); AU an AuTarget; AIFF unused.
  // Fills "INAM" from the file title when it has none.
  [[nodiscard]] SoundStatus Save(const char* path, std::uint32_t flags, const void* target, SoundProgress progress,
           void* datum);
  [[nodiscard]] SoundStatus ConvertTo(const WAVEFORMATEX* format);
  [[nodiscard]] SoundStatus DecodeToFile(SoundProgress progress, void* datum);

  std::uint32_t FrameCount() const;
  std::uint32_t GetFrame(std::uint32_t index) const;
  void SetFrame(std::uint32_t index, std::uint32_t frame);

  // The text or null; SetInfo with null or "" removes it, unknown tags are ignored.
  const char* GetInfo(const char* tag) const;
  void SetInfo(const char* tag, const char* text);

  // A new temporary file name ("WAV" prefix) in the temporary directory.
  [[nodiscard]] bool MakeTempName(char* output, std::uint32_t outputSize) const;

  std::int32_t Kind() const { return kind_; }
  const WAVEFORMATEX* Format() const {
    return format_.empty() ? nullptr : reinterpret_cast<const WAVEFORMATEX*>(format_.data());
  }
  std::uint32_t FormatCode() const { return code_; }
  const std::uint8_t* Data() const { return data_; }
  std::uint32_t DataSize() const { return dataSize_; }
  MpegStream* Stream() const { return stream_; }
  bool DiskBacked() const { return diskBacked_; }

 private:
  void SetFormat(const WAVEFORMATEX* format);
  [[nodiscard]] bool TakeSamples(MemoryBlock* block);
  MemoryBlock* NewSampleBlock(std::uint32_t size, bool onDisk) const;
  [[nodiscard]] SoundStatus LoadWave(const char* path, std::uint32_t flags, SoundProgress progress, void* datum);
  [[nodiscard]] SoundStatus LoadAu(const char* path, std::uint32_t flags, SoundProgress progress, void* datum);
  [[nodiscard]] SoundStatus LoadAiff(const char* path, std::uint32_t flags, SoundProgress progress, void* datum);
  bool OnDisk(std::uint32_t flags) const;
  [[nodiscard]] SoundStatus TakeBigEndianSamples(const std::uint8_t* samples, std::uint32_t bits,
                           std::uint32_t blockAlign, std::uint32_t frames, bool onDisk,
                           SoundProgress progress, void* datum);
  [[nodiscard]] SoundStatus LoadMpeg(const char* path, std::uint32_t flags, SoundProgress progress, void* datum);
  [[nodiscard]] SoundStatus SaveWave(const char* path, const WAVEFORMATEX* target, SoundProgress progress,
               void* datum);
  [[nodiscard]] SoundStatus SaveAu(const char* path, std::uint32_t encoding, SoundProgress progress, void* datum);
  [[nodiscard]] SoundStatus SaveAiff(const char* path, SoundProgress progress, void* datum);
  [[nodiscard]] SoundStatus ConvertStep(const WAVEFORMATEX* format);
  [[nodiscard]] SoundStatus LoadConvertedWave(const char* path, std::uint32_t flags, SoundProgress progress,
                        void* datum);

  std::int32_t kind_ = SOUND_EMPTY;
  bool diskBacked_;
  std::vector<std::uint8_t> format_;
  std::uint32_t dataSize_ = 0;
  std::uint8_t* data_ = nullptr;
  std::uint32_t code_ = 0;
  MemoryBlock* block_ = nullptr;
  bool streaming_ = false;
  std::vector<std::uint8_t> decoderInfo_;
  MpegStream* stream_ = nullptr;
  std::string info_[kInfoTagCount];
  std::string tempDirectory_;
};
