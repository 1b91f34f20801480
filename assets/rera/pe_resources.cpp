#include "assets/rera/pe_resources.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t Get16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

struct Section {
  std::uint32_t rva, virtualSize, fileOffset, fileSize;
};

struct Image {
  const std::uint8_t* data;
  std::size_t size;
  std::vector<Section> sections;
  std::uint32_t peOffset = 0;

  bool Has(std::uint64_t offset, std::uint64_t bytes) const {
    return offset <= size && bytes <= size - offset;
  }
  // File offset of `bytes` bytes at an RVA, or false when they are not
  // wholly inside one section's file data.
  bool Map(std::uint32_t rva, std::uint32_t bytes, std::uint32_t* offset) const {
    for (const Section& s : sections) {
      if (rva < s.rva) continue;
      const std::uint64_t into = std::uint64_t(rva) - s.rva;
      if (into + bytes > s.fileSize || into + bytes > std::max(s.virtualSize, s.fileSize)) {
        continue;
      }
      const std::uint64_t off = s.fileOffset + into;
      if (!Has(off, bytes)) return false;
      *offset = std::uint32_t(off);
      return true;
    }
    return false;
  }
};

bool OpenImage(const std::uint8_t* data, std::size_t size, Image* img) {
  img->data = data;
  img->size = size;
  if (size < 64 || data[0] != 'M' || data[1] != 'Z') return false;
  img->peOffset = Get32(data + 0x3C);
  if (!img->Has(img->peOffset, 24) || std::memcmp(data + img->peOffset, "PE\0\0", 4) != 0) {
    return false;
  }
  const std::uint8_t* coff = data + img->peOffset + 4;
  const std::uint16_t sections = Get16(coff + 2);
  const std::uint16_t optionalSize = Get16(coff + 16);
  const std::uint64_t table = std::uint64_t(img->peOffset) + 24 + optionalSize;
  if (!img->Has(table, std::uint64_t(sections) * 40)) return false;
  for (int i = 0; i < sections; ++i) {
    const std::uint8_t* s = data + table + 40 * i;
    img->sections.push_back(Section{Get32(s + 12), Get32(s + 8), Get32(s + 20), Get32(s + 16)});
  }
  return true;
}

// The resource directory: three levels (type, name, language) of tables.
struct Walker {
  const Image& img;
  std::uint32_t base;  // file offset of the root directory
  std::uint32_t size;  // bytes of the resource directory area
  int visited = 0;

  bool Table(std::uint32_t at, std::uint32_t* count, std::uint32_t* first) const {
    if (std::uint64_t(at) + 16 > size) return false;
    const std::uint8_t* t = img.data + base + at;
    *count = std::uint32_t(Get16(t + 12)) + Get16(t + 14);
    *first = at + 16;
    return std::uint64_t(*first) + std::uint64_t(*count) * 8 <= size;
  }
  bool NameOf(std::uint32_t field, ResId* out) const {
    if (!(field & 0x80000000u)) {
      *out = ResId::Number(std::uint16_t(field));
      return true;
    }
    const std::uint32_t at = field & 0x7FFFFFFFu;
    if (std::uint64_t(at) + 2 > size) return false;
    const std::uint16_t n = Get16(img.data + base + at);
    if (n == 0 || std::uint64_t(at) + 2 + 2ull * n > size) return false;
    std::string s;
    for (int i = 0; i < n; ++i) {
      const std::uint16_t c = Get16(img.data + base + at + 2 + 2 * i);
      s.push_back(c < 0x80 ? char(c) : '?');
    }
    *out = ResId::Name(s);
    return true;
  }
};

}  // namespace

bool PeTimeStamp(const std::uint8_t* image, std::size_t size, std::uint32_t* stamp) {
  Image img;
  if (!OpenImage(image, size, &img)) return false;
  *stamp = Get32(image + img.peOffset + 8);
  return true;
}

bool ReadPeResources(const std::uint8_t* image, std::size_t size,
                     std::vector<ResourceEntry>* out) {
  out->clear();
  Image img;
  if (!OpenImage(image, size, &img)) return false;
  const std::uint8_t* optional = image + img.peOffset + 24;
  const std::uint16_t magic = Get16(optional);
  const std::uint32_t dirOffset = magic == 0x20B ? 112 : 96;  // PE32+ or PE32
  const std::uint16_t optionalSize = Get16(image + img.peOffset + 4 + 16);
  if (optionalSize < dirOffset + 3 * 8) return false;
  const std::uint32_t rva = Get32(optional + dirOffset + 16), bytes = Get32(optional + dirOffset + 20);
  if (rva == 0 || bytes == 0) return true;  // no resources
  std::uint32_t base = 0;
  if (!img.Map(rva, bytes, &base)) return false;
  Walker w{img, base, bytes};
  std::uint32_t types = 0, typeAt = 0;
  if (!w.Table(0, &types, &typeAt)) return false;
  for (std::uint32_t t = 0; t < types; ++t) {
    const std::uint8_t* te = image + base + typeAt + 8 * t;
    ResId type;
    if (!w.NameOf(Get32(te), &type)) return false;
    const std::uint32_t sub = Get32(te + 4);
    if (!(sub & 0x80000000u)) return false;
    std::uint32_t names = 0, nameAt = 0;
    if (!w.Table(sub & 0x7FFFFFFFu, &names, &nameAt)) return false;
    for (std::uint32_t n = 0; n < names; ++n) {
      const std::uint8_t* ne = image + base + nameAt + 8 * n;
      ResId name;
      if (!w.NameOf(Get32(ne), &name)) return false;
      const std::uint32_t langDir = Get32(ne + 4);
      if (!(langDir & 0x80000000u)) return false;
      std::uint32_t langs = 0, langAt = 0;
      if (!w.Table(langDir & 0x7FFFFFFFu, &langs, &langAt) || langs == 0) return false;
      const std::uint32_t leaf = Get32(image + base + langAt + 4);
      if ((leaf & 0x80000000u) || std::uint64_t(leaf) + 16 > bytes) return false;
      const std::uint8_t* de = image + base + leaf;
      const std::uint32_t dataRva = Get32(de), dataSize = Get32(de + 4);
      std::uint32_t dataOff = 0;
      if (!img.Map(dataRva, dataSize, &dataOff)) return false;
      if (++w.visited > 100000) return false;
      ResourceEntry e;
      e.type = type;
      e.name = name;
      e.data.assign(image + dataOff, image + dataOff + dataSize);
      out->push_back(std::move(e));
    }
  }
  return true;
}
