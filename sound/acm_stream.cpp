#include "sound/acm_stream.h"

#include <algorithm>
#include <cstring>

#include "sound/wave_format.h"

namespace {

constexpr WORD kTagAlaw = 6;
constexpr WORD kTagMulaw = 7;
constexpr std::uint32_t kCompandingRate = 8000;

bool IsCompanded(const WAVEFORMATEX& f) {
  return f.wFormatTag == kTagAlaw || f.wFormatTag == kTagMulaw;
}

// Between mu-law or A-law and PCM at one rate: sample by sample, whatever the rate.
bool IsCompanding(const WAVEFORMATEX& from, const WAVEFORMATEX& to) {
  const bool pair = (IsCompanded(from) && to.wFormatTag == WAVE_FORMAT_PCM) ||
                    (IsCompanded(to) && from.wFormatTag == WAVE_FORMAT_PCM);
  return pair && from.nSamplesPerSec == to.nSamplesPerSec;
}

// The format at another rate, its byte rate with it.
std::vector<std::uint8_t> AtRate(const WAVEFORMATEX* format, std::uint32_t rate) {
  std::vector<std::uint8_t> copy = CopyFormat(format);
  auto* f = reinterpret_cast<WAVEFORMATEX*>(copy.data());
  f->nSamplesPerSec = rate;
  f->nAvgBytesPerSec = rate * f->nBlockAlign;
  return copy;
}

// The platform's G.711 codec opens only at the few rates it lists (8000,
// 11025, 22050, 44100 Hz under Wine). Companding does not depend on the rate,
// so a companding stream refused at its own rate is opened at 8000 Hz.
MMRESULT OpenStream(HACMSTREAM* stream, WAVEFORMATEX* from, WAVEFORMATEX* to) {
  const DWORD flags = ACM_STREAMOPENF_NONREALTIME;
  const MMRESULT result = acmStreamOpen(stream, nullptr, from, to, nullptr, 0, 0, flags);
  if (result == 0 || !IsCompanding(*from, *to) || from->nSamplesPerSec == kCompandingRate)
    return result;
  std::vector<std::uint8_t> source = AtRate(from, kCompandingRate);
  std::vector<std::uint8_t> target = AtRate(to, kCompandingRate);
  return acmStreamOpen(stream, nullptr, reinterpret_cast<WAVEFORMATEX*>(source.data()),
                       reinterpret_cast<WAVEFORMATEX*>(target.data()), nullptr, 0, 0, flags);
}

}  // namespace

AcmStream::AcmStream(const WAVEFORMATEX* sourceFormat, const WAVEFORMATEX* targetFormat,
                     SampleStream* source)
    : sourceFormat_(CopyFormat(sourceFormat)),
      targetFormat_(CopyFormat(targetFormat)),
      source_(source) {
  if (Open()) {
    ready_ = true;
    open_ = 1;
  }
}

bool AcmStream::Open() {
  auto* from = const_cast<WAVEFORMATEX*>(AsFormat(sourceFormat_));
  auto* to = const_cast<WAVEFORMATEX*>(AsFormat(targetFormat_));
  if (!source_ || from->nBlockAlign == 0 || from->nAvgBytesPerSec == 0 ||
      to->nAvgBytesPerSec == 0)
    return false;
  if (OpenStream(&stream_, from, to)) return false;
  // A quarter second, and never less than one block.
  sourceSize_ = std::max<std::uint32_t>(from->nAvgBytesPerSec / 4, from->nBlockAlign);
  DWORD target = 0;
  if (acmStreamSize(stream_, sourceSize_, &target, ACM_STREAMSIZEF_SOURCE) || target == 0)
    return false;
  targetSize_ = target;
  header_.cbStruct = sizeof header_;
  header_.pbSrc = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, sourceSize_));
  header_.cbSrcLength = sourceSize_;
  header_.pbDst = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, targetSize_));
  header_.cbDstLength = targetSize_;
  leftoverBuffer_ = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, sourceSize_));
  if (!header_.pbSrc || !header_.pbDst || !leftoverBuffer_) return false;
  return acmStreamPrepareHeader(stream_, &header_, 0) == 0;
}

AcmStream::~AcmStream() {
  if (header_.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) {
    header_.cbSrcLength = sourceSize_;
    header_.cbDstLength = targetSize_;
    acmStreamUnprepareHeader(stream_, &header_, 0);
  }
  if (header_.pbSrc) GlobalFree(header_.pbSrc);
  if (header_.pbDst) GlobalFree(header_.pbDst);
  if (leftoverBuffer_) GlobalFree(leftoverBuffer_);
  if (stream_) acmStreamClose(stream_, 0);
  delete source_;
}

// Converts the next piece; false when nothing more can come.
bool AcmStream::Refill() {
  const std::uint32_t align = AsFormat(sourceFormat_)->nBlockAlign;
  const std::uint32_t usable = sourceSize_ - sourceSize_ % align;
  std::memcpy(header_.pbSrc, leftoverBuffer_, leftover_);
  const std::uint32_t room = usable > leftover_ ? usable - leftover_ : 0;
  const std::uint32_t got = room ? source_->Read(header_.pbSrc + leftover_, room) : 0;
  sourceEnded_ = source_->IsEof();
  header_.cbSrcLength = leftover_ + got;
  header_.cbDstLength = targetSize_;
  header_.cbSrcLengthUsed = 0;
  header_.cbDstLengthUsed = 0;
  readPosition_ = 0;
  const DWORD flags = sourceEnded_ ? 0 : ACM_STREAMCONVERTF_BLOCKALIGN;
  if (header_.cbSrcLength == 0 ||
      acmStreamConvert(stream_, &header_, flags) != 0) {
    header_.cbDstLengthUsed = 0;
    leftover_ = 0;
    return false;
  }
  const std::uint32_t used = std::min<std::uint32_t>(header_.cbSrcLengthUsed, header_.cbSrcLength);
  leftover_ = header_.cbSrcLength - used;
  std::memcpy(leftoverBuffer_, header_.pbSrc + used, leftover_);
  // Nothing converted and nothing taken: the codec waits for bytes that will not come.
  return header_.cbDstLengthUsed != 0 || used != 0 || got != 0;
}

std::uint32_t AcmStream::Read(void* destination, std::uint32_t count) {
  if (!ready_) return 0;
  auto* out = static_cast<std::uint8_t*>(destination);
  std::uint32_t delivered = 0;
  while (delivered < count) {
    const std::uint32_t available = header_.cbDstLengthUsed - readPosition_;
    if (available == 0) {
      if (sourceEnded_ && leftover_ == 0) break;
      if (!Refill()) break;
      if (header_.cbDstLengthUsed == 0 && sourceEnded_) break;
      continue;
    }
    const std::uint32_t n = std::min(available, count - delivered);
    std::memcpy(out + delivered, header_.pbDst + readPosition_, n);
    readPosition_ += n;
    delivered += n;
  }
  return delivered;
}

bool AcmStream::IsEof() {
  if (!ready_ || !open_) return true;
  return source_->IsEof() && readPosition_ >= header_.cbDstLengthUsed;
}

std::uint32_t AcmStream::Capabilities() { return 1; }

std::int64_t AcmStream::ToTarget(std::int64_t sourceBytes) const {
  return sourceBytes * AsFormat(targetFormat_)->nAvgBytesPerSec /
         AsFormat(sourceFormat_)->nAvgBytesPerSec;
}

std::uint32_t AcmStream::Length() {
  if (!ready_ || !open_) return 0;
  return std::uint32_t(ToTarget(source_->Length()));
}

std::int32_t AcmStream::Seek(std::int32_t offset, std::int32_t origin) {
  if (!source_ || !ready_ || !open_) return 0;
  const std::int64_t length = Length();
  const std::int64_t current = ToTarget(source_->Seek(0, SEEK_FROM_CURRENT));
  std::int64_t target;
  switch (origin) {
    case SEEK_FROM_START: target = offset; break;
    case SEEK_FROM_CURRENT:
      if (offset == 0) return std::int32_t(std::min(current, length));
      target = current + offset;
      break;
    case SEEK_FROM_END: target = length + offset; break;
    default: return std::int32_t(current);
  }
  target = std::clamp<std::int64_t>(target, 0, length);
  const WAVEFORMATEX* from = AsFormat(sourceFormat_);
  std::int64_t sourceBytes = target * from->nAvgBytesPerSec / AsFormat(targetFormat_)->nAvgBytesPerSec;
  sourceBytes -= sourceBytes % from->nBlockAlign;
  const std::int32_t now = source_->Seek(std::int32_t(sourceBytes), SEEK_FROM_START);
  header_.cbDstLengthUsed = 0;
  readPosition_ = 0;
  leftover_ = 0;
  sourceEnded_ = false;
  return std::int32_t(ToTarget(now));
}
