// The seven exported functions of mpadec.dll over MpaDecoder.
#include "mpadec/mpadec.h"

#include <new>

#include "mpadec/mpa_decoder.h"

namespace {

MpaDecoder* FromHandle(std::uint32_t handle) {
  return reinterpret_cast<MpaDecoder*>(std::uintptr_t(handle));
}

}  // namespace

MPADEC_API MPADecodeOpen(const void* image, std::uint32_t size) {
  auto* decoder = new (std::nothrow) MpaDecoder(static_cast<const std::uint8_t*>(image), size);
  if (decoder && decoder->IsOpen()) return std::uint32_t(reinterpret_cast<std::uintptr_t>(decoder));
  delete decoder;
  return 0;
}

MPADEC_API MPADecodeRead(std::uint32_t handle, void* destination, std::uint32_t count) {
  return handle ? FromHandle(handle)->Read(destination, count) : 0;
}

MPADEC_API MPADecodeSeek(std::uint32_t handle, std::int32_t offset, std::int32_t origin) {
  return handle ? FromHandle(handle)->Seek(offset, origin) : 0;
}

MPADEC_API MPADecodeEof(std::uint32_t handle) {
  return handle && FromHandle(handle)->IsEof() ? 1 : 0;
}

MPADEC_API MPADecodeClose(std::uint32_t handle) {
  delete FromHandle(handle);
  return 0;
}

MPADEC_API MPADecodeGetUncompressedSize(std::uint32_t handle) {
  return handle ? FromHandle(handle)->Length() : 0;
}

MPADEC_API MPADecodeGetInfo(std::uint32_t handle, void* info) {
  return handle && FromHandle(handle)->GetInfo(static_cast<std::uint8_t*>(info)) ? 1 : 0;
}
