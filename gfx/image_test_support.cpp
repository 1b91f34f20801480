#include "gfx/image_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "pixel/pixel_format.h"

std::vector<std::uint8_t> RandomDib(std::int32_t width, std::int32_t height, std::uint16_t type,
                                    std::mt19937& rng) {
  std::uint8_t scratch[kDibScratchBytes];
  const std::uint32_t headerBytes = BuildDibHeader(scratch, width, height, type);
  const std::uint64_t bits = PixelRowBytes(width, PixelDepth(type)) * std::uint64_t(height);
  std::vector<std::uint8_t> dib(scratch, scratch + headerBytes);
  std::uniform_int_distribution<int> byte(0, 255);
  if (PixelDepth(type) <= 8)
    for (std::uint32_t i = kDibInfoHeaderBytes; i < headerBytes; ++i)
      dib[i] = (i % 4 == 3) ? 0 : std::uint8_t(byte(rng));
  for (std::uint64_t i = 0; i < bits; ++i) dib.push_back(std::uint8_t(byte(rng)));
  return dib;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TempDir::TempDir() {
#ifdef _WIN32
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  char name[MAX_PATH];
  GetTempFileNameA(base, "img", 0, name);
  DeleteFileA(name);
  CreateDirectoryA(name, nullptr);
  path_ = name;
#else
  char pattern[] = "/tmp/tw-images-XXXXXX";
  if (char* made = mkdtemp(pattern)) path_ = made;
#endif
}

TempDir::~TempDir() {
  if (path_.empty()) return;
#ifdef _WIN32
  std::string command = "cmd /c rmdir /s /q \"" + path_ + "\"";
#else
  std::string command = "rm -rf '" + path_ + "'";
#endif
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

bool RunConvert(const std::string& arguments) {
#ifdef _WIN32
  return false;
#else
  const std::string command = "convert " + arguments + " 2>/dev/null";
  return std::system(command.c_str()) == 0;
#endif
}
