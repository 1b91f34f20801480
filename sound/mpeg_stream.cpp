#include "sound/mpeg_stream.h"

#include <windows.h>

#include <cstring>

#include "gfx/memory_block.h"
#include "mpadec/mpadec_exports.h"

namespace {

// The process-wide decoder: touched only where streams are made and destroyed.
struct Decoder {
  HMODULE module = nullptr;
  bool tried = false;
  std::int32_t openStreams = 0;
  MpadecExports calls;  // whichever of the seven the library has
};

Decoder& TheDecoder() {
  static Decoder decoder;
  return decoder;
}

void LoadDecoder() {
  Decoder& d = TheDecoder();
  if (d.module || d.tried) return;
  d.tried = true;
  d.module = LoadLibraryA("mpadec.dll");
  // A library missing some of the seven still serves the calls it has.
  if (d.module) (void)d.calls.Find(d.module);
}

}  // namespace

MpegStream::MpegStream(MemoryBlock* block) : block_(block) {
  if (!block || !block->Lock()) return;
  if (block->Size() == 0) return;
  LoadDecoder();
  Decoder& d = TheDecoder();
  if (!d.calls.open) return;
  handle_ = d.calls.open(block->Pointer(), block->Size());
  if (!handle_) return;
  open_ = 1;
  ++d.openStreams;
}

MpegStream::~MpegStream() {
  Decoder& d = TheDecoder();
  if (handle_) {
    --d.openStreams;
    if (d.calls.close) d.calls.close(handle_);
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
  return handle_ && d.calls.read ? d.calls.read(handle_, destination, count) : 0;
}
std::int32_t MpegStream::Seek(std::int32_t offset, std::int32_t origin) {
  const Decoder& d = TheDecoder();
  return handle_ && d.calls.seek ? std::int32_t(d.calls.seek(handle_, offset, origin)) : 0;
}
bool MpegStream::IsEof() {
  const Decoder& d = TheDecoder();
  return !(handle_ && d.calls.eof) || d.calls.eof(handle_) != 0;
}
std::uint32_t MpegStream::Capabilities() { return 5; }
std::uint32_t MpegStream::Length() {
  const Decoder& d = TheDecoder();
  return handle_ && d.calls.size ? d.calls.size(handle_) : 0;
}

bool MpegStream::GetInfo(std::uint8_t* info) {
  const Decoder& d = TheDecoder();
  std::memset(info, 0, mpadec::kInfoSize);
  const std::uint32_t size = mpadec::kInfoSize;
  std::memcpy(info, &size, 4);
  if (!handle_ || !d.calls.info) return false;
  d.calls.info(handle_, info);
  return true;
}

std::int32_t MpegStream::OpenCount() { return TheDecoder().openStreams; }
