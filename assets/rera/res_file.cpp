#include "assets/rera/res_file.h"

#include <cctype>
#include <cstring>

namespace {

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
  v.push_back(std::uint8_t(x));
  v.push_back(std::uint8_t(x >> 8));
}
void Pad4(std::vector<std::uint8_t>& v) {
  while (v.size() % 4) v.push_back(0);
}

void PutId(std::vector<std::uint8_t>& v, const ResId& id) {
  if (id.IsNumber()) {
    Put16(v, 0xFFFF);
    Put16(v, id.id);
    return;
  }
  for (char c : id.text) Put16(v, std::uint16_t(std::toupper(static_cast<unsigned char>(c))));
  Put16(v, 0);
}

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t Get16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// Reads a type or name field at `pos` of a header ending at `end`.
bool GetId(const std::uint8_t* data, std::size_t end, std::size_t* pos, ResId* out) {
  if (*pos + 2 > end) return false;
  if (Get16(data + *pos) == 0xFFFF) {
    if (*pos + 4 > end) return false;
    *out = ResId::Number(Get16(data + *pos + 2));
    *pos += 4;
    return true;
  }
  std::string text;
  while (true) {
    if (*pos + 2 > end) return false;
    const std::uint16_t c = Get16(data + *pos);
    *pos += 2;
    if (c == 0) break;
    if (c > 0x7F) return false;
    text.push_back(char(c));
  }
  if (text.empty()) return false;
  *out = ResId::Name(text);
  return true;
}

}  // namespace

std::vector<std::uint8_t> WriteResFile(const std::vector<ResourceEntry>& entries) {
  std::vector<std::uint8_t> out;
  // The leading empty entry that marks a 32-bit resource file.
  Put32(out, 0);
  Put32(out, 32);
  Put16(out, 0xFFFF);
  Put16(out, 0);
  Put16(out, 0xFFFF);
  Put16(out, 0);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (const ResourceEntry& e : entries) {
    std::vector<std::uint8_t> ids;
    PutId(ids, e.type);
    PutId(ids, e.name);
    Pad4(ids);
    Put32(out, std::uint32_t(e.data.size()));
    Put32(out, std::uint32_t(8 + ids.size() + 16));
    out.insert(out.end(), ids.begin(), ids.end());
    Put32(out, 0);  // data version
    Put16(out, kResourceMemoryFlags);
    Put16(out, kResourceLanguage);
    Put32(out, 0);  // version
    Put32(out, 0);  // characteristics
    out.insert(out.end(), e.data.begin(), e.data.end());
    Pad4(out);
  }
  return out;
}

bool ReadResFile(const std::uint8_t* data, std::size_t size, std::vector<ResourceEntry>* out) {
  out->clear();
  std::size_t pos = 0;
  bool first = true;
  while (pos < size) {
    if (size - pos < 8) return false;
    const std::uint32_t dataSize = Get32(data + pos), headerSize = Get32(data + pos + 4);
    if (headerSize < 24 || headerSize > size - pos || dataSize > size - pos - headerSize) {
      return false;
    }
    const std::size_t headerEnd = pos + headerSize;
    std::size_t p = pos + 8;
    ResourceEntry e;
    if (!GetId(data, headerEnd, &p, &e.type) || !GetId(data, headerEnd, &p, &e.name)) {
      return false;
    }
    if (first) {
      if (dataSize != 0 || !e.type.IsNumber() || e.type.id != 0) return false;
      first = false;
    } else {
      e.data.assign(data + headerEnd, data + headerEnd + dataSize);
      out->push_back(std::move(e));
    }
    pos = headerEnd + dataSize;
    pos = (pos + 3) & ~std::size_t(3);
    if (pos > size) return false;  // the padding is part of the entry
  }
  return !first;
}
