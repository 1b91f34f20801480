#include "sound/riff_wave.h"

#include <algorithm>
#include <cstring>

#include "sound/wave_format.h"

const char* const kInfoTags[kInfoTagCount] = {
    "IARL", "IART", "ICMS", "ICMT", "ICOP", "ICRD", "ICRP", "IDIM", "IDPI", "IENG", "IGNR", "IKEY",
    "ILGT", "IMED", "INAM", "IPLT", "IPRD", "ISBJ", "ISFT", "ISHP", "ISRC", "ISRF", "ITCH"};

int InfoTagIndex(const char* tag) {
  if (!tag) return -1;
  for (int i = 0; i < kInfoTagCount; ++i) {
    if (std::strncmp(tag, kInfoTags[i], 5) == 0) return i;
  }
  return -1;
}

namespace {

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

// Contents of a chunk: [begin, begin + size) of the image, size as the chunk claims.
struct Chunk {
  std::uint64_t begin = 0;
  std::uint64_t size = 0;
};

// The first chunk with this id (and, when listType is set, this form type)
// whose header starts in [from, end); walks chunk by chunk with pad bytes.
bool FindChunk(const std::uint8_t* image, std::uint64_t from, std::uint64_t end, const char* id,
               const char* listType, Chunk* out) {
  std::uint64_t pos = from;
  while (pos + 8 <= end) {
    const std::uint64_t size = Get32(image + pos + 4);
    const bool idMatches = std::memcmp(image + pos, id, 4) == 0;
    const bool typeMatches =
        !listType || (pos + 12 <= end && std::memcmp(image + pos + 8, listType, 4) == 0);
    if (idMatches && typeMatches) {
      out->begin = pos + 8;
      out->size = size;
      return true;
    }
    pos += 8 + size + (size & 1);
  }
  return false;
}

bool ReadFormat(const std::uint8_t* image, std::uint64_t imageSize, const Chunk& fmt,
                std::vector<std::uint8_t>* format) {
  if (fmt.size < 16 || fmt.begin + fmt.size > imageSize) return false;
  format->assign(fmt.size < 18 ? 18 : std::size_t(fmt.size), 0);
  std::memcpy(format->data(), image + fmt.begin, std::size_t(fmt.size));
  const auto& f = *reinterpret_cast<const WAVEFORMATEX*>(format->data());
  if (FormatStoredSize(f) > format->size()) return false;
  return f.nBlockAlign != 0 && f.nAvgBytesPerSec != 0 && f.nChannels != 0;
}

void ReadInfo(const std::uint8_t* image, std::uint64_t imageSize, const Chunk& list,
              std::string* info) {
  std::uint64_t end = list.begin + list.size;
  if (end > imageSize) end = imageSize;
  for (int i = 0; i < kInfoTagCount; ++i) {
    Chunk text;
    if (!FindChunk(image, list.begin + 4, end, kInfoTags[i], nullptr, &text)) continue;
    std::uint64_t n = text.size;
    if (text.begin + n > end) n = end - text.begin;
    const char* p = reinterpret_cast<const char*>(image + text.begin);
    info[i].assign(p, std::find(p, p + n, '\0'));
  }
}

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}

void PutChunk(std::vector<std::uint8_t>& v, const char* id, const void* data, std::uint32_t n) {
  v.insert(v.end(), id, id + 4);
  Put32(v, n);
  const auto* p = static_cast<const std::uint8_t*>(data);
  v.insert(v.end(), p, p + n);
  if (n & 1) v.push_back(0);
}

}  // namespace

bool ParseRiffWave(const std::uint8_t* image, std::size_t size, RiffWaveImage* out) {
  *out = RiffWaveImage();
  if (!image || size < 12) return false;
  std::uint64_t end = 8 + std::uint64_t(Get32(image + 4));
  if (end > size) end = size;
  Chunk fmt, data, list;
  if (!FindChunk(image, 12, end, "fmt ", nullptr, &fmt)) return false;
  if (!ReadFormat(image, size, fmt, &out->format)) return false;
  const std::uint64_t afterFmt = fmt.begin + fmt.size + (fmt.size & 1);
  if (!FindChunk(image, afterFmt, end, "data", nullptr, &data)) return false;
  if (data.begin + data.size > size) return false;
  out->dataOffset = std::uint32_t(data.begin);
  out->dataSize = std::uint32_t(data.size);
  const std::uint64_t afterData = data.begin + data.size + (data.size & 1);
  if (FindChunk(image, afterData, end, "LIST", "INFO", &list)) ReadInfo(image, size, list, out->info);
  return true;
}

std::vector<std::uint8_t> WriteRiffWave(const WAVEFORMATEX& format, const std::uint8_t* data,
                                        std::uint32_t size, const std::string* info) {
  std::vector<std::uint8_t> body = {'W', 'A', 'V', 'E'};
  PutChunk(body, "fmt ", &format, FormatStoredSize(format));
  PutChunk(body, "data", data, size);
  std::vector<std::uint8_t> list = {'I', 'N', 'F', 'O'};
  for (int i = 0; info && i < kInfoTagCount; ++i) {
    if (!info[i].empty())
      PutChunk(list, kInfoTags[i], info[i].c_str(), std::uint32_t(info[i].size() + 1));
  }
  if (list.size() > 4) PutChunk(body, "LIST", list.data(), std::uint32_t(list.size()));
  std::vector<std::uint8_t> image;
  PutChunk(image, "RIFF", body.data(), std::uint32_t(body.size()));
  return image;
}
