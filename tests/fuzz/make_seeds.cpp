// Writes the seed corpora of the fuzz targets, made by our own encoders from
// small generated pictures: fuzz_seeds OUTPUT_DIR. One directory per kind
// (see CMakeLists.txt); the same pictures every time.
#include "pixel/pixel_format.h"
#include "sprite/arle.h"
#include "sprite/memo_block.h"
#include "sprite/packed.h"
#include "sprite/trle.h"
#include "tests/fuzz/fuzz_support.h"

#include <sys/stat.h>

#include <random>
#include <string>

namespace {

std::string g_root;
int g_written = 0;

void Write(const std::string& kind, const std::string& name, const void* data, std::size_t size) {
  const std::string dir = g_root + "/" + kind;
  mkdir(g_root.c_str(), 0777);
  mkdir(dir.c_str(), 0777);
  const std::string path = dir + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  ++g_written;
}

void Write(const std::string& kind, const std::string& name, const FuzzDib& dib) {
  if (dib) Write(kind, name, dib.dib, dib.bytes);
}

// A plain bottom-up bitmap with random colours or masks and pictures made of
// runs, many of them zero, so that every code form and empty rows occur.
std::vector<BYTE> MakePicture(int width, int height, int depth, std::uint32_t compression,
                              std::mt19937& rng) {
  const std::uint32_t table = depth <= 8 ? 4u << depth : compression == 3 ? 12 : 0;
  const std::size_t stride = (std::size_t(width) * depth + 31) / 32 * 4;
  std::vector<BYTE> dib(40 + table + stride * height);
  BITMAPINFOHEADER h = {};
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = WORD(depth);
  h.biCompression = compression;
  std::memcpy(dib.data(), &h, 40);
  for (std::uint32_t i = 40; i < 40 + table; ++i) dib[i] = BYTE(rng());
  if (compression == 3) {
    const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(&dib[40], masks, 12);
  }
  BYTE* bits = dib.data() + 40 + table;
  const std::size_t used = (std::size_t(width) * depth + 7) / 8;
  for (int r = 0; r < height; ++r) {
    BYTE* row = bits + r * stride;
    std::size_t x = 0;
    while (x < used) {
      std::size_t run = 1 + rng() % (rng() % 3 ? 4 : 90);
      if (run > used - x) run = used - x;
      const BYTE v = rng() % 3 == 0 ? 0 : BYTE(rng());
      for (std::size_t i = 0; i < run; ++i) row[x + i] = run > 3 ? v : BYTE(rng() % 4 ? rng() : 0);
      x += run;
    }
    if (r % 4 == 1) std::memset(row, 0, used);
  }
  return dib;
}

template <class Codec, class... Extra>
void Encode(FuzzDib* out, Codec codec, const BITMAPINFOHEADER* in, SIZE_T size, Extra... extra) {
  out->dib = codec(in, size, extra..., &out->bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTPUT_DIR\n");
    return 2;
  }
  g_root = argv[1];
  std::mt19937 rng(20240611);

  const int sizes[][2] = {{1, 1}, {3, 2}, {5, 4}, {17, 3}, {64, 2}, {70, 5}, {9, 12}};
  int n = 0;
  for (const auto& size : sizes) {
    const std::string name = "seed" + std::to_string(n++);
    const std::vector<BYTE> plain = MakePicture(size[0], size[1], 8, 0, rng);
    const BITMAPINFOHEADER* in = AsDib(plain.data());
    Write("plain", name, plain.data(), plain.size());

    FuzzDib arle, prle, trle;
    Encode(&arle, EncodeArle, in, plain.size());
    Encode(&prle, EncodePrle, in, plain.size());
    Encode(&trle, EncodeTrle, in, plain.size());
    Write("arle", name, arle);
    Write("prle", name, prle);
    Write("trle", name, trle);
    Write("memo", name, prle.data() + 1064, prle.bytes - 1064);
    for (std::uint16_t type : {7, 9, 11, 13}) {
      FuzzDib deep;
      Encode(&deep, ConvertTrle, trle.dib, trle.bytes, type,
             static_cast<const PaletteEntry*>(nullptr));
      Write("trle", name + "-" + std::to_string(type), deep);
      if (type == 9 && deep) {
        const std::vector<BYTE> pair = JoinPair(deep.data(), deep.bytes, trle.data(), trle.bytes);
        Write("trle_pair", name, pair.data(), pair.size());
      }
    }
  }

  struct Form {
    int depth;
    std::uint32_t compression;
  };
  for (const Form& form : {Form{1, 0}, Form{2, 0}, Form{4, 0}, Form{8, 0}, Form{16, 0},
                           Form{16, 3}, Form{24, 0}, Form{32, 0}, Form{32, 3}}) {
    const std::vector<BYTE> plain = MakePicture(1 + rng() % 40, 1 + rng() % 6, form.depth,
                                                form.compression, rng);
    const std::string name = "d" + std::to_string(form.depth) + "c" + std::to_string(form.compression);
    FuzzDib packed;
    Encode(&packed, EncodePacked, AsDib(plain.data()), plain.size());
    Write("packed", name, packed);
    Write("plain", name, plain.data(), plain.size());
  }

  // Blocks of empty, short, incompressible and repetitive data.
  for (std::size_t size : {0u, 1u, 40u, 700u}) {
    std::vector<BYTE> data(size);
    for (auto& b : data) b = BYTE(size == 40 ? 7 : rng());
    SIZE_T bytes = 0;
    void* block = MemoCompress(data.data(), data.size(), &bytes);
    if (block) Write("memo", "data" + std::to_string(size), block, bytes);
    GlobalFree(block);
  }
  std::printf("fuzz_seeds: %d seeds in %s\n", g_written, g_root.c_str());
  return 0;
}
