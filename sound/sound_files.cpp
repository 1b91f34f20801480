// Sound: the file readers and writers, whole-sound conversion and decoding.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "gfx/file_mapping_block.h"
#include "gfx/global_memory_block.h"
#include "gfx/text_string.h"
#include "gfx/wrapped_memory_block.h"
#include "sound/acm_stream.h"
#include "sound/aiff_file.h"
#include "sound/au_file.h"
#include "sound/format_chain.h"
#include "sound/memory_stream.h"
#include "sound/mpeg_stream.h"
#include "sound/sample_conversion.h"
#include "sound/sample_frames.h"
#include "sound/sound.h"
#include "sound/sound_status.h"
#include "sound/wave_format.h"

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
int WriteBigEndianFrames(HANDLE file, const std::uint8_t* pcm, std::uint32_t code,
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

int Sound::Load(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  Clear();
  switch (ChooseType(path, flags, true)) {
    case TYPE_WAVE: return LoadWave(path, flags, progress, datum);
    case TYPE_AU: return LoadAu(path, flags, progress, datum);
    case TYPE_AIFF: return LoadAiff(path, flags, progress, datum);
    case TYPE_MPEG: return LoadMpeg(path, flags, progress, datum);
    default: return SOUND_READ_UNKNOWN_TYPE;
  }
}

int Sound::LoadWave(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  const bool onDisk = (flags & SOUND_ON_DISK) ? true : (flags & SOUND_IN_MEMORY) ? false : diskBacked_;
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
int Sound::LoadConvertedWave(const char* path, std::uint32_t flags, SoundProgress progress,
                             void* datum) {
  WAVEFORMATEX pcm;
  MakePcmFormat(&pcm, Format()->nSamplesPerSec, 16, Format()->nChannels);
  char name[MAX_PATH];
  if (!MakeTempName(name, sizeof name)) return SOUND_CANNOT_CREATE;
  FirstHalf forward = {progress, datum};
  const int saved = SaveWave(name, &pcm, progress ? FirstHalf::Forward : nullptr, &forward);
  if (saved != SOUND_OK) {
    DeleteFileA(name);
    return saved;
  }
  const std::uint32_t again = SOUND_TYPE_WAVE | SOUND_FILE_TEMPORARY | StorageFlags(flags);
  return Load(name, again, progress, datum);
}

int Sound::LoadAu(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  std::unique_ptr<FileMappingBlock> file(MapFile(path, flags, true));
  if (!file) return SOUND_NOT_READABLE;
  const auto* bytes = static_cast<const std::uint8_t*>(file->Pointer());
  AuHeader h;
  const int status = ParseAuHeader(bytes, file->Size(), &h);
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
    const int converted = ConvertSamples(&companding, &format, samples, h.frames * h.BlockAlign(),
                                         &out, progress, datum);
    if (converted != SOUND_OK) return converted;
    return TakeSamples(out) ? SOUND_OK : SOUND_BAD_WAVE;
  }
  const bool onDisk = (flags & SOUND_ON_DISK) ? true : (flags & SOUND_IN_MEMORY) ? false : diskBacked_;
  MemoryBlock* block = NewSampleBlock(h.frames * BytesPerFrameOfCode(code_), onDisk);
  if (!block) return SOUND_NO_MEMORY;
  auto* pcm = static_cast<std::uint8_t*>(block->Pointer());
  for (std::uint32_t first = 0; first < h.frames; first += kPiece) {
    const std::uint32_t n = std::min(kPiece, h.frames - first);
    DecodeBigEndianFrames(samples + std::size_t(first) * h.BlockAlign(), format.wBitsPerSample,
                          code_, pcm, first, n);
    Report(progress, datum, 0, first + n, h.frames);
  }
  TakeSamples(block);
  return SOUND_OK;
}

int Sound::LoadAiff(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
  std::unique_ptr<FileMappingBlock> file(MapFile(path, flags, true));
  if (!file) return SOUND_NOT_READABLE;
  const auto* bytes = static_cast<const std::uint8_t*>(file->Pointer());
  AiffInfo info;
  const int status = ParseAiff(bytes, file->Size(), &info);
  if (status != SOUND_OK) return status;
  WAVEFORMATEX format;
  MakePcmFormat(&format, info.rate, std::uint16_t(info.bits), std::uint16_t(info.channels));
  SetFormat(&format);
  if (flags & SOUND_HEADER) {
    kind_ = SOUND_HEADER_ONLY;
    return SOUND_OK;
  }
  if (info.frames == 0) return SOUND_BAD_HEADER;
  MemoryBlock* block = NewSampleBlock(info.frames * BytesPerFrameOfCode(code_), diskBacked_);
  if (!block) return SOUND_NO_MEMORY;
  auto* pcm = static_cast<std::uint8_t*>(block->Pointer());
  for (std::uint32_t first = 0; first < info.frames; first += kPiece) {
    const std::uint32_t n = std::min(kPiece, info.frames - first);
    DecodeBigEndianFrames(bytes + info.dataOffset + std::size_t(first) * info.BlockAlign(),
                          info.bits, code_, pcm, first, n);
    Report(progress, datum, 0, first + n, info.frames);
  }
  TakeSamples(block);
  return SOUND_OK;
}

int Sound::LoadMpeg(const char* path, std::uint32_t flags, SoundProgress progress, void* datum) {
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
  decoderInfo_.assign(kMpegInfoSize, 0);
  stream->GetInfo(decoderInfo_.data());
  std::uint32_t rate, channels;
  std::memcpy(&rate, decoderInfo_.data() + 16, 4);
  std::memcpy(&channels, decoderInfo_.data() + 20, 4);
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

int Sound::Save(const char* path, std::uint32_t flags, const void* target,
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

int Sound::SaveWave(const char* path, const WAVEFORMATEX* target, SoundProgress progress,
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
  auto fail = [h](int code) {
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

int Sound::SaveAu(const char* path, std::uint32_t encoding, SoundProgress progress,
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

int Sound::SaveAiff(const char* path, SoundProgress progress, void* datum) {
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

int Sound::ConvertTo(const WAVEFORMATEX* format) {
  if (kind_ != SOUND_SAMPLES) return SOUND_NO_SAMPLES;
  WAVEFORMATEX step;
  if (Format()->wFormatTag != WAVE_FORMAT_PCM) {
    MakePcmFormat(&step, Format()->nSamplesPerSec, 16, Format()->nChannels);
    if (const int status = ConvertStep(&step)) return status;
  }
  if (Format()->nSamplesPerSec != format->nSamplesPerSec &&
      format->wFormatTag != WAVE_FORMAT_PCM) {
    MakePcmFormat(&step, format->nSamplesPerSec, 16, Format()->nChannels);
    if (const int status = ConvertStep(&step)) return status;
  }
  if (!SameSampleLayout(*Format(), *format)) return ConvertStep(format);
  return SOUND_OK;
}

// One step: through a temporary WAVE file when disk backed, else in memory.
// The INFO texts stay.
int Sound::ConvertStep(const WAVEFORMATEX* format) {
  if (diskBacked_) {
    char name[MAX_PATH];
    if (!MakeTempName(name, sizeof name)) return SOUND_CANNOT_CREATE;
    const int saved = SaveWave(name, format, nullptr, nullptr);
    if (saved != SOUND_OK) {
      DeleteFileA(name);
      return saved;
    }
    return Load(name, SOUND_TYPE_WAVE | SOUND_FILE_TEMPORARY | SOUND_ON_DISK, nullptr, nullptr);
  }
  MemoryBlock* out = nullptr;
  const int status = ConvertSamples(Format(), format, data_, dataSize_, &out, nullptr, nullptr);
  if (status != SOUND_OK) return status;
  std::string texts[kInfoTagCount];
  std::copy(std::begin(info_), std::end(info_), std::begin(texts));
  SetSamples(format, out, true);
  std::copy(std::begin(texts), std::end(texts), std::begin(info_));
  return SOUND_OK;
}

int Sound::DecodeToFile(SoundProgress progress, void* datum) {
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
  TakeSamples(block);
  return SOUND_OK;
}
