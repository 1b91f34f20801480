// Reading the run-length sprite bodies for drawing, shared by the portable kernels and the
// SSE2 kernels. The sprites are validated before they reach a kernel, so nothing here
// checks a count or an offset; fields are read with memcpy since the bodies are byte
// streams.
//
// Everything has internal linkage (static), so the copies compiled into the SIMD file, with
// its wider instruction set, are never picked by the linker for the portable code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pixel/blit.h"
#include "port/win32.h"

static inline std::uint32_t RleLoad32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
static inline void RleStore32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
static inline std::uint16_t RleLoad16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

// The body of a sprite: after the 40-byte header and, at 8 bits, the colour table of
// biClrUsed entries (256 when it is 0).
static inline const std::uint8_t* RleSpriteBody(const BITMAPINFOHEADER* sprite) {
  std::uint32_t table = 0;
  if (sprite->biBitCount == 8) table = 4 * (sprite->biClrUsed ? sprite->biClrUsed : 256);
  return reinterpret_cast<const std::uint8_t*>(sprite) + 40 + table;
}

// One "ARLE" code: a fill of n pixels of *data, or a literal of the n bytes at data.
struct RleCode {
  bool fill;
  std::uint32_t n;
  const std::uint8_t* data;
};

// Reads the code at p; returns where the next code starts.
static inline const std::uint8_t* ReadRleCode(const std::uint8_t* p, RleCode* code) {
  const std::uint32_t c = *p++;
  std::uint32_t n = c & 0x3F;
  if (c & 0x80) n = n << 8 | *p++;
  code->fill = (c & 0x40) != 0;
  code->n = n;
  code->data = p;
  return p + (code->fill ? 1 : n);
}

// The codes of picture row r of an "ARLE" body (row table entry r, from the body).
static inline const std::uint8_t* ArleRowCodes(const std::uint8_t* body, std::int32_t r) {
  return body + RleLoad32(body + 4 * std::size_t(r));
}

// Where the destination walk of a run-length kernel starts and how it steps: the pixel for
// rectangle row 0, column 0, the step per pixel (negative when mirrored) and per row
// (negative when flipped).
struct RleDestWalk {
  std::uint8_t* row;
  std::ptrdiff_t pitch;
  std::ptrdiff_t step;
};

static inline RleDestWalk StartRleDest(int bytes, std::uint8_t* dst, std::int32_t dstPitch,
                                       std::int32_t dx, std::int32_t dy, std::int32_t width,
                                       std::int32_t height, std::uint32_t flags) {
  const bool mirror = (flags & BLIT_MIRROR) != 0;
  const bool flip = (flags & BLIT_FLIP) != 0;
  const std::ptrdiff_t x = mirror ? std::ptrdiff_t(dx) + width - 1 : dx;
  const std::ptrdiff_t y = flip ? std::ptrdiff_t(dy) + height - 1 : dy;
  RleDestWalk w;
  w.row = dst + y * dstPitch + x * bytes;
  w.pitch = flip ? -std::ptrdiff_t(dstPitch) : dstPitch;
  w.step = mirror ? -bytes : bytes;
  return w;
}

// "TRLE" row record r: the stored pixels of the row (from the sprite's body start), its
// skip and count.
struct TrleRow {
  std::uint32_t offset;
  std::uint32_t skip;
  std::uint32_t count;
};

static inline TrleRow ReadTrleRow(const std::uint8_t* body, std::int32_t r) {
  const std::uint8_t* record = body + 16 + 8 * std::size_t(r);
  return TrleRow{RleLoad32(record), RleLoad16(record + 4), RleLoad16(record + 6)};
}

// The walk of every AlphaRleBlit kernel: per picture row, the part of its stored span that
// meets the window [sx, sx + width) goes to span.Run(d, step, s, m, n, row, column), with
// d the destination of the first pixel, s and m its sprite pixel and mask byte, n pixels
// from picture column `column` on.
template <int B, class Span>
static inline void AlphaRleRows(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                                std::int32_t dy, std::int32_t width, std::int32_t height,
                                const BITMAPINFOHEADER* sprite, const BITMAPINFOHEADER* mask,
                                std::int32_t sx, std::int32_t sy, std::uint32_t flags,
                                Span& span) {
  if (width <= 0 || height <= 0) return;
  const std::uint8_t* body = RleSpriteBody(sprite);
  const std::uint8_t* maskBody = RleSpriteBody(mask);
  const RleDestWalk w = StartRleDest(B, dst, dstPitch, dx, dy, width, height, flags);
  const std::int64_t windowEnd = std::int64_t(sx) + width;
  std::uint8_t* drow = w.row;
  for (std::int32_t i = 0; i < height; ++i, drow += w.pitch) {
    const std::int32_t r = sy + i;
    const TrleRow row = ReadTrleRow(body, r);
    const std::int64_t from = row.skip > std::uint32_t(sx) ? std::int64_t(row.skip) : sx;
    const std::int64_t spanEnd = std::int64_t(row.skip) + row.count;
    const std::int64_t to = spanEnd < windowEnd ? spanEnd : windowEnd;
    if (from >= to) continue;
    const std::ptrdiff_t inSpan = std::ptrdiff_t(from - row.skip);
    const std::uint8_t* s = body + row.offset + inSpan * B;
    const std::uint8_t* m = maskBody + ReadTrleRow(maskBody, r).offset + inSpan;
    std::uint8_t* d = drow + std::ptrdiff_t(from - sx) * w.step;
    span.Run(d, w.step, s, m, std::int32_t(to - from), r, std::int32_t(from));
  }
}

// The "Mmx" mask blend of one 32-bit pixel: colour bytes ((256 - a) d + a s + 128) >> 8,
// the fourth byte without the rounding term. a = 0 gives d back unchanged.
static inline std::uint32_t MixAlphaMmx32(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  const std::uint32_t ia = 256 - a;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t round = shift < 24 ? 128 : 0;
    out |= ((ia * ((d >> shift) & 255) + a * ((s >> shift) & 255) + round) >> 8) << shift;
  }
  return out;
}
