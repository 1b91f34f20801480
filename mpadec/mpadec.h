// "mpadec.dll": the MPEG audio decoder the sound code loads by name. Seven
// functions, __stdcall, exported undecorated, every argument and result 32 bits
// wide. A handle decodes one MPEG audio file (layers 1, 2 and 3, MPEG 1, 2 and
// 2.5) held in memory to 16-bit signed little-endian PCM, channels interleaved,
// at the file's own rate and channel count.
//
//   MPADecodeOpen(image, size)        handle; 0 when the bytes are not MPEG
//                                     audio. The image must stay valid and
//                                     unchanged until the handle is closed.
//   MPADecodeRead(h, dest, count)     bytes written, 0 at the end
//   MPADecodeSeek(h, offset, origin)  origin 0 start, 1 current, 2 end; the
//                                     target is clamped to 0..length and
//                                     rounded down to a whole frame; returns
//                                     the new position in decoded bytes
//   MPADecodeEof(h)                   1 at the end of the decoded data, else 0
//   MPADecodeClose(h)                 frees the handle (0 is ignored)
//   MPADecodeGetUncompressedSize(h)   length of the decoded data in bytes
//   MPADecodeGetInfo(h, info)         fills the record below; 1, or 0 when the
//                                     handle is 0 or the size field is below 40
//
// Handle 0 gives 0 everywhere. Target only: a handle is the decoder's address. The decoded length is known at Open (the
// whole image is scanned once) and is capped at 0x7FFFFFFF bytes.
//
// Info record, 40 bytes, 32-bit little-endian fields:
//   0   size: set to 40 by the caller before the call
//   4   MPEG version: 1 (MPEG 1), 2 (MPEG 2), 3 (MPEG 2.5)
//   8   layer: 1, 2 or 3
//   12  bit rate of the first frame in kbit/s (0 for free format)
//   16  sample rate in Hz
//   20  channels: 1 or 2
//   24  bits per decoded sample: 16
//   28  decoded length in sample frames
//   32  decoded length in bytes (MPADecodeGetUncompressedSize)
//   36  channel mode of the first frame: 0 stereo, 1 joint stereo,
//       2 dual channel, 3 mono
#pragma once

#include <cstdint>

namespace mpadec {

constexpr std::uint32_t kInfoSize = 40;

enum InfoOffset : std::uint32_t {
  INFO_SIZE = 0,
  INFO_VERSION = 4,
  INFO_LAYER = 8,
  INFO_BITRATE = 12,
  INFO_RATE = 16,
  INFO_CHANNELS = 20,
  INFO_BITS = 24,
  INFO_FRAMES = 28,
  INFO_BYTES = 32,
  INFO_MODE = 36,
};

}  // namespace mpadec

// Exported by mpadec.def under these names alone.
#define MPADEC_API extern "C" std::uint32_t __stdcall

MPADEC_API MPADecodeOpen(const void* image, std::uint32_t size);
MPADEC_API MPADecodeRead(std::uint32_t handle, void* destination, std::uint32_t count);
MPADEC_API MPADecodeSeek(std::uint32_t handle, std::int32_t offset, std::int32_t origin);
MPADEC_API MPADecodeEof(std::uint32_t handle);
MPADEC_API MPADecodeClose(std::uint32_t handle);
MPADEC_API MPADecodeGetUncompressedSize(std::uint32_t handle);
MPADEC_API MPADecodeGetInfo(std::uint32_t handle, void* info);
