// MpaDecoder: one MPEG audio file in memory decoded to 16-bit PCM through
// libmpg123, with its decoded length, position and seeking in decoded bytes.
// The file's rate and channel count are fixed from its first frame: frames that
// differ later are converted to them by libmpg123, so the PCM layout never
// changes under the reader. A decoder that failed to open (not MPEG audio, or
// an image of 2 GiB or more) stays closed and answers 0 everywhere. The image
// is not copied: it must outlive the decoder.
#pragma once

#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

class MpaDecoder {
 public:
  MpaDecoder(const std::uint8_t* image, std::uint32_t size);
  MpaDecoder(const MpaDecoder&) = delete;
  MpaDecoder& operator=(const MpaDecoder&) = delete;
  ~MpaDecoder();

  bool IsOpen() const { return handle_ != nullptr; }
  std::uint32_t Read(void* destination, std::uint32_t count);
  std::uint32_t Seek(std::int32_t offset, std::int32_t origin);
  bool IsEof() const { return !handle_ || ended_ || position_ >= length_; }
  std::uint32_t Length() const { return length_; }
  std::uint32_t Rate() const { return rate_; }
  std::uint32_t Channels() const { return channels_; }
  // The 40-byte record of mpadec.h; false (nothing written) when closed or
  // when its size field says it is smaller.
  bool GetInfo(std::uint8_t* info) const;

  // libmpg123's reader callbacks over the image.
  long ReadImage(void* destination, std::size_t count);
  long SeekImage(long offset, int whence);

 private:
  bool Open(bool fixedFormat);
  void Close();
  bool Measure();

  const std::uint8_t* image_;
  std::uint32_t size_;
  std::uint32_t imagePosition_ = 0;
  mpg123_handle_struct* handle_ = nullptr;
  std::uint32_t rate_ = 0;
  std::uint32_t channels_ = 0;
  std::uint32_t length_ = 0;
  std::uint32_t position_ = 0;
  bool ended_ = false;
  std::uint32_t version_ = 0;
  std::uint32_t layer_ = 0;
  std::uint32_t bitrate_ = 0;
  std::uint32_t mode_ = 0;
};
