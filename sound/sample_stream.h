// SampleStream: bytes of sound delivered on request, with a position and a
// length. The base class answers as a stream that holds nothing: Read and
// Write take one byte's worth (1), Seek fails (-1), IsEof holds, no
// capabilities, length 0. Streams never fail loudly: one that could not be
// opened delivers 0 bytes, reports its end and a length of 0.
#pragma once

#include <cstdint>

enum SeekOrigin : std::int32_t { SEEK_FROM_START = 0, SEEK_FROM_CURRENT = 1, SEEK_FROM_END = 2 };

class SampleStream {
 public:
  SampleStream() = default;
  SampleStream(const SampleStream&) = delete;
  SampleStream& operator=(const SampleStream&) = delete;
  virtual ~SampleStream();

  virtual std::uint32_t Read(void* destination, std::uint32_t count);
  virtual std::uint32_t Write(const void* source, std::uint32_t count);
  // The new position in bytes.
  virtual std::int32_t Seek(std::int32_t offset, std::int32_t origin);
  virtual bool IsEof();
  virtual std::uint32_t Capabilities();
  virtual bool IsOpen();
  virtual std::uint32_t Length();

 protected:
  std::int32_t open_ = 0;
};
