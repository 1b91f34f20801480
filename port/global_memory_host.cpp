// Host stand-ins for the global heap and the four-character-code helper.
#include "port/win32.h"

#ifndef _WIN32
#include <cstdlib>
#include <cstring>

namespace {

// Each block is preceded by a header holding its size; the header keeps the
// payload aligned for any type.
struct alignas(std::max_align_t) BlockHeader {
  SIZE_T bytes;
};

BlockHeader* HeaderOf(HGLOBAL mem) {
  return static_cast<BlockHeader*>(mem) - 1;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  void* raw = (flags & GMEM_ZEROINIT) ? std::calloc(1, sizeof(BlockHeader) + bytes)
                                      : std::malloc(sizeof(BlockHeader) + bytes);
  if (!raw) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->bytes = bytes;
  return header + 1;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
  if (!mem) return nullptr;
  if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  BlockHeader* old = HeaderOf(mem);
  SIZE_T oldBytes = old->bytes;
  void* raw = std::realloc(old, sizeof(BlockHeader) + bytes);
  if (!raw) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->bytes = bytes;
  if ((flags & GMEM_ZEROINIT) && bytes > oldBytes)
    std::memset(reinterpret_cast<BYTE*>(header + 1) + oldBytes, 0, bytes - oldBytes);
  return header + 1;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  if (mem) std::free(HeaderOf(mem));
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL mem) { return mem ? HeaderOf(mem)->bytes : 0; }

LPVOID GlobalLock(HGLOBAL mem) { return mem; }

BOOL GlobalUnlock(HGLOBAL) { return FALSE; }

FOURCC mmioStringToFOURCCA(LPCSTR text, UINT) {
  char code[4] = {' ', ' ', ' ', ' '};
  for (int i = 0; i < 4 && text && text[i]; ++i) code[i] = text[i];
  return MAKEFOURCC(code[0], code[1], code[2], code[3]);
}
#endif
