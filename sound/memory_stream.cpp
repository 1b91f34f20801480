#include "sound/memory_stream.h"

#include <algorithm>
#include <cstring>

#include "gfx/global_memory_block.h"

MemoryStream::MemoryStream() {
  auto* block = new GlobalMemoryBlock(kGrowth, false);
  if (!block->Pointer()) {
    delete block;
    return;
  }
  block_ = block;
  owns_ = true;
  mode_ = MEMORY_STREAM_WRITABLE;
  open_ = 1;
}

MemoryStream::MemoryStream(MemoryBlock* block, bool owns) : block_(block), owns_(owns) {
  if (!block || !block->Lock()) return;
  mode_ = MEMORY_STREAM_READ_ONLY;
  length_ = block->Size();
  open_ = 1;
}

MemoryStream::~MemoryStream() {
  if (mode_ == MEMORY_STREAM_READ_ONLY) block_->Unlock();
  if (owns_) delete block_;
}

std::uint32_t MemoryStream::Read(void* destination, std::uint32_t count) {
  if (mode_ == MEMORY_STREAM_CLOSED) return 0;
  const std::uint32_t n = std::min(count, length_ - position_);
  if (n) std::memcpy(destination, static_cast<const std::uint8_t*>(block_->Pointer()) + position_, n);
  position_ += n;
  return n;
}

// The block is a moveable global block while writable: unlocked, resized, locked again.
bool MemoryStream::Grow(std::uint32_t size) {
  auto* block = static_cast<GlobalMemoryBlock*>(block_);
  block->Unlock();
  const bool resized = block->Resize(size);
  block->Lock();
  return resized && block->Pointer();
}

std::uint32_t MemoryStream::Write(const void* source, std::uint32_t count) {
  if (mode_ != MEMORY_STREAM_WRITABLE || !source || count == 0) return 0;
  const std::uint64_t end = std::uint64_t(position_) + count;
  if (end > block_->Size()) {
    const std::uint64_t wanted = end + kGrowth;
    if (wanted > 0xFFFFFFFFu || !Grow(std::uint32_t(wanted))) {
      if (!block_->Pointer()) Close();
      return 0;
    }
  }
  const std::uint32_t n = std::min(count, block_->Size() - position_);
  std::memcpy(static_cast<std::uint8_t*>(block_->Pointer()) + position_, source, n);
  position_ += n;
  length_ = std::max(length_, position_);
  return n;
}

std::int32_t MemoryStream::Seek(std::int32_t offset, std::int32_t origin) {
  if (mode_ == MEMORY_STREAM_CLOSED) return std::int32_t(position_);
  std::int64_t target;
  switch (origin) {
    case SEEK_FROM_START: target = offset; break;
    case SEEK_FROM_CURRENT: target = std::int64_t(position_) + offset; break;
    case SEEK_FROM_END: target = std::int64_t(length_) + offset; break;
    default: return std::int32_t(position_);
  }
  position_ = std::uint32_t(std::clamp<std::int64_t>(target, 0, length_));
  return std::int32_t(position_);
}

bool MemoryStream::IsEof() { return position_ >= length_; }
std::uint32_t MemoryStream::Capabilities() { return 15; }
std::uint32_t MemoryStream::Length() { return length_; }

MemoryBlock* MemoryStream::Detach() {
  if (mode_ == MEMORY_STREAM_CLOSED) return nullptr;
  if (mode_ == MEMORY_STREAM_WRITABLE && (length_ == 0 || !Grow(length_))) {
    Close();
    return nullptr;
  }
  MemoryBlock* block = block_;
  if (mode_ == MEMORY_STREAM_READ_ONLY) {
    block->Unlock();
  }
  block_ = nullptr;
  owns_ = false;
  Close();
  return block;
}

// A writable stream whose block was lost keeps nothing: the block is freed.
void MemoryStream::Close() {
  if (owns_) delete block_;
  block_ = nullptr;
  owns_ = false;
  mode_ = MEMORY_STREAM_CLOSED;
  open_ = 0;
  position_ = 0;
  length_ = 0;
}
