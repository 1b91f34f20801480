#include "sound/mpeg_stream.h"

#include <windows.h>

#include <cstring>

#include "gfx/memory_block.h"

namespace {

using OpenFn = std::uint32_t(WINAPI*)(const void*, std::uint32_t);
using ReadFn = std::uint32_t(WINAPI*)(std::uint32_t, void*, std::uint32_t);
using SeekFn = std::uint32_t(WINAPI*)(std::uint32_t, std::int32_t, std::int32_t);
using HandleFn = std::uint32_t(WINAPI*)(std::uint32_t);
using InfoFn = std::uint32_t(WINAPI*)(std::uint32_t, void*);

// The process-wide decoder: touched only where streams are made and destroyed.
struct Decoder {
  HMODULE module = nullptr;
  bool tried = false;
  std::int32_t openStreams = 0;
  OpenFn open = nullptr;
  ReadFn read = nullptr;
  SeekFn seek = nullptr;
  HandleFn eof = nullptr;
  HandleFn close = nullptr;
  HandleFn size = nullptr;
  InfoFn info = nullptr;
};

Decoder& TheDecoder() {
  static Decoder decoder;
  return decoder;
}

template <class F>
void Find(HMODULE module, const char* name, F* out) {
  *out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void LoadDecoder() {
  Decoder& d = TheDecoder();
  if (d.module || d.tried) return;
  d.tried = true;
  d.module = LoadLibraryA("mpadec.dll");
  if (!d.module) return;
  Find(d.module, "MPADecodeOpen", &d.open);
  Find(d.module, "MPADecodeRead", &d.read);
  Find(d.module, "MPADecodeSeek", &d.seek);
  Find(d.module, "MPADecodeEof", &d.eof);
  Find(d.module, "MPADecodeClose", &d.close);
  Find(d.module, "MPADecodeGetUncompressedSize", &d.size);
  Find(d.module, "MPADecodeGetInfo", &d.info);
}

}  // namespace

MpegStream::MpegStream(MemoryBlock* block) : block_(block) {
  if (!block || !block->Lock()) return;
  if (block->Size() == 0) return;
  LoadDecoder();
  Decoder& d = TheDecoder();
  if (!d.open) return;
  handle_ = d.open(block->Pointer(), block->Size());
  if (!handle_) return;
  open_ = 1;
  ++d.openStreams;
}

MpegStream::~MpegStream() {
  Decoder& d = TheDecoder();
  if (handle_) {
    --d.openStreams;
    if (d.close) d.close(handle_);
  }
  if (block_) {
    block_->Unlock();
    delete block_;
  }
  if (d.openStreams <= 0 && d.module) {
    FreeLibrary(d.module);
    d = Decoder();
  }
}

std::uint32_t MpegStream::Read(void* destination, std::uint32_t count) {
  const Decoder& d = TheDecoder();
  return handle_ && d.read ? d.read(handle_, destination, count) : 0;
}
std::int32_t MpegStream::Seek(std::int32_t offset, std::int32_t origin) {
  const Decoder& d = TheDecoder();
  return handle_ && d.seek ? std::int32_t(d.seek(handle_, offset, origin)) : 0;
}
bool MpegStream::IsEof() {
  const Decoder& d = TheDecoder();
  return !(handle_ && d.eof) || d.eof(handle_) != 0;
}
std::uint32_t MpegStream::Capabilities() { return 5; }
std::uint32_t MpegStream::Length() {
  const Decoder& d = TheDecoder();
  return handle_ && d.size ? d.size(handle_) : 0;
}

bool MpegStream::GetInfo(std::uint8_t* info) {
  const Decoder& d = TheDecoder();
  std::memset(info, 0, kMpegInfoSize);
  const std::uint32_t size = kMpegInfoSize;
  std::memcpy(info, &size, 4);
  if (!handle_ || !d.info) return false;
  d.info(handle_, info);
  return true;
}

std::int32_t MpegStream::OpenCount() { return TheDecoder().openStreams; }
