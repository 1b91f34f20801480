#include "assets/sound/wave_file.h"

#include <cstring>

namespace {

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
  v.push_back(std::uint8_t(x));
  v.push_back(std::uint8_t(x >> 8));
}
void PutTag(std::vector<std::uint8_t>& v, const char* tag) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(tag[i]));
}

void PutChunk(std::vector<std::uint8_t>& v, const char* tag, const std::uint8_t* data,
              std::size_t n) {
  PutTag(v, tag);
  Put32(v, std::uint32_t(n));
  v.insert(v.end(), data, data + n);
  if (n & 1) v.push_back(0);
}

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t Get16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

}  // namespace

std::vector<std::uint8_t> WriteWave(const std::vector<std::uint8_t>& pcm, int rate, int bits,
                                    const std::string& title) {
  std::vector<std::uint8_t> fmt;
  const int align = bits / 8;
  Put16(fmt, 1);
  Put16(fmt, 1);
  Put32(fmt, std::uint32_t(rate));
  Put32(fmt, std::uint32_t(rate * align));
  Put16(fmt, std::uint16_t(align));
  Put16(fmt, std::uint16_t(bits));
  std::vector<std::uint8_t> info;
  PutTag(info, "INFO");
  const std::string tool = "rera";
  PutChunk(info, "INAM", reinterpret_cast<const std::uint8_t*>(title.c_str()), title.size() + 1);
  PutChunk(info, "ISFT", reinterpret_cast<const std::uint8_t*>(tool.c_str()), tool.size() + 1);
  std::vector<std::uint8_t> body;
  PutTag(body, "WAVE");
  PutChunk(body, "fmt ", fmt.data(), fmt.size());
  PutChunk(body, "data", pcm.data(), pcm.size());
  PutChunk(body, "LIST", info.data(), info.size());
  std::vector<std::uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, std::uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

bool ReadWave(const std::uint8_t* data, std::size_t size, WaveInfo* out) {
  *out = WaveInfo();
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
    return false;
  }
  const std::size_t end = std::min<std::size_t>(size, std::size_t(Get32(data + 4)) + 8);
  bool haveFmt = false, haveData = false;
  std::size_t pos = 12;
  while (pos + 8 <= end) {
    const std::uint8_t* c = data + pos;
    const std::size_t n = Get32(c + 4);
    if (n > end - pos - 8) return false;
    if (std::memcmp(c, "fmt ", 4) == 0 && n >= 16) {
      out->formatTag = Get16(c + 8);
      out->channels = Get16(c + 10);
      out->rate = int(Get32(c + 12));
      out->bits = Get16(c + 22);
      haveFmt = true;
    } else if (std::memcmp(c, "data", 4) == 0) {
      out->dataOffset = pos + 8;
      out->dataBytes = n;
      haveData = true;
    } else if (std::memcmp(c, "LIST", 4) == 0 && n >= 4 && std::memcmp(c + 8, "INFO", 4) == 0) {
      std::size_t p = pos + 12;
      while (p + 8 <= pos + 8 + n) {
        const std::size_t m = Get32(data + p + 4);
        if (m > pos + 8 + n - p - 8) break;
        if (std::memcmp(data + p, "INAM", 4) == 0) {
          const char* t = reinterpret_cast<const char*>(data + p + 8);
          out->title.assign(t, strnlen(t, m));
        }
        p += 8 + m + (m & 1);
      }
    }
    pos += 8 + n + (n & 1);
  }
  return haveFmt && haveData;
}
