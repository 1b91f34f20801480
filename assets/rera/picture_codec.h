#pragma once
// Turns our RGBA art into the stored forms of the resource library, with the
// system's own quantiser and encoders, and turns stored resources back into
// RGBA pictures with the system's own decoders (for list, extract, sheet and
// the checks).

#include "assets/art/canvas.h"
#include "pixel/pixel_format.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Palette256 = std::array<PaletteEntry, 256>;

// Water colour the edges of colour-keyed pictures are blended towards, so
// they look smooth against the sea without an alpha channel.
constexpr PaletteEntry kEdgeWater = {36, 84, 120, 0};
// Alpha at or above which a pixel of a colour-keyed picture is visible.
constexpr int kKeyedAlphaThreshold = 100;

// Palette of at most `budget` colours for the pixels with alpha >= minAlpha
// (ColourQuantiser); returns the number of colours.
int QuantisePixels(const RgbaImage& image, int minAlpha, int budget, PaletteEntry* out);

// Index of the entry in [first, first + count) nearest to (r, g, b).
int NearestEntry(const PaletteEntry* entries, int first, int count, std::uint8_t r,
                 std::uint8_t g, std::uint8_t b);

// A plain bottom-up 8-bit packed DIB (header, 256-entry table, bits) of
// top-down indices.
Bytes MakePlain8(int width, int height, const std::vector<std::uint8_t>& indices,
                 const Palette256& palette);

// A picture drawn with its own 8-bit mask: sprite and mask as 8-bit "TRLE".
// Index 0 (and mask 0) is exactly where alpha is 0, so both have the same
// row spans; visible pixels use indices 1..255.
struct MaskedPicture {
  Bytes sprite;
  Bytes mask;
};
bool MakeMaskedPicture(const RgbaImage& image, MaskedPicture* out);

// A colour-keyed picture as "PRLE": index 0 is pure red (255, 0, 0), the key,
// and no visible pixel uses it or a colour close to it.
bool MakeKeyedPicture(const RgbaImage& image, Bytes* out);

// An 8-bit picture showing swatches of `count` colours (the rest of its
// table zero), packed ("PKC1").
bool MakeSwatchPicture(const PaletteEntry* colours, int count, Bytes* out);

// A plain 8-bit picture of `image` with its own 256-colour palette.
bool MakeIndexedPicture(const RgbaImage& image, Bytes* out);

// Baseline JPEG of an opaque picture.
Bytes EncodeJpeg(const RgbaImage& image, int quality);

// A stored picture decoded back. `encoding` names the form ("JPEG", "TRLE",
// "PRLE", "ARLE", "PKC1", "PKC2", "BI_RGB"); keyed pictures come back with
// their key transparent; `palette` holds the colour table, if any. Only the
// 8, 24 and 32-bit forms the library uses are turned into pixels.
struct DecodedPicture {
  RgbaImage image;
  std::string encoding;
  int depth = 0;
  std::vector<PaletteEntry> palette;
};
bool DecodeStoredPicture(const Bytes& data, DecodedPicture* out);

// The sprite's pixels with the alpha of its mask (same size) applied.
void ApplyMask(RgbaImage& sprite, const RgbaImage& mask);
