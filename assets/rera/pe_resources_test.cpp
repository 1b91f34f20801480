// Reading resources out of a PE image: a small module built here by hand,
// and damaged copies of it, which must be refused without reading outside
// the image.
#include "assets/rera/pe_resources.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint16_t x) {
  v[at] = std::uint8_t(x);
  v[at + 1] = std::uint8_t(x >> 8);
}

// A PE32 image with one section holding a resource directory of two types:
// "BIN" with names "13L" and "CLOWN", and "WAVE" with the number 233.
std::vector<std::uint8_t> SmallModule() {
  const std::uint32_t peAt = 0x80, rsrcFile = 0x200, rsrcRva = 0x1000;
  std::vector<std::uint8_t> img(0x400, 0);
  img[0] = 'M';
  img[1] = 'Z';
  Put32(img, 0x3C, peAt);
  std::memcpy(&img[peAt], "PE\0\0", 4);
  Put16(img, peAt + 4, 0x14C);
  Put16(img, peAt + 6, 1);      // one section
  Put32(img, peAt + 8, 0);      // time stamp
  Put16(img, peAt + 20, 224);   // optional header size
  const std::size_t opt = peAt + 24;
  Put16(img, opt, 0x10B);
  const std::size_t sec = opt + 224;
  std::memcpy(&img[sec], ".rsrc", 5);
  // Resource area, offsets from its start.
  std::vector<std::uint8_t> r(0x200, 0);
  auto table = [&](std::size_t at, int named, int ids) {
    Put16(r, at + 12, std::uint16_t(named));
    Put16(r, at + 14, std::uint16_t(ids));
  };
  auto entry = [&](std::size_t at, std::uint32_t name, std::uint32_t target) {
    Put32(r, at, name);
    Put32(r, at + 4, target);
  };
  auto str = [&](std::size_t at, const char* s) {
    const std::size_t n = std::strlen(s);
    Put16(r, at, std::uint16_t(n));
    for (std::size_t i = 0; i < n; ++i) Put16(r, at + 2 + 2 * i, std::uint16_t(s[i]));
  };
  const std::uint32_t dir = 0x80000000u, named = 0x80000000u;
  table(0x00, 2, 0);                       // root: two named types
  entry(0x10, named | 0x180, dir | 0x20);  // "BIN"
  entry(0x18, named | 0x188, dir | 0x48);  // "WAVE"
  table(0x20, 2, 0);                       // BIN names
  entry(0x30, named | 0x192, dir | 0x60);  // "13L"
  entry(0x38, named | 0x19A, dir | 0x78);  // "CLOWN"
  table(0x48, 0, 1);                       // WAVE names
  entry(0x58, 233, dir | 0x90);
  for (std::size_t l : {0x60u, 0x78u, 0x90u}) table(l, 0, 1);
  entry(0x70, 0, 0x100);  // language entries -> data entries
  entry(0x88, 0, 0x110);
  entry(0xA0, 0, 0x120);
  Put32(r, 0x100, rsrcRva + 0x1C0);
  Put32(r, 0x104, 3);
  Put32(r, 0x110, rsrcRva + 0x1C4);
  Put32(r, 0x114, 2);
  Put32(r, 0x120, rsrcRva + 0x1C8);
  Put32(r, 0x124, 4);
  str(0x180, "BIN");
  str(0x188, "WAVE");
  str(0x192, "13L");
  str(0x19A, "CLOWN");
  const std::uint8_t payload[] = {1, 2, 3, 0, 4, 5, 0, 0, 6, 7, 8, 9};
  std::memcpy(&r[0x1C0], payload, sizeof payload);
  Put32(img, sec + 8, 0x200);       // virtual size
  Put32(img, sec + 12, rsrcRva);
  Put32(img, sec + 16, 0x200);      // raw size
  Put32(img, sec + 20, rsrcFile);
  Put32(img, opt + 96 + 16, rsrcRva);  // resource directory entry
  Put32(img, opt + 96 + 20, 0x200);
  std::memcpy(&img[rsrcFile], r.data(), r.size());
  return img;
}

TEST(PeResources, ReadsNamedAndNumberedResources) {
  const std::vector<std::uint8_t> img = SmallModule();
  std::vector<ResourceEntry> out;
  ASSERT_TRUE(ReadPeResources(img.data(), img.size(), &out));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].type.ToString(), "BIN");
  EXPECT_EQ(out[0].name.ToString(), "13L");
  EXPECT_EQ(out[0].data, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(out[1].name.ToString(), "CLOWN");
  EXPECT_EQ(out[1].data, (std::vector<std::uint8_t>{4, 5}));
  EXPECT_EQ(out[2].type.ToString(), "WAVE");
  EXPECT_TRUE(out[2].name.IsNumber());
  EXPECT_EQ(out[2].name.id, 233);
  EXPECT_EQ(out[2].data, (std::vector<std::uint8_t>{6, 7, 8, 9}));
  std::uint32_t stamp = 1;
  EXPECT_TRUE(PeTimeStamp(img.data(), img.size(), &stamp));
  EXPECT_EQ(stamp, 0u);
}

TEST(PeResources, DamagedImagesAreRefusedSafely) {
  const std::vector<std::uint8_t> good = SmallModule();
  std::vector<ResourceEntry> out;
  // Truncated anywhere.
  for (std::size_t n = 0; n < good.size(); n += 7) {
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + long(n));
    EXPECT_FALSE(ReadPeResources(cut.data(), cut.size(), &out)) << n;
  }
  // Every byte of the headers and the directory set to extreme values: the
  // reader may accept or refuse, but must stay inside the image (ASan).
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (std::uint8_t v : {std::uint8_t(0x00), std::uint8_t(0xFF), std::uint8_t(0x7F)}) {
      std::vector<std::uint8_t> bad = good;
      bad[i] = v;
      ReadPeResources(bad.data(), bad.size(), &out);
    }
  }
  std::vector<std::uint8_t> notPe(200, 0);
  EXPECT_FALSE(ReadPeResources(notPe.data(), notPe.size(), &out));
}

}  // namespace
