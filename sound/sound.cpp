#include "sound/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "gfx/file_mapping_block.h"
#include "gfx/global_memory_block.h"
#include "gfx/make_temp_file_name.h"
#include "gfx/memory_block.h"
#include "gfx/text_string.h"
#include "gfx/wrapped_memory_block.h"
#include "mpadec/mpadec.h"
#include "sound/acm_stream.h"
#include "sound/aiff_file.h"
#include "sound/au_file.h"
#include "sound/format_chain.h"
#include "sound/memory_stream.h"
#include "sound/mpeg_stream.h"
#include "sound/sample_conversion.h"
#include "sound/sample_frames.h"
#include "sound/sound_status.h"
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

// The file readers and writers, whole-sound conversion and decoding.

namespace {

constexpr std::uint32_t kPiece = 16384;

enum SoundFileType { TYPE_UNKNOWN = 0, TYPE_WAVE = 1, TYPE_AU = 2, TYPE_AIFF = 3, TYPE_MPEG = 4 };

int ChooseType(const char* path, std::uint32_t flags, bool reading) {
  const std::uint32_t named = flags >> 16;
  if (named) return named <= 3 || (named == TYPE_MPEG && reading) ? int(named) : TYPE_UNKNOWN;
  TextString extension;
  SplitPath(path, nullptr, nullptr, &extension);
  const char* e = extension.Text();
  if (!lstrcmpiA(e, "wav")) return TYPE_WAVE;
  if (!lstrcmpiA(e, "au") || !lstrcmpiA(e, "snd")) return TYPE_AU;
  if (!lstrcmpiA(e, "aif") || !lstrcmpiA(e, "aiff")) return TYPE_AIFF;
  if (!reading) return TYPE_UNKNOWN;
  for (const char* mpeg : {"mp", "mpa", "mp1", "mp2", "mp3"}) {
    if (!lstrcmpiA(e, mpeg)) return TYPE_MPEG;
  }
  return TYPE_UNKNOWN;
}

void Report(SoundProgress progress, void* datum, int phase, std::uint64_t done,
            std::uint64_t total) {
  if (progress) progress(datum, phase, total ? int(done * 100 / total) : 100);
}

// A conversion's progress passed on as phase 2, mapped onto 0 ... 50.
struct FirstHalf {
  SoundProgress progress;
  void* datum;
  static void Forward(void* self, int, int percent) {
    const auto* f = static_cast<FirstHalf*>(self);
    if (f->progress) f->progress(f->datum, 2, percent * 50 / 100);
  }
};

FileMappingBlock* MapFile(const char* path, std::uint32_t flags, bool readOnly) {
  auto* file = new FileMappingBlock(0, path, (flags & SOUND_FILE_TEMPORARY) != 0, nullptr,
                                    readOnly, true);
  if (!file->Pointer()) {
    delete file;
    return nullptr;
  }
  return file;
}

// Writes all bytes or reports false.
bool WriteAll(HANDLE file, const void* bytes, std::uint32_t size) {
  DWORD written = 0;
  return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

class FileHandle {
 public:
  explicit FileHandle(const char* path)
      : handle_(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~FileHandle() { Close(); }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// The samples of a PCM sound (code 1 to 4) as AU and AIFF store them, in
// pieces of kPiece frames.
SoundStatus WriteBigEndianFrames(HANDLE file, const std::uint8_t* pcm, std::uint32_t code,
                         std::uint32_t frames, SoundProgress progress, void* datum) {
  const std::uint32_t perFrame = BytesPerFrameOfCode(code);
  std::vector<std::uint8_t> piece(std::size_t(kPiece) * perFrame);
  for (std::uint32_t first = 0; first < frames; first += kPiece) {
    const std::uint32_t n = std::min(kPiece, frames - first);
    EncodeBigEndianFrames(pcm, code, piece.data(), first, n);
    if (!WriteAll(file, piece.data(), n * perFrame)) return SOUND_WRITE_FAILED;
    Report(progress, datum, 0, first + n, frames);
  }
  return SOUND_OK;
}

std::uint32_t StorageFlags(std::uint32_t flags) { return flags & (SOUND_IN_MEMORY | SOUND_ON_DISK); }

}  // namespace

MemoryBlock* Sound::NewSampleBlock(std::uint32_t size, bool onDisk) const {
  MemoryBlock* block = nullptr;
  if (onDisk) {
    char name[MAX_PATH];
    if (!MakeTempName(name, sizeof name)) return nullptr;
    block = new FileMappingBlock(size, name, true, nullptr, false, true);
  } else {
    block = new GlobalMemoryBlock(size, true);
  }
  if (!block->Pointer()) {
    delete block;
    return nullptr;
  }
  return block;
}

// Where the samples go: the flags' choice, else the sound's own default.
bool Sound::OnDisk(std::uint32_t flags) const {
  if (flags & SOUND_ON_DISK) return true;
  if (flags & SOUND_IN_MEMORY) return false;
  return diskBacked_;
}

SoundStatus Sound::Load(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  Clear();
  switch (ChooseType(path, flags, true)) {
    case TYPE_WAVE: return LoadWave(path, flags, progress, datum);
    case TYPE_AU: return LoadAu(path, flags, progress, datum);
    case TYPE_AIFF: return LoadAiff(path, flags, progress, datum);
    case TYPE_MPEG: return LoadMpeg(path, flags, progress, datum);
    default: return SOUND_READ_UNKNOWN_TYPE;
  }
}

SoundStatus Sound::LoadWave(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  const bool onDisk = OnDisk(flags);
  const bool keepMapping = onDisk && !(flags & SOUND_HEADER);
  FileMappingBlock* file = MapFile(path, flags, !keepMapping || (flags & SOUND_MAP_READ_ONLY));
  if (!file) return SOUND_NOT_READABLE;
  if (flags & SOUND_HEADER) {
    const bool parsed = ParseWave(file, true);
    delete block_;
    block_ = nullptr;
    data_ = nullptr;
    dataSize_ = 0;
    if (!parsed) return SOUND_BAD_WAVE;
    kind_ = SOUND_HEADER_ONLY;
    return SOUND_OK;
  }
  MemoryBlock* image = file;
  if (!onDisk) {
    auto* copy = new GlobalMemoryBlock(file->Size(), true);
    if (!copy->Pointer()) {
      delete copy;
      delete file;
      return SOUND_NO_MEMORY;
    }
    auto* to = static_cast<std::uint8_t*>(copy->Pointer());
    const auto* from = static_cast<const std::uint8_t*>(file->Pointer());
    for (std::uint32_t done = 0; done < file->Size();) {
      const std::uint32_t n = std::min(kPiece, file->Size() - done);
      std::memcpy(to + done, from + done, n);
      done += n;
      Report(progress, datum, 0, 50 + std::uint64_t(done) * 50 / file->Size(), 100);
    }
    delete file;
    image = copy;
  }
  if (!ParseWave(image, true)) return SOUND_BAD_WAVE;
  if ((flags & SOUND_DECODE) && Format()->wFormatTag != WAVE_FORMAT_PCM)
    return LoadConvertedWave(path, flags, progress, datum);
  return SOUND_OK;
}

// The loaded non-PCM sound saved as 16-bit PCM to a temporary file, and that
// file loaded in its place.
SoundStatus Sound::LoadConvertedWave(const char* path, std::uint32_t flags, SoundProgress progress,
                             void* datum) {
  WAVEFORMATEX pcm;
  MakePcmFormat(&pcm, Format()->nSamplesPerSec, 16, Format()->nChannels);
  char name[MAX_PATH];
  if (!MakeTempName(name, sizeof name)) return SOUND_CANNOT_CREATE;
  FirstHalf forward = {progress, datum};
  const SoundStatus saved = SaveWave(name, &pcm, progress ? FirstHalf::Forward : nullptr, &forward);
  if (saved != SOUND_OK) {
    DeleteFileA(name);
    return saved;
  }
  const std::uint32_t again = SOUND_TYPE_WAVE | SOUND_FILE_TEMPORARY | StorageFlags(flags);
  return Load(name, again, progress, datum);
}

SoundStatus Sound::LoadAu(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  std::unique_ptr<FileMappingBlock> file(MapFile(path, flags, true));
  if (!file) return SOUND_NOT_READABLE;
  const auto* bytes = static_cast<const std::uint8_t*>(file->Pointer());
  AuHeader h;
  const SoundStatus status = ParseAuHeader(bytes, file->Size(), &h);
  if (status != SOUND_OK) return status;
  const bool companded = h.encoding == AU_MULAW || h.encoding == AU_ALAW;
  WAVEFORMATEX format, companding;
  AuSoundFormat(h, &format);
  AuCompandedFormat(h, &companding);
  if (flags & SOUND_HEADER) {
    SetFormat(companded ? &companding : &format);
    kind_ = SOUND_HEADER_ONLY;
    return SOUND_OK;
  }
  if (h.frames == 0) return SOUND_BAD_HEADER;
  SetFormat(&format);
  const std::uint8_t* samples = bytes + h.dataOffset;
  if (companded) {
    MemoryBlock* out = nullptr;
    const SoundStatus converted = ConvertSamples(&companding, &format, samples, h.frames * h.BlockAlign(),
                                         &out, progress, datum);
    if (converted != SOUND_OK) return converted;
    return TakeSamples(out) ? SOUND_OK : SOUND_BAD_WAVE;
  }
  return TakeBigEndianSamples(samples, format.wBitsPerSample, h.BlockAlign(), h.frames,
                              OnDisk(flags), progress, datum);
}

SoundStatus Sound::LoadAiff(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  std::unique_ptr<FileMappingBlock> file(MapFile(path, flags, true));
  if (!file) return SOUND_NOT_READABLE;
  const auto* bytes = static_cast<const std::uint8_t*>(file->Pointer());
  AiffInfo info;
  const SoundStatus status = ParseAiff(bytes, file->Size(), &info);
  if (status != SOUND_OK) return status;
  WAVEFORMATEX format;
  MakePcmFormat(&format, info.rate, std::uint16_t(info.bits), std::uint16_t(info.channels));
  SetFormat(&format);
  if (flags & SOUND_HEADER) {
    kind_ = SOUND_HEADER_ONLY;
    return SOUND_OK;
  }
  if (info.frames == 0) return SOUND_BAD_HEADER;
  return TakeBigEndianSamples(bytes + info.dataOffset, info.bits, info.BlockAlign(), info.frames,
                              diskBacked_, progress, datum);
}

// The big-endian samples of an AU or AIFF file as the sound's own PCM, in a
// block in memory or on disk, decoded in pieces of kPiece frames.
SoundStatus Sound::TakeBigEndianSamples(const std::uint8_t* samples, std::uint32_t bits,
                                std::uint32_t blockAlign, std::uint32_t frames, bool onDisk,
                                SoundProgress progress, void* datum) {
  MemoryBlock* block = NewSampleBlock(frames * BytesPerFrameOfCode(code_), onDisk);
  if (!block) return SOUND_NO_MEMORY;
  auto* pcm = static_cast<std::uint8_t*>(block->Pointer());
  for (std::uint32_t first = 0; first < frames; first += kPiece) {
    const std::uint32_t n = std::min(kPiece, frames - first);
    DecodeBigEndianFrames(samples + std::size_t(first) * blockAlign, bits, code_, pcm, first, n);
    Report(progress, datum, 0, first + n, frames);
  }
  // The block has bytes (frames > 0 was checked): taking it cannot fail.
  (void)TakeSamples(block);
  return SOUND_OK;
}

SoundStatus Sound::LoadMpeg(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  MemoryBlock* file = MapFile(path, flags, true);
  if (!file) return SOUND_NOT_READABLE;
  MemoryBlock* block = file;
  if (StorageFlags(flags) == SOUND_IN_MEMORY) {
    auto* copy = new GlobalMemoryBlock(file->Size(), true);
    if (!copy->Pointer()) {
      delete copy;
      delete file;
      return SOUND_NO_MEMORY;
    }
    std::memcpy(copy->Pointer(), file->Pointer(), file->Size());
    delete file;
    block = copy;
  }
  auto* stream = new MpegStream(block);
  if (!stream->IsOpen()) {
    delete stream;
    return SOUND_WAVE_WRITE_FAILED;
  }
  decoderInfo_.assign(mpadec::kInfoSize, 0);
  stream->GetInfo(decoderInfo_.data());
  std::uint32_t rate, channels;
  std::memcpy(&rate, decoderInfo_.data() + mpadec::INFO_RATE, 4);
  std::memcpy(&channels, decoderInfo_.data() + mpadec::INFO_CHANNELS, 4);
  if (rate == 0 || channels == 0 || channels > 2) {
    delete stream;
    decoderInfo_.clear();
    return SOUND_WAVE_WRITE_FAILED;
  }
  WAVEFORMATEX format;
  MakePcmFormat(&format, rate, 16, std::uint16_t(channels));
  SetFormat(&format);
  if (flags & SOUND_HEADER) {
    delete stream;
    kind_ = SOUND_HEADER_ONLY;
    return SOUND_OK;
  }
  stream_ = stream;
  kind_ = SOUND_STREAMED;
  streaming_ = true;
  return (flags & SOUND_DECODE) ? DecodeToFile(progress, datum) : SOUND_OK;
}

SoundStatus Sound::Save(const char* path, std::uint32_t flags, const void* target,
                SoundProgress progress, void* datum) {
  switch (ChooseType(path, flags, false)) {
    case TYPE_WAVE:
      return SaveWave(path, static_cast<const WAVEFORMATEX*>(target), progress, datum);
    case TYPE_AU:
      return SaveAu(path, std::uint32_t(reinterpret_cast<std::uintptr_t>(target)), progress,
                    datum);
    case TYPE_AIFF: return SaveAiff(path, progress, datum);
    default: return SOUND_WRITE_UNSUPPORTED;
  }
}

SoundStatus Sound::SaveWave(const char* path, const WAVEFORMATEX* target, SoundProgress progress,
                    void* datum) {
  if (kind_ != SOUND_SAMPLES) return SOUND_NO_SAMPLES;
  const std::vector<std::uint8_t> to = CopyFormat(target ? target : Format());
  if (!GetInfo("INAM")) {
    TextString title;
    SplitPath(path, nullptr, &title, nullptr);
    const std::int32_t dot = title.ReverseFind('.');
    SetInfo("INAM", (dot >= 0 ? title.Mid(0, dot) : title).Text());
  }
  HMMIO h = mmioOpenA(const_cast<char*>(path), nullptr, MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF);
  if (!h) return SOUND_CANNOT_CREATE;
  auto fail = [h](SoundStatus code) {
    mmioClose(h, 0);
    return code;
  };
  MMCKINFO riff = {}, chunk = {};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if (mmioCreateChunk(h, &riff, MMIO_CREATERIFF)) return fail(SOUND_WAVE_WRITE_FAILED);
  chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
  const LONG formatSize = LONG(to.size());
  if (mmioCreateChunk(h, &chunk, 0) ||
      mmioWrite(h, reinterpret_cast<const char*>(to.data()), formatSize) != formatSize ||
      mmioAscend(h, &chunk, 0))
    return fail(SOUND_WAVE_WRITE_FAILED);
  chunk = {};
  chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioCreateChunk(h, &chunk, 0)) return fail(SOUND_WAVE_WRITE_FAILED);
  FormatChain chain(Format(), AsFormat(to),
                    new MemoryStream(new WrappedMemoryBlock(data_, dataSize_, false, true), true));
  if (chain.IsEof()) return fail(SOUND_UNSUPPORTED_ENCODING);
  std::vector<char> piece(kPiece);
  const std::uint32_t expected = chain.Length();
  std::uint32_t written = 0;
  for (;;) {
    const std::uint32_t n = chain.Read(piece.data(), kPiece);
    if (n == 0) break;
    if (mmioWrite(h, piece.data(), LONG(n)) != LONG(n)) return fail(SOUND_WAVE_WRITE_FAILED);
    written += n;
    Report(progress, datum, 0, std::min(written, expected), expected);
  }
  if (written == 0) return fail(SOUND_UNSUPPORTED_ENCODING);
  if (mmioAscend(h, &chunk, 0)) return fail(SOUND_WAVE_WRITE_FAILED);
  MMCKINFO list = {};
  list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
  if (mmioCreateChunk(h, &list, MMIO_CREATELIST)) return fail(SOUND_WAVE_WRITE_FAILED);
  for (int i = 0; i < kInfoTagCount; ++i) {
    if (info_[i].empty()) continue;
    MMCKINFO text = {};
    text.ckid = mmioStringToFOURCCA(kInfoTags[i], 0);
    const LONG size = LONG(info_[i].size() + 1);
    if (mmioCreateChunk(h, &text, 0) || mmioWrite(h, info_[i].c_str(), size) != size ||
        mmioAscend(h, &text, 0))
      return fail(SOUND_WAVE_WRITE_FAILED);
  }
  if (mmioAscend(h, &list, 0) || mmioAscend(h, &riff, 0) || mmioFlush(h, 0))
    return fail(SOUND_WAVE_WRITE_FAILED);
  return mmioClose(h, 0) ? SOUND_WAVE_WRITE_FAILED : SOUND_OK;
}

SoundStatus Sound::SaveAu(const char* path, std::uint32_t encoding, SoundProgress progress,
                  void* datum) {
  if (kind_ != SOUND_SAMPLES) return SOUND_NO_SAMPLES;
  const WAVEFORMATEX* f = Format();
  std::uint32_t au;
  if (encoding == AU_TARGET_LINEAR && (code_ == 1 || code_ == 2)) au = AU_LINEAR_8;
  else if (encoding == AU_TARGET_LINEAR && (code_ == 3 || code_ == 4)) au = AU_LINEAR_16;
  else if (encoding == AU_TARGET_MULAW) au = AU_MULAW;
  else if (encoding == AU_TARGET_ALAW) au = AU_ALAW;
  else return SOUND_WRITE_UNSUPPORTED;
  const std::uint32_t frames = FrameCount();
  FileHandle file(path);
  if (!file.ok()) return SOUND_CANNOT_CREATE;
  std::uint8_t header[kAuHeaderSize];
  WriteAuHeader(au, f->nSamplesPerSec, f->nChannels, frames, header);
  if (!WriteAll(file.get(), header, sizeof header)) return SOUND_WRITE_FAILED;
  if (au == AU_LINEAR_8 || au == AU_LINEAR_16)
    return WriteBigEndianFrames(file.get(), data_, code_, frames, progress, datum);
  WAVEFORMATEX companded;
  MakePcmFormat(&companded, f->nSamplesPerSec, 8, f->nChannels);
  companded.wFormatTag = au == AU_ALAW ? 6 : 7;
  FormatChain chain(f, &companded,
                    new MemoryStream(new WrappedMemoryBlock(data_, dataSize_, false, true), true));
  std::vector<std::uint8_t> piece(kPiece);
  std::uint32_t written = 0;
  for (;;) {
    const std::uint32_t n = chain.Read(piece.data(), kPiece);
    if (n == 0) break;
    if (!WriteAll(file.get(), piece.data(), n)) return SOUND_WRITE_FAILED;
    written += n;
    Report(progress, datum, 0, std::min(written, frames * f->nChannels), frames * f->nChannels);
  }
  return written ? SOUND_OK : SOUND_NO_CONVERSION;
}

SoundStatus Sound::SaveAiff(const char* path, SoundProgress progress, void* datum) {
  if (kind_ != SOUND_SAMPLES) return SOUND_NO_SAMPLES;
  if (code_ == 0) return SOUND_WRITE_UNSUPPORTED;
  const WAVEFORMATEX* f = Format();
  const std::uint32_t frames = FrameCount();
  FileHandle file(path);
  if (!file.ok()) return SOUND_CANNOT_CREATE;
  std::uint8_t header[kAiffHeaderSize];
  WriteAiffHeader(f->nChannels, f->wBitsPerSample, f->nSamplesPerSec, frames, header);
  if (!WriteAll(file.get(), header, sizeof header)) return SOUND_WRITE_FAILED;
  return WriteBigEndianFrames(file.get(), data_, code_, frames, progress, datum);
}

SoundStatus Sound::ConvertTo(const WAVEFORMATEX* format) {
  if (kind_ != SOUND_SAMPLES) return SOUND_NO_SAMPLES;
  WAVEFORMATEX step;
  if (Format()->wFormatTag != WAVE_FORMAT_PCM) {
    MakePcmFormat(&step, Format()->nSamplesPerSec, 16, Format()->nChannels);
    if (const SoundStatus status = ConvertStep(&step)) return status;
  }
  if (Format()->nSamplesPerSec != format->nSamplesPerSec &&
      format->wFormatTag != WAVE_FORMAT_PCM) {
    MakePcmFormat(&step, format->nSamplesPerSec, 16, Format()->nChannels);
    if (const SoundStatus status = ConvertStep(&step)) return status;
  }
  if (!SameSampleLayout(*Format(), *format)) return ConvertStep(format);
  return SOUND_OK;
}

// One step: through a temporary WAVE file when disk backed, else in memory.
// The INFO texts stay.
SoundStatus Sound::ConvertStep(const WAVEFORMATEX* format) {
  if (diskBacked_) {
    char name[MAX_PATH];
    if (!MakeTempName(name, sizeof name)) return SOUND_CANNOT_CREATE;
    const SoundStatus saved = SaveWave(name, format, nullptr, nullptr);
    if (saved != SOUND_OK) {
      DeleteFileA(name);
      return saved;
    }
    return Load(name, SOUND_TYPE_WAVE | SOUND_FILE_TEMPORARY | SOUND_ON_DISK, nullptr, nullptr);
  }
  MemoryBlock* out = nullptr;
  const SoundStatus status = ConvertSamples(Format(), format, data_, dataSize_, &out, nullptr, nullptr);
  if (status != SOUND_OK) return status;
  std::string texts[kInfoTagCount];
  std::copy(std::begin(info_), std::end(info_), std::begin(texts));
  const bool taken = SetSamples(format, out, true);
  std::copy(std::begin(texts), std::end(texts), std::begin(info_));
  return taken ? SOUND_OK : SOUND_NO_SAMPLES;
}

SoundStatus Sound::DecodeToFile(SoundProgress progress, void* datum) {
  if (kind_ != SOUND_STREAMED || !stream_) return SOUND_NOT_STREAMED;
  char name[MAX_PATH];
  if (!MakeTempName(name, sizeof name)) return SOUND_CANNOT_CREATE;
  FileHandle file(name);
  if (!file.ok()) return SOUND_CANNOT_CREATE;
  stream_->Seek(0, SEEK_FROM_START);
  const std::uint32_t length = stream_->Length();
  std::vector<std::uint8_t> piece(kPiece);
  std::uint32_t written = 0;
  for (;;) {
    const std::uint32_t n = stream_->Read(piece.data(), kPiece);
    if (n == 0) break;
    if (!WriteAll(file.get(), piece.data(), n)) {
      file.Close();
      DeleteFileA(name);
      return SOUND_WRITE_FAILED;
    }
    written += n;
    Report(progress, datum, 2, std::min(written, length), length);
  }
  file.Close();
  auto* block = new FileMappingBlock(0, name, true, nullptr, false, true);
  if (!block->Pointer() || block->Size() == 0) {
    delete block;
    DeleteFileA(name);
    return SOUND_BAD_WAVE;
  }
  delete stream_;
  stream_ = nullptr;
  streaming_ = false;
  delete block_;
  block_ = nullptr;
  // The file has bytes (checked above): taking them cannot fail.
  (void)TakeSamples(block);
  return SOUND_OK;
}
