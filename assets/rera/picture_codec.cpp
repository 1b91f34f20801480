#include "assets/rera/picture_codec.h"

#include "gfx/colour_quantiser.h"
#include "picture/jpeg_loader.h"
#include "sprite/arle.h"
#include "sprite/packed.h"
#include "sprite/sprite_tags.h"
#include "sprite/trle.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace {

// Runs a codec and takes ownership of its global-heap result.
template <typename Codec>
Bytes RunCodec(Codec codec) {
  SIZE_T bytes = 0;
  BITMAPINFOHEADER* result = codec(&bytes);
  Bytes out;
  if (!result) return out;
  const auto* p = reinterpret_cast<const std::uint8_t*>(result);
  out.assign(p, p + bytes);
  GlobalFree(result);
  return out;
}

const BITMAPINFOHEADER* Header(const Bytes& b) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(b.data());
}

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

// Maps colours to palette indices, remembering each answer.
class NearestCache {
 public:
  NearestCache(const PaletteEntry* entries, int first, int count)
      : entries_(entries), first_(first), count_(count) {}
  std::uint8_t Map(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::uint32_t key = std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    const auto v = std::uint8_t(NearestEntry(entries_, first_, count_, r, g, b));
    cache_.emplace(key, v);
    return v;
  }

 private:
  const PaletteEntry* entries_;
  int first_, count_;
  std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

// Keeps keyed colours clearly apart from the pure red key, so that no
// visible pixel can be taken for it (also after a remap to a screen palette).
PaletteEntry AwayFromRed(PaletteEntry e) {
  if (e.red > 150 && e.green < 100 && e.blue < 100) {
    e.red = std::uint8_t(e.red * 0.78);
    e.green = std::uint8_t(std::min(255, e.green + 50));
    e.blue = std::uint8_t(std::min(255, e.blue + 40));
  }
  return e;
}

// Colour of a keyed pixel: its own colour, its soft edge blended towards the
// sea.
void KeyedColour(const std::uint8_t* p, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) {
  const double a = p[3] / 255.0;
  *r = std::uint8_t(p[0] * a + kEdgeWater.red * (1 - a) + 0.5);
  *g = std::uint8_t(p[1] * a + kEdgeWater.green * (1 - a) + 0.5);
  *b = std::uint8_t(p[2] * a + kEdgeWater.blue * (1 - a) + 0.5);
}

void DecodePlainToRgba(const std::uint8_t* dib, std::size_t size, DecodedPicture* out) {
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib, sizeof h);
  const int w = h.biWidth, ht = h.biHeight, depth = h.biBitCount;
  const std::uint32_t colours = depth <= 8 ? (h.biClrUsed ? h.biClrUsed : 1u << depth) : 0;
  const std::size_t table = depth <= 8 ? colours * 4 : (h.biCompression == BI_BITFIELDS ? 12 : 0);
  const std::size_t row = (std::size_t(w) * depth + 31) / 32 * 4;
  if (w <= 0 || ht <= 0 || 40 + table + row * ht > size) return;
  out->depth = depth;
  out->image = RgbaImage(w, ht);
  const std::uint8_t* pal = dib + 40;
  for (std::uint32_t i = 0; i < colours; ++i) {
    out->palette.push_back(PaletteEntry{pal[4 * i + 2], pal[4 * i + 1], pal[4 * i], 0});
  }
  const std::uint8_t* bits = dib + 40 + table;
  for (int y = 0; y < ht; ++y) {
    const std::uint8_t* src = bits + row * std::size_t(ht - 1 - y);
    for (int x = 0; x < w; ++x) {
      std::uint8_t* d = out->image.At(x, y);
      if (depth == 8) {
        const PaletteEntry& e = out->palette[std::min<std::uint32_t>(src[x], colours - 1)];
        d[0] = e.red, d[1] = e.green, d[2] = e.blue;
      } else if (depth == 24 || depth == 32) {
        const std::uint8_t* s = src + x * (depth / 8);
        d[0] = s[2], d[1] = s[1], d[2] = s[0];
      }
      d[3] = 255;
    }
  }
}

}  // namespace

int NearestEntry(const PaletteEntry* entries, int first, int count, std::uint8_t r,
                 std::uint8_t g, std::uint8_t b) {
  int best = first;
  long bestDist = -1;
  for (int i = first; i < first + count; ++i) {
    const long dr = long(entries[i].red) - r, dg = long(entries[i].green) - g,
               db = long(entries[i].blue) - b;
    const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
    if (bestDist < 0 || d < bestDist) {
      bestDist = d;
      best = i;
    }
  }
  return best;
}

int QuantisePixels(const RgbaImage& image, int minAlpha, int budget, PaletteEntry* out) {
  ColourQuantiser q(static_cast<std::uint32_t>(budget));
  std::vector<std::uint8_t> row;
  const int chunk = 4096;
  const std::size_t n = std::size_t(image.width) * image.height;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = &image.pixels[i * 4];
    if (p[3] < minAlpha || p[3] == 0) continue;
    row.push_back(p[2]);
    row.push_back(p[1]);
    row.push_back(p[0]);
    if (row.size() == std::size_t(chunk) * 3) {
      q.AddPixels(row.data(), chunk, chunk * 3, 1, nullptr, nullptr, 0);
      row.clear();
    }
  }
  if (!row.empty()) {
    const int w = int(row.size() / 3);
    q.AddPixels(row.data(), w, w * 3, 1, nullptr, nullptr, 0);
  }
  return q.BuildPalette(out);
}

Bytes MakePlain8(int width, int height, const std::vector<std::uint8_t>& indices,
                 const Palette256& palette) {
  const std::size_t row = (std::size_t(width) + 3) & ~std::size_t(3);
  Bytes out(40 + 1024 + row * height, 0);
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biCompression = BI_RGB;
  h.biClrUsed = 256;
  std::memcpy(out.data(), &h, 40);
  for (int i = 0; i < 256; ++i) {
    out[40 + 4 * i] = palette[i].blue;
    out[41 + 4 * i] = palette[i].green;
    out[42 + 4 * i] = palette[i].red;
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* dst = &out[1064 + row * std::size_t(height - 1 - y)];
    std::memcpy(dst, &indices[std::size_t(y) * width], std::size_t(width));
  }
  return out;
}

bool MakeMaskedPicture(const RgbaImage& image, MaskedPicture* out) {
  Palette256 pal{};
  const int n = QuantisePixels(image, 1, 255, &pal[1]);
  if (n <= 0) return false;
  NearestCache nearest(pal.data(), 1, n);
  std::vector<std::uint8_t> index(std::size_t(image.width) * image.height, 0);
  std::vector<std::uint8_t> alpha(index.size(), 0);
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::uint8_t* p = &image.pixels[i * 4];
    if (p[3] == 0) continue;
    index[i] = nearest.Map(p[0], p[1], p[2]);
    alpha[i] = p[3];
  }
  Palette256 grey{};
  for (int i = 0; i < 256; ++i) {
    grey[i] = PaletteEntry{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
  }
  const Bytes plain = MakePlain8(image.width, image.height, index, pal);
  const Bytes plainMask = MakePlain8(image.width, image.height, alpha, grey);
  out->sprite = RunCodec([&](SIZE_T* n) { return EncodeTrle(Header(plain), plain.size(), n); });
  out->mask =
      RunCodec([&](SIZE_T* n) { return EncodeTrle(Header(plainMask), plainMask.size(), n); });
  return !out->sprite.empty() && !out->mask.empty();
}

bool MakeKeyedPicture(const RgbaImage& image, Bytes* out) {
  // The colours the picture will show, edges blended towards the sea.
  RgbaImage shown(image.width, image.height);
  for (std::size_t i = 0; i < shown.pixels.size(); i += 4) {
    const std::uint8_t* p = &image.pixels[i];
    if (p[3] < kKeyedAlphaThreshold) continue;
    KeyedColour(p, &shown.pixels[i], &shown.pixels[i + 1], &shown.pixels[i + 2]);
    shown.pixels[i + 3] = 255;
  }
  Palette256 pal{};
  pal[0] = PaletteEntry{255, 0, 0, 0};
  const int n = QuantisePixels(shown, 255, 255, &pal[1]);
  if (n <= 0) return false;
  for (int i = 1; i <= n; ++i) pal[i] = AwayFromRed(pal[i]);
  NearestCache nearest(pal.data(), 1, n);
  std::vector<std::uint8_t> index(std::size_t(image.width) * image.height, 0);
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::uint8_t* p = &shown.pixels[i * 4];
    if (p[3] == 0) continue;
    index[i] = nearest.Map(p[0], p[1], p[2]);
  }
  const Bytes plain = MakePlain8(image.width, image.height, index, pal);
  *out = RunCodec([&](SIZE_T* n) { return EncodePrle(Header(plain), plain.size(), n); });
  return !out->empty();
}

bool MakeSwatchPicture(const PaletteEntry* colours, int count, Bytes* out) {
  if (count <= 0 || count > 256) return false;
  Palette256 pal{};
  std::copy(colours, colours + count, pal.begin());
  const int cols = count > 100 ? 15 : 10, rows = (count + cols - 1) / cols, cell = 4;
  const int w = cols * cell, h = rows * cell;
  std::vector<std::uint8_t> index(std::size_t(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int k = (y / cell) * cols + x / cell;
      index[std::size_t(y) * w + x] = std::uint8_t(k < count ? k : 0);
    }
  }
  const Bytes plain = MakePlain8(w, h, index, pal);
  *out = RunCodec([&](SIZE_T* n) { return EncodePacked(Header(plain), plain.size(), n); });
  return !out->empty();
}

bool MakeIndexedPicture(const RgbaImage& image, Bytes* out) {
  Palette256 pal{};
  const int n = QuantisePixels(image, 0, 256, pal.data());
  if (n <= 0) return false;
  NearestCache nearest(pal.data(), 0, n);
  std::vector<std::uint8_t> index(std::size_t(image.width) * image.height, 0);
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::uint8_t* p = &image.pixels[i * 4];
    index[i] = nearest.Map(p[0], p[1], p[2]);
  }
  *out = MakePlain8(image.width, image.height, index, pal);
  return true;
}

Bytes EncodeJpeg(const RgbaImage& image, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(image.width);
  cinfo.image_height = JDIMENSION(image.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;  // still baseline: sequential, Huffman tables fitted
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(std::size_t(image.width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    for (int x = 0; x < image.width; ++x) std::memcpy(&row[std::size_t(x) * 3], image.At(x, y), 3);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

bool DecodeStoredPicture(const Bytes& data, DecodedPicture* out) {
  *out = DecodedPicture();
  if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
    std::int32_t w = 0, h = 0;
    std::uint8_t* rgb = DecodeJpegFromMemory(data.data(), std::uint32_t(data.size()), &w, &h);
    if (!rgb) return false;
    out->encoding = "JPEG";
    out->depth = 24;
    out->image = RgbaImage(w, h);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) {
      std::memcpy(&out->image.pixels[i * 4], rgb + i * 3, 3);
      out->image.pixels[i * 4 + 3] = 255;
    }
    std::free(rgb);
    return true;
  }
  std::size_t start = 0;
  if (data.size() >= 14 && data[0] == 'B' && data[1] == 'M') start = 14;
  if (data.size() < start + 40 || Get32(&data[start]) != 40) return false;
  const auto* hdr = reinterpret_cast<const BITMAPINFOHEADER*>(&data[start]);
  const SIZE_T bytes = data.size() - start;
  const std::uint32_t tag = Get32(&data[start + 16]);
  Bytes plain;
  bool keyed = false;
  if (tag == BI_RGB || tag == BI_BITFIELDS) {
    out->encoding = "BI_RGB";
    plain.assign(data.begin() + long(start), data.end());
  } else if (tag == TAG_TRLE) {
    out->encoding = "TRLE";
    plain = RunCodec([&](SIZE_T* n) { return DecodeTrle(hdr, bytes, n); });
  } else if (tag == TAG_PRLE) {
    out->encoding = "PRLE";
    keyed = true;
    plain = RunCodec([&](SIZE_T* n) { return DecodePrle(hdr, bytes, n); });
  } else if (tag == TAG_ARLE) {
    out->encoding = "ARLE";
    keyed = true;
    plain = RunCodec([&](SIZE_T* n) { return DecodeArle(hdr, bytes, n); });
  } else if (tag == TAG_PKC1 || tag == TAG_PKC2) {
    out->encoding = tag == TAG_PKC1 ? "PKC1" : "PKC2";
    plain = RunCodec([&](SIZE_T* n) { return DecodePacked(hdr, bytes, n); });
  } else {
    return false;
  }
  if (plain.size() < 40) return false;
  DecodePlainToRgba(plain.data(), plain.size(), out);
  if (out->image.Empty()) return false;
  if (keyed && !out->palette.empty()) {
    const int key = NearestEntry(out->palette.data(), 0, int(out->palette.size()), 255, 0, 0);
    const PaletteEntry k = out->palette[std::size_t(key)];
    for (std::size_t i = 0; i < out->image.pixels.size(); i += 4) {
      std::uint8_t* p = &out->image.pixels[i];
      if (p[0] == k.red && p[1] == k.green && p[2] == k.blue) p[3] = 0;
    }
  }
  return true;
}

void ApplyMask(RgbaImage& sprite, const RgbaImage& mask) {
  if (sprite.width != mask.width || sprite.height != mask.height) return;
  for (std::size_t i = 0; i < sprite.pixels.size(); i += 4) {
    sprite.pixels[i + 3] = mask.pixels[i];
  }
}
