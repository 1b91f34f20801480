#include "pixel/pixel_format.h"

std::uint32_t PixelDepth(std::uint16_t type) {
  static const std::uint8_t kDepth[15] = {0, 1, 2, 4, 8, 0, 8, 16, 16, 16, 16, 24, 24, 32, 32};
  return type < 15 ? kDepth[type] : 0;
}

std::uint32_t PackPixel(std::uint16_t type, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  switch (type) {
    case PIXEL_RGB555: return std::uint32_t(r >> 3) << 10 | std::uint32_t(g >> 3) << 5 | (b >> 3);
    case PIXEL_BGR555: return std::uint32_t(b >> 3) << 10 | std::uint32_t(g >> 3) << 5 | (r >> 3);
    case PIXEL_RGB565: return std::uint32_t(r >> 3) << 11 | std::uint32_t(g >> 2) << 5 | (b >> 3);
    case PIXEL_BGR565: return std::uint32_t(b >> 3) << 11 | std::uint32_t(g >> 2) << 5 | (r >> 3);
    case PIXEL_RGB24:
    case PIXEL_RGB32: return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
    case PIXEL_BGR24:
    case PIXEL_BGR32: return std::uint32_t(b) << 16 | std::uint32_t(g) << 8 | r;
    default: return 0;
  }
}

Rgb8 ExpandPixel(std::uint16_t type, std::uint32_t p) {
  const auto byte = [](std::uint32_t v) { return std::uint8_t(v & 0xff); };
  switch (type) {
    case PIXEL_RGB555: return {byte((p >> 7) & 0xf8), byte((p >> 2) & 0xf8), byte(p << 3)};
    case PIXEL_BGR555: return {byte(p << 3), byte((p >> 2) & 0xf8), byte((p >> 7) & 0xf8)};
    case PIXEL_RGB565: return {byte((p >> 8) & 0xf8), byte((p >> 3) & 0xfc), byte(p << 3)};
    case PIXEL_BGR565: return {byte(p << 3), byte((p >> 3) & 0xfc), byte((p >> 8) & 0xf8)};
    case PIXEL_RGB24:
    case PIXEL_RGB32: return {byte(p >> 16), byte(p >> 8), byte(p)};
    case PIXEL_BGR24:
    case PIXEL_BGR32: return {byte(p), byte(p >> 8), byte(p >> 16)};
    default: return {0, 0, 0};
  }
}

bool BuildPixelLookupTable(const PaletteEntry* entries, std::uint32_t count,
                           std::uint16_t type, PixelLookupTable* table) {
  if (!entries || !table || count == 0 || count > kMaxPaletteEntries) return false;
  if (type < PIXEL_RGB555 || type > PIXEL_BGR32) return false;
  const bool wide = PixelDepth(type) > 16;
  for (std::uint32_t i = 0; i < kMaxPaletteEntries; ++i) {
    const std::uint32_t pixel =
        i < count ? PackPixel(type, entries[i].red, entries[i].green, entries[i].blue) : 0;
    if (wide) {
      table->pixel32[i] = pixel;
    } else {
      table->pixel16[i] = std::uint16_t(pixel);
    }
  }
  return true;
}

// The 8x8 core, spread over 16 x 16 at compile time.
static constexpr std::uint8_t kDitherCore[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},  {49, 17, 57, 25, 51, 19, 59, 27},
    {13, 45, 5, 37, 15, 47, 7, 39}, {61, 29, 53, 21, 63, 31, 55, 23},
    {4, 36, 12, 44, 2, 34, 10, 42}, {52, 20, 60, 28, 50, 18, 58, 26},
    {16, 48, 8, 40, 14, 46, 6, 38}, {64, 32, 56, 24, 62, 30, 54, 22},
};

struct DitherTable {
  std::uint8_t cells[16][16];
};

static constexpr DitherTable MakeDitherTable() {
  DitherTable t{};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) t.cells[y][x] = kDitherCore[y & 7][x & 7];
  return t;
}

struct BlendWeights {
  std::int32_t cells[33][32];
};

static constexpr BlendWeights MakeBlendTable() {
  BlendWeights t{};
  for (int w = 0; w <= 32; ++w)
    for (int c = 0; c < 32; ++c) t.cells[w][c] = w * c * 8;
  return t;
}

static constexpr DitherTable kDither = MakeDitherTable();
static constexpr BlendWeights kBlend = MakeBlendTable();

// Constant-initialised references to the compile-time tables: no start-up code.
const std::uint8_t (&DitherMatrix8)[16][16] = kDither.cells;
const std::int32_t (&BlendTable)[33][32] = kBlend.cells;
