#include "mpadec/mpa_decoder.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <mpg123.h>

#include "mpadec/mpadec.h"

namespace {

constexpr std::uint32_t kMaxLength = 0x7FFFFFFF;
constexpr std::uint32_t kBytesPerSample = 2;
// Reads in a row that give nothing before the decoder counts as ended.
constexpr int kMaxIdleReads = 8;

mpg123_ssize_t ReadCallback(void* decoder, void* destination, size_t count) {
  return mpg123_ssize_t(static_cast<MpaDecoder*>(decoder)->ReadImage(destination, count));
}

off_t SeekCallback(void* decoder, off_t offset, int whence) {
  return off_t(static_cast<MpaDecoder*>(decoder)->SeekImage(long(offset), whence));
}

void Put32(std::uint8_t* record, std::uint32_t at, std::uint32_t value) {
  std::memcpy(record + at, &value, 4);
}

}  // namespace

MpaDecoder::MpaDecoder(const std::uint8_t* image, std::uint32_t size)
    : image_(image), size_(image && size <= kMaxLength ? size : 0) {
  if (size_ == 0) return;
  // The first opening finds the file's format; the second fixes the output to it.
  if (!Open(false)) return;
  Close();
  if (!Open(true) || !Measure()) Close();
}

MpaDecoder::~MpaDecoder() { Close(); }

bool MpaDecoder::Open(bool fixedFormat) {
  imagePosition_ = 0;
  handle_ = mpg123_new(nullptr, nullptr);
  if (!handle_) return false;
  mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_format_none(handle_);
  if (fixedFormat) {
    const int channels = channels_ == 1 ? MPG123_MONO : MPG123_STEREO;
    mpg123_format(handle_, long(rate_), channels, MPG123_ENC_SIGNED_16);
  } else {
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
      mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_replace_reader_handle(handle_, ReadCallback, SeekCallback, nullptr) != MPG123_OK ||
      mpg123_open_handle(handle_, this) != MPG123_OK ||
      mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) {
    Close();
    return false;
  }
  if (rate <= 0 || (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) {
    Close();
    return false;
  }
  rate_ = std::uint32_t(rate);
  channels_ = std::uint32_t(channels);
  return true;
}

void MpaDecoder::Close() {
  if (!handle_) return;
  mpg123_close(handle_);
  mpg123_delete(handle_);
  handle_ = nullptr;
}

// The exact decoded length (one pass over every frame) and the first frame's
// description. A file without a single decodable frame is not MPEG audio.
bool MpaDecoder::Measure() {
  if (mpg123_scan(handle_) != MPG123_OK) return false;
  const off_t samples = mpg123_length(handle_);
  if (samples <= 0) return false;
  const std::uint32_t blockAlign = channels_ * kBytesPerSample;
  const std::uint64_t bytes = std::uint64_t(samples) * blockAlign;
  length_ = std::uint32_t(std::min<std::uint64_t>(bytes, kMaxLength / blockAlign * blockAlign));
  mpg123_frameinfo frame;
  if (mpg123_info(handle_, &frame) != MPG123_OK) return false;
  version_ = std::uint32_t(frame.version) + 1;
  layer_ = std::uint32_t(frame.layer);
  bitrate_ = std::uint32_t(std::max(frame.bitrate, 0));
  mode_ = std::uint32_t(frame.mode);
  return true;
}

std::uint32_t MpaDecoder::Read(void* destination, std::uint32_t count) {
  if (!handle_ || !destination) return 0;
  auto* out = static_cast<unsigned char*>(destination);
  std::uint32_t delivered = 0;
  int idle = 0;
  while (delivered < count && position_ < length_ && !ended_) {
    const std::uint32_t wanted = std::min(count - delivered, length_ - position_);
    size_t done = 0;
    const int result = mpg123_read(handle_, out + delivered, wanted, &done);
    done = std::min<size_t>(done, wanted);
    delivered += std::uint32_t(done);
    position_ += std::uint32_t(done);
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) ended_ = true;
    idle = done ? 0 : idle + 1;
    if (idle > kMaxIdleReads) ended_ = true;
  }
  return delivered;
}

std::uint32_t MpaDecoder::Seek(std::int32_t offset, std::int32_t origin) {
  if (!handle_) return 0;
  std::int64_t target;
  switch (origin) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = std::int64_t(position_) + offset; break;
    case SEEK_END: target = std::int64_t(length_) + offset; break;
    default: return position_;
  }
  target = std::clamp<std::int64_t>(target, 0, length_);
  const std::uint32_t blockAlign = channels_ * kBytesPerSample;
  const off_t frame = off_t(target / blockAlign);
  if (mpg123_seek(handle_, frame, SEEK_SET) < 0) return position_;
  position_ = std::uint32_t(frame) * blockAlign;
  ended_ = false;
  return position_;
}

bool MpaDecoder::GetInfo(std::uint8_t* info) const {
  if (!handle_ || !info) return false;
  std::uint32_t size;
  std::memcpy(&size, info, 4);
  if (size < mpadec::kInfoSize) return false;
  std::memset(info, 0, mpadec::kInfoSize);
  Put32(info, mpadec::INFO_SIZE, mpadec::kInfoSize);
  Put32(info, mpadec::INFO_VERSION, version_);
  Put32(info, mpadec::INFO_LAYER, layer_);
  Put32(info, mpadec::INFO_BITRATE, bitrate_);
  Put32(info, mpadec::INFO_RATE, rate_);
  Put32(info, mpadec::INFO_CHANNELS, channels_);
  Put32(info, mpadec::INFO_BITS, 8 * kBytesPerSample);
  Put32(info, mpadec::INFO_FRAMES, length_ / (channels_ * kBytesPerSample));
  Put32(info, mpadec::INFO_BYTES, length_);
  Put32(info, mpadec::INFO_MODE, mode_);
  return true;
}

long MpaDecoder::ReadImage(void* destination, std::size_t count) {
  const std::size_t n = std::min<std::size_t>(count, size_ - imagePosition_);
  std::memcpy(destination, image_ + imagePosition_, n);
  imagePosition_ += std::uint32_t(n);
  return long(n);
}

long MpaDecoder::SeekImage(long offset, int whence) {
  std::int64_t target;
  switch (whence) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = std::int64_t(imagePosition_) + offset; break;
    case SEEK_END: target = std::int64_t(size_) + offset; break;
    default: return -1;
  }
  if (target < 0 || target > std::int64_t(size_)) return -1;
  imagePosition_ = std::uint32_t(target);
  return long(target);
}
