// PackedDibImage: an image whose pixels are a packed device-independent bitmap in a
// MemoryBlock (gfx/dib_layout.h gives the layout), kept bottom-up. The bitmap may be
// stored in one of the sprite encodings ("PKC1"/"PKC2", "ARLE", "PRLE", "TRLE"); while
// it is, it cannot be locked, converted or drawn by the raw kernels.
//
// Every block it takes is checked first: a header that does not match the bytes behind
// it is refused with GFX_BAD_ARGUMENT, so nothing ever reads outside the block. Bitmaps
// in a form the layout does not take directly (later info headers, top-down rows, a gap
// before the bits) are rewritten into a private copy of the plain form.
#pragma once

#include <cstdint>

#include "gfx/image.h"

class MemoryBlock;

// Load flags.
constexpr std::uint32_t LOAD_FROM_FILE = 0x0;      // source: a file name
constexpr std::uint32_t LOAD_FROM_RESOURCE = 0x1;  // source: a resource name (target only)
constexpr std::uint32_t LOAD_FROM_BLOCK = 0x2;     // source: a MemoryBlock, not taken over
constexpr std::uint32_t LOAD_SOURCE_MASK = 0xF;
constexpr std::uint32_t LOAD_PRIVATE_COPY = 0x10000;  // copy the bytes into our own memory
constexpr std::uint32_t LOAD_DECODE = 0x20000;        // decode an encoded bitmap at once

// Convert flags.
constexpr std::uint32_t CONVERT_INVERSE_MAP = 0x1;  // type 4 through the palette's inverse map
constexpr std::uint32_t CONVERT_DIFFUSE = 0x2;      // Floyd-Steinberg error diffusion

class PackedDibImage : public Image {
 public:
  PackedDibImage();
  ~PackedDibImage() override;

  void Reset() override;
  [[nodiscard]] GraphicsStatus Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                                      std::int32_t reserved0 = 0,
                                      std::int32_t reserved1 = 0) override;
  [[nodiscard]] GraphicsStatus Load(const void* source, std::uint32_t flags, HMODULE module,
                                    const char* resourceType) override;
  [[nodiscard]] GraphicsStatus CopyFrom(Image* source) override;
  [[nodiscard]] GraphicsStatus Convert(std::uint16_t type, Palette* palette, std::uint32_t flags,
                                       std::uint32_t reserved = 0) override;
  GraphicsStatus Free() override;
  std::int32_t Kind() const override;
  GraphicsStatus SyncPalette() override;
  GraphicsStatus SetPalette(Palette* palette) override;
  [[nodiscard]] GraphicsStatus Lock(std::uint8_t** bits, std::int32_t* pitch) override;
  GraphicsStatus Unlock() override;
  void Prefault() override;
  std::int32_t IsBottomUp() override;

  // 30: takes ownership of a block holding a packed DIB (also when refused: a refused
  // block is destroyed) and sets size, type and palette from it.
  [[nodiscard]] virtual GraphicsStatus Attach(MemoryBlock* block);
  // 31: the info header inside the block (after a file header), or null.
  virtual BITMAPINFOHEADER* Header();
  // 32, 33: tag "PKCC", "ARLE", "PRLE" or "TRLE".
  [[nodiscard]] virtual GraphicsStatus Encode(std::uint32_t tag);
  [[nodiscard]] virtual GraphicsStatus Decode();
  // 34
  virtual std::int32_t IsEncoded();

  MemoryBlock* Block() const { return block_; }
  // Bytes of the bitmap from its info header on (file header excluded), 0 without a block.
  std::uint32_t DibBytes() const { return dibBytes_; }

 protected:
  // Checks the block and takes it as this image's bitmap (the block is destroyed when it
  // is refused, or replaced by a rewritten copy; see NormaliseDib). A header behind a file
  // header is moved to the start of a private copy, so the header and the bits are always
  // 32-bit aligned. Sets size, type and encoded
  // state; the palette is left to the caller.
  GraphicsStatus InstallBlock(MemoryBlock* block);
  // Wraps new fixed global memory holding a packed DIB in an owned block.
  static MemoryBlock* WrapOwned(void* memory, std::uint32_t bytes);
  // Builds the palette of a depth-1..8 bitmap from its colour table.
  void PaletteFromTable();
  // Replaces the block by new memory holding a packed DIB (encoded or decoded form of
  // the same picture); the palette stays. False, with nothing changed, when the new
  // bitmap is refused.
  bool ReplaceBitmap(void* memory, std::uint32_t bytes);

  MemoryBlock* block_ = nullptr;
  std::uint32_t encoded_ = 0;
  std::uint8_t* dib_ = nullptr;     // the info header; the block stays locked while held
  std::uint32_t dibBytes_ = 0;      // info header through bits
  std::uint32_t bitsOffset_ = 0;    // from the info header to the bits
  std::uint32_t tableEntries_ = 0;  // colour-table entries (depths 1..8)
};
