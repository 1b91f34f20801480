#include "sound/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "gfx/memory_block.h"
#include "gfx/make_temp_file_name.h"
#include "sound/mpeg_stream.h"
#include "sound/sample_frames.h"
#include "sound/wave_format.h"

Sound::Sound(bool diskBacked, const char* tempDirectory)
    : diskBacked_(diskBacked), tempDirectory_(tempDirectory ? tempDirectory : "") {}

Sound::~Sound() { Clear(); }

void Sound::Clear() {
  delete block_;
  block_ = nullptr;
  delete stream_;
  stream_ = nullptr;
  decoderInfo_.clear();
  format_.clear();
  for (std::string& text : info_) text.clear();
  data_ = nullptr;
  dataSize_ = 0;
  code_ = 0;
  streaming_ = false;
  kind_ = SOUND_EMPTY;
}

void Sound::SetFormat(const WAVEFORMATEX* format) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(format);
  format_.assign(p, p + FormatStoredSize(*format));
  if (format_.size() < 18) format_.resize(18, 0);
  code_ = OutputFormatCode(*format);
}

namespace {

// The multimedia file interface over an image in memory ("MEM ").
class MemoryFile {
 public:
  MemoryFile(std::uint8_t* image, std::uint32_t size) {
    MMIOINFO info = {};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = reinterpret_cast<HPSTR>(image);
    info.cchBuffer = LONG(size);
    file_ = size ? mmioOpenA(nullptr, &info, MMIO_READ) : nullptr;
  }
  ~MemoryFile() {
    if (file_) mmioClose(file_, 0);
  }
  HMMIO get() const { return file_; }

 private:
  HMMIO file_;
};

// What ParseRiffWave checks of a format, here for the one read through mmio.
bool UsableFormat(const std::vector<std::uint8_t>& bytes) {
  const auto& f = *reinterpret_cast<const WAVEFORMATEX*>(bytes.data());
  return FormatStoredSize(f) <= bytes.size() && f.nBlockAlign != 0 && f.nAvgBytesPerSec != 0 &&
         f.nChannels != 0;
}

}  // namespace

bool Sound::ParseWave(MemoryBlock* block, bool take) {
  Clear();
  if (take) block_ = block;
  auto* image = block ? static_cast<std::uint8_t*>(block->Pointer()) : nullptr;
  const std::uint32_t size = block ? block->Size() : 0;
  if (!image) return false;
  MemoryFile file(image, size);
  HMMIO h = file.get();
  if (!h) return false;
  MMCKINFO riff = {}, chunk = {};
  if (mmioDescend(h, &riff, nullptr, 0) != 0) return false;
  chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK) != 0) return false;
  if (chunk.cksize < 16 || chunk.cksize > size) return false;
  std::vector<std::uint8_t> format(std::max<DWORD>(chunk.cksize, 18), 0);
  if (mmioRead(h, reinterpret_cast<HPSTR>(format.data()), LONG(chunk.cksize)) != LONG(chunk.cksize))
    return false;
  if (!UsableFormat(format)) return false;
  format_ = std::move(format);
  code_ = OutputFormatCode(*Format());
  mmioAscend(h, &chunk, 0);
  chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK) != 0) return false;
  if (std::uint64_t(chunk.dwDataOffset) + chunk.cksize > size) return false;
  data_ = image + chunk.dwDataOffset;
  dataSize_ = chunk.cksize;
  kind_ = SOUND_SAMPLES;
  mmioAscend(h, &chunk, 0);
  MMCKINFO list = {};
  list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
  if (mmioDescend(h, &list, &riff, MMIO_FINDLIST) != 0) return true;
  const LONG start = mmioSeek(h, 0, SEEK_CUR);
  for (int i = 0; i < kInfoTagCount; ++i) {
    mmioSeek(h, start, SEEK_SET);
    MMCKINFO text = {};
    text.ckid = mmioStringToFOURCCA(kInfoTags[i], 0);
    if (mmioDescend(h, &text, &list, MMIO_FINDCHUNK) != 0) continue;
    std::vector<char> bytes(std::min<DWORD>(text.cksize, size) + 1, 0);
    const LONG got = mmioRead(h, bytes.data(), LONG(bytes.size() - 1));
    if (got > 0) SetInfo(kInfoTags[i], bytes.data());
  }
  return true;
}

bool Sound::TakeSamples(MemoryBlock* block) {
  block_ = block;
  data_ = block ? static_cast<std::uint8_t*>(block->Pointer()) : nullptr;
  dataSize_ = data_ ? block->Size() : 0;
  if (!data_ || dataSize_ == 0) {
    data_ = nullptr;
    dataSize_ = 0;
    return false;
  }
  kind_ = SOUND_SAMPLES;
  return true;
}

bool Sound::SetSamples(const WAVEFORMATEX* format, MemoryBlock* block, bool take) {
  Clear();
  SetFormat(format);
  if (!block || !block->Pointer() || block->Size() == 0) {
    if (take) delete block;
    return false;
  }
  if (!take) return ShareSamples(format, static_cast<std::uint8_t*>(block->Pointer()), block->Size());
  return TakeSamples(block);
}

bool Sound::ShareSamples(const WAVEFORMATEX* format, const std::uint8_t* data,
                         std::uint32_t size) {
  Clear();
  SetFormat(format);
  if (!data || size == 0) return false;
  data_ = const_cast<std::uint8_t*>(data);
  dataSize_ = size;
  kind_ = SOUND_SAMPLES;
  return true;
}

std::uint32_t Sound::FrameCount() const {
  const std::uint32_t perFrame = BytesPerFrameOfCode(code_);
  if (kind_ == SOUND_SAMPLES) {
    if (perFrame) return dataSize_ / perFrame;
    const WAVEFORMATEX* f = Format();
    return std::uint32_t(std::uint64_t(dataSize_) * f->nSamplesPerSec / f->nAvgBytesPerSec);
  }
  if (kind_ == SOUND_STREAMED && stream_ && perFrame) return stream_->Length() / perFrame;
  return 0;
}

std::uint32_t Sound::GetFrame(std::uint32_t index) const {
  if (kind_ != SOUND_SAMPLES || index >= FrameCount() || !BytesPerFrameOfCode(code_)) return 0;
  return GetSampleFrame(code_, data_, index);
}

void Sound::SetFrame(std::uint32_t index, std::uint32_t frame) {
  if (kind_ != SOUND_SAMPLES || index >= FrameCount() || !block_ || block_->IsReadOnly()) return;
  SetSampleFrame(code_, data_, index, frame);
}

const char* Sound::GetInfo(const char* tag) const {
  const int i = InfoTagIndex(tag);
  return i >= 0 && !info_[i].empty() ? info_[i].c_str() : nullptr;
}

void Sound::SetInfo(const char* tag, const char* text) {
  const int i = InfoTagIndex(tag);
  if (i >= 0) info_[i] = text ? text : "";
}

bool Sound::MakeTempName(char* output, std::uint32_t outputSize) const {
  if (tempDirectory_.empty()) return MakeTempFileName("WAV", output, outputSize) != 0;
  if (outputSize < MAX_PATH) return false;
  return GetTempFileNameA(tempDirectory_.c_str(), "WAV", 0, output) != 0;
}
