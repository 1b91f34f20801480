// MemoryStream: a SampleStream over a MemoryBlock.
//
// Read-only over a caller's block (owned or not), or writable over a block of
// its own that starts at 32768 bytes and grows to position + count + 32768
// whenever a write would pass its end. Detach hands the block over (a writable
// stream's block shrunk to the length) and leaves the stream closed.
#pragma once

#include <cstdint>

#include "gfx/memory_block.h"
#include "sound/sample_stream.h"

enum MemoryStreamMode : std::uint32_t {
  MEMORY_STREAM_CLOSED = 0,
  MEMORY_STREAM_READ_ONLY = 1,
  MEMORY_STREAM_WRITABLE = 2,
};

class MemoryStream : public SampleStream {
 public:
  static constexpr std::uint32_t kGrowth = 32768;

  // Writable, over a new block of kGrowth bytes; closed when it cannot be had.
  MemoryStream();
  // Read-only over the block's bytes; closed when the block gives no bytes.
  MemoryStream(MemoryBlock* block, bool owns);
  ~MemoryStream() override;

  std::uint32_t Read(void* destination, std::uint32_t count) override;
  std::uint32_t Write(const void* source, std::uint32_t count) override;
  std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
  bool IsEof() override;
  std::uint32_t Capabilities() override;
  std::uint32_t Length() override;

  // The block, now the caller's; the stream is closed. Null when the stream
  // was closed, or writable and empty (a block is never shrunk to nothing).
  MemoryBlock* Detach();

  std::uint32_t Mode() const { return mode_; }
  std::uint32_t Position() const { return position_; }
  // Bytes the block can hold now.
  std::uint32_t Capacity() const { return block_ ? block_->Size() : 0; }

 private:
  bool Grow(std::uint32_t size);
  void Close();

  std::uint32_t mode_ = MEMORY_STREAM_CLOSED;
  MemoryBlock* block_ = nullptr;
  std::uint32_t position_ = 0;
  std::uint32_t length_ = 0;
  bool owns_ = false;
};
