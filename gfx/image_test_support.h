// Helpers shared by the image tests: packed DIBs built in memory, files written by a real
// peer (ImageMagick's convert), and Ref, the owner of one reference.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gfx/dib_layout.h"
#include "port/win32.h"

// A packed DIB (no file header) for (width, height, type) from BuildDibHeader, with
// random bits (row padding included) and, for depths up to 8, a random colour table.
std::vector<std::uint8_t> RandomDib(std::int32_t width, std::int32_t height, std::uint16_t type,
                                    std::mt19937& rng);

// The bytes of a file; empty when it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A private directory under the system's temporary directory, removed with its files.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Owns one reference to an image, palette or clip region and releases it. A
// default Ref holds a new T.
template <class T>
struct Ref {
  T* p;
  explicit Ref(T* object = new T) : p(object) {}
  Ref(Ref&& other) noexcept : p(other.p) { other.p = nullptr; }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
  T* get() const { return p; }
};

// Runs ImageMagick's convert with the arguments; false when it is missing or fails.
bool RunConvert(const std::string& arguments);
