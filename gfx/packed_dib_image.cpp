#include "gfx/packed_dib_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gfx/bitmap_conversion.h"
#include "gfx/dib_layout.h"
#include "gfx/global_memory_block.h"
#include "gfx/palette.h"
#include "gfx/prefault.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/pixel_format.h"
#include "sprite/arle.h"
#include "sprite/packed.h"
#include "sprite/sprite_tags.h"
#include "sprite/trle.h"

#ifdef _WIN32
#include "gfx/file_mapping_block.h"
#include "gfx/resource_block.h"
#endif

namespace {

bool IsAligned(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 4 == 0; }

// A new fixed global block holding a copy of bytes[0, size), or null.
MemoryBlock* CopyToGlobalBlock(const void* bytes, std::uint32_t size) {
  auto* copy = new (std::nothrow) GlobalMemoryBlock(size, true);
  if (!copy) return nullptr;
  void* p = copy->Lock();
  if (!p) {
    delete copy;
    return nullptr;
  }
  std::memcpy(p, bytes, size);
  copy->Unlock();
  return copy;
}

// The file or resource block a Load source names (target only), or null.
MemoryBlock* OpenLoadSource(const void* source, std::uint32_t flags, HMODULE module,
                            const char* resourceType) {
#ifdef _WIN32
  switch (flags & LOAD_SOURCE_MASK) {
    case LOAD_FROM_FILE:
      if (!source) return nullptr;
      return new (std::nothrow)
          FileMappingBlock(0, static_cast<const char*>(source), false, nullptr, true, true);
    case LOAD_FROM_RESOURCE:
      return new (std::nothrow)
          ResourceBlock(module, static_cast<const char*>(source), resourceType);
  }
#endif
  return nullptr;
}

using Encoder = BITMAPINFOHEADER* (*)(const BITMAPINFOHEADER*, SIZE_T, SIZE_T*);

struct CodecRow {
  std::uint32_t tag;
  Encoder codec;
};

// Encode takes the request tag; Decode the stored tag.
const CodecRow kEncoders[] = {
    {TAG_PKCC, EncodePacked},
    {TAG_ARLE, EncodeArle},
    {TAG_PRLE, EncodePrle},
    {TAG_TRLE, EncodeTrle},
};
const CodecRow kDecoders[] = {
    {TAG_PKC1, DecodePacked}, {TAG_PKC2, DecodePacked}, {TAG_ARLE, DecodeArle},
    {TAG_PRLE, DecodePrle},   {TAG_TRLE, DecodeTrle},
};

template <std::size_t N>
Encoder FindCodec(const CodecRow (&table)[N], std::uint32_t tag) {
  for (const CodecRow& row : table)
    if (row.tag == tag) return row.codec;
  return nullptr;
}

}  // namespace

PackedDibImage::PackedDibImage() { PackedDibImage::Reset(); }

PackedDibImage::~PackedDibImage() { PackedDibImage::Free(); }

void PackedDibImage::Reset() {
  Image::Reset();
  block_ = nullptr;
  encoded_ = 0;
  dib_ = nullptr;
  dibBytes_ = bitsOffset_ = tableEntries_ = 0;
}

GraphicsStatus PackedDibImage::Free() {
  Image::SetPalette(nullptr);
  SetClip(nullptr);
  if (block_) {
    block_->Unlock();  // the lock taken when the block was installed
    delete block_;
  }
  Reset();
  return GFX_OK;
}

std::int32_t PackedDibImage::Kind() const { return IMAGE_KIND_PACKED_DIB; }
std::int32_t PackedDibImage::IsBottomUp() { return 1; }
std::int32_t PackedDibImage::IsEncoded() { return std::int32_t(encoded_); }

BITMAPINFOHEADER* PackedDibImage::Header() { return reinterpret_cast<BITMAPINFOHEADER*>(dib_); }

MemoryBlock* PackedDibImage::WrapOwned(void* memory, std::uint32_t bytes) {
  auto* block = new (std::nothrow) WrappedMemoryBlock(memory, bytes, true, false);
  if (!block) GlobalFree(memory);
  return block;
}

GraphicsStatus PackedDibImage::InstallBlock(MemoryBlock* block) {
  if (!block) return GFX_BAD_ARGUMENT;
  auto* bytes = static_cast<std::uint8_t*>(block->Lock());
  DibLayout layout;
  if (!bytes) {
    delete block;
    return GFX_BAD_ARGUMENT;
  }
  if (!ReadDibLayout(bytes, block->Size(), &layout)) {
    // A later header form, top-down rows or a gap before the bits: take a rewritten copy.
    std::uint32_t normalBytes = 0;
    std::uint8_t* normal = NormaliseDib(bytes, block->Size(), &normalBytes);
    block->Unlock();
    delete block;
    if (!normal) return GFX_BAD_ARGUMENT;
    block = WrapOwned(normal, normalBytes);
    bytes = block ? static_cast<std::uint8_t*>(block->Lock()) : nullptr;
    if (!bytes || !ReadDibLayout(bytes, normalBytes, &layout)) {
      delete block;
      return GFX_BAD_ARGUMENT;
    }
  }
  const std::uint32_t dibBytes = std::uint32_t(layout.TotalBytes());
  std::uint8_t* dib = bytes + layout.headerOffset;
  if (!IsAligned(dib)) {
    // Behind a 14-byte file header the info header and the bits are misaligned; the
    // kernels and codecs read them as whole words, so the bitmap moves to its own block.
    MemoryBlock* copy = CopyToGlobalBlock(dib, dibBytes);
    block->Unlock();
    delete block;
    if (!copy) return GFX_BAD_ARGUMENT;
    block = copy;
    dib = static_cast<std::uint8_t*>(block->Lock());
  }
  block_ = block;
  dib_ = dib;
  dibBytes_ = dibBytes;
  bitsOffset_ = kDibInfoHeaderBytes + layout.tableBytes;
  tableEntries_ = layout.tableEntries;
  width_ = std::uint16_t(layout.header.biWidth);
  height_ = std::uint16_t(layout.header.biHeight);
  type_ = layout.type;
  encoded_ = layout.encoded ? 1 : 0;
  return GFX_OK;
}

void PackedDibImage::PaletteFromTable() {
  const std::uint32_t depth = PixelDepth(type_);
  if (depth < 1 || depth > 8) return;
  Palette* palette = NewPalette();
  if (!palette) return;
  const std::int32_t count = 1 << depth;
  if (palette->Create(count) == PALETTE_OK) {
    PaletteEntry entries[256] = {};
    const std::uint8_t* table = dib_ + kDibInfoHeaderBytes;
    // A table shorter than 2^depth leaves the remaining entries black.
    const std::uint32_t present = std::min<std::uint32_t>(tableEntries_, std::uint32_t(count));
    for (std::uint32_t i = 0; i < present; ++i)
      entries[i] = PaletteEntry{table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
    palette->SetEntries(entries, 0, count);
    SetPalette(palette);
  }
  palette->Release();
}

GraphicsStatus PackedDibImage::Attach(MemoryBlock* block) {
  Free();
  GraphicsStatus status = InstallBlock(block);
  if (status != GFX_OK) return status;
  PaletteFromTable();
  return GFX_OK;
}

bool PackedDibImage::ReplaceBitmap(void* memory, std::uint32_t bytes) {
  MemoryBlock* block = WrapOwned(memory, bytes);
  if (!block) return false;
  void* p = block->Lock();
  DibLayout layout;
  if (!p || !ReadDibLayout(static_cast<std::uint8_t*>(p), bytes, &layout) || layout.type != type_ ||
      layout.header.biWidth != width_ || layout.header.biHeight != height_) {
    delete block;
    return false;
  }
  block->Unlock();
  // Keep palette and clip; only the bitmap changes.
  MemoryBlock* old = block_;
  old->Unlock();
  delete old;
  block_ = nullptr;
  GraphicsStatus status = InstallBlock(block);
  return status == GFX_OK;
}

GraphicsStatus PackedDibImage::Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                                      std::int32_t, std::int32_t) {
  Free();
  std::uint8_t scratch[kDibScratchBytes];
  const std::uint32_t headerBytes = BuildDibHeader(scratch, width, height, type);
  if (headerBytes == 0 || width < 1 || width > 0xFFFF || height < 1 || height > 0xFFFF)
    return GFX_BAD_ARGUMENT;
  const std::uint64_t total =
      headerBytes + PixelRowBytes(std::uint64_t(width), PixelDepth(type)) * std::uint64_t(height);
  if (total > kMaxDibBytes) return GFX_BAD_ARGUMENT;
  auto* block = new (std::nothrow) GlobalMemoryBlock(std::uint32_t(total), true);
  if (!block) return GFX_BAD_ARGUMENT;
  void* p = block->Lock();
  if (!p) {
    delete block;
    return GFX_BAD_ARGUMENT;
  }
  std::memcpy(p, scratch, headerBytes);
  block->Unlock();
  return Attach(block);
}

GraphicsStatus PackedDibImage::Load(const void* source, std::uint32_t flags, HMODULE module,
                                    const char* resourceType) {
  Free();
  const bool copy = (flags & LOAD_PRIVATE_COPY) != 0;
  MemoryBlock* block = nullptr;
  if ((flags & LOAD_SOURCE_MASK) == LOAD_FROM_BLOCK) {
    // The caller's block stays the caller's: copied, or wrapped and left locked while
    // this image uses its bytes.
    auto* callers = static_cast<MemoryBlock*>(const_cast<void*>(source));
    void* p = callers ? callers->Lock() : nullptr;
    if (!p) return GFX_BAD_ARGUMENT;
    if (copy) {
      block = CopyToGlobalBlock(p, callers->Size());
      callers->Unlock();
    } else {
      block =
          new (std::nothrow) WrappedMemoryBlock(p, callers->Size(), false, callers->IsReadOnly());
    }
  } else {
    block = OpenLoadSource(source, flags, module, resourceType);
    void* p = block ? block->Lock() : nullptr;
    if (!p) {
      delete block;
      return GFX_BAD_ARGUMENT;
    }
    if (copy) {
      MemoryBlock* private_copy = CopyToGlobalBlock(p, block->Size());
      block->Unlock();
      delete block;
      block = private_copy;
    } else {
      block->Unlock();
    }
  }
  if (!block) return GFX_BAD_ARGUMENT;
  const GraphicsStatus status = Attach(block);
  // A bitmap that cannot be decoded stays as loaded, encoded.
  if (status == GFX_OK && (flags & LOAD_DECODE) && encoded_) (void)Decode();
  return status;
}

GraphicsStatus PackedDibImage::CopyFrom(Image* source) {
  if (source == this) return GFX_OK;
  Free();
  if (!source) return GFX_BAD_ARGUMENT;
  if (source->Type() == 0) return GFX_NO_PIXELS;
  if (source->Kind() != IMAGE_KIND_PACKED_DIB) return Image::CopyFrom(source);
  auto* packed = static_cast<PackedDibImage*>(source);
  if (!packed->dib_) return GFX_NO_PIXELS;
  MemoryBlock* copy = CopyToGlobalBlock(packed->dib_, packed->dibBytes_);
  if (!copy) return GFX_BAD_ARGUMENT;
  return Attach(copy);
}

GraphicsStatus PackedDibImage::SetPalette(Palette* palette) { return SetTablePalette(palette); }

GraphicsStatus PackedDibImage::SyncPalette() {
  Palette* palette = GetPalette();
  if (!palette || palette->ChangeCounter() == paletteVersionSeen_ || !block_) return GFX_OK;
  // Resources and mapped files are never written.
  if (block_->IsReadOnly() || block_->Kind() == MEMORY_BLOCK_FILE_MAPPING ||
      block_->Kind() == MEMORY_BLOCK_RESOURCE)
    return GFX_OK;
  std::uint8_t* table = dib_ + kDibInfoHeaderBytes;
  const std::uint32_t count =
      std::min<std::uint32_t>(tableEntries_, std::uint32_t(palette->Count()));
  const PaletteEntry* entries = palette->Entries();
  for (std::uint32_t i = 0; i < count; ++i) {
    table[4 * i] = entries[i].blue;
    table[4 * i + 1] = entries[i].green;
    table[4 * i + 2] = entries[i].red;
    table[4 * i + 3] = 0;
  }
  return GFX_OK;
}

GraphicsStatus PackedDibImage::Lock(std::uint8_t** bits, std::int32_t* pitch) {
  if (!block_ || type_ == 0) return GFX_NO_PIXELS;
  if (encoded_) return GFX_ENCODED;
  if (lockCount_ == 0 || !lockPointer_) {
    if (!block_->Lock()) return GFX_BAD_ARGUMENT;
    lockPointer_ = dib_ + bitsOffset_;
    lockPitch_ = std::int32_t(PixelRowBytes(width_, PixelDepth(type_)));
    lockCount_ = 0;
  }
  ++lockCount_;
  if (bits) *bits = static_cast<std::uint8_t*>(lockPointer_);
  if (pitch) *pitch = lockPitch_;
  return GFX_OK;
}

GraphicsStatus PackedDibImage::Unlock() {
  if (lockCount_ > 1) {
    --lockCount_;
  } else if (lockCount_ == 1) {
    lockCount_ = 0;
    lockPointer_ = nullptr;
    lockPitch_ = 0;
    block_->Unlock();
  }
  return GFX_OK;
}

void PackedDibImage::Prefault() {
  if (dib_) ::Prefault(dib_, dibBytes_);
}

GraphicsStatus PackedDibImage::Encode(std::uint32_t tag) {
  if (!block_) return GFX_NO_PIXELS;
  if (encoded_) return GFX_ALREADY_ENCODED;
  if (lockCount_ && lockPointer_) return GFX_LOCKED;
  Encoder encoder = FindCodec(kEncoders, tag);
  if (!encoder) return GFX_UNKNOWN_TAG;
  SIZE_T bytes = 0;
  BITMAPINFOHEADER* encoded = encoder(Header(), dibBytes_, &bytes);
  if (!encoded) return GFX_BAD_ARGUMENT;
  if (bytes > kMaxDibBytes) {
    GlobalFree(encoded);
    return GFX_BAD_ARGUMENT;
  }
  if (!ReplaceBitmap(encoded, std::uint32_t(bytes))) return GFX_BAD_ARGUMENT;
  return GFX_OK;
}

GraphicsStatus PackedDibImage::Decode() {
  if (!block_) return GFX_NO_PIXELS;
  if (!encoded_) return GFX_NOT_ENCODED;
  Encoder decoder = FindCodec(kDecoders, Header()->biCompression);
  if (!decoder) return GFX_UNKNOWN_TAG;
  SIZE_T bytes = 0;
  BITMAPINFOHEADER* decoded = decoder(Header(), dibBytes_, &bytes);
  if (!decoded) return GFX_BAD_ARGUMENT;
  if (bytes > kMaxDibBytes) {
    GlobalFree(decoded);
    return GFX_BAD_ARGUMENT;
  }
  if (!ReplaceBitmap(decoded, std::uint32_t(bytes))) return GFX_BAD_ARGUMENT;
  return GFX_OK;
}

GraphicsStatus PackedDibImage::Convert(std::uint16_t type, Palette* palette, std::uint32_t flags,
                                       std::uint32_t) {
  if (type_ == 0) return GFX_NO_PIXELS;
  if (encoded_) return GFX_ENCODED;
  if (!palette && type == type_) return GFX_OK;
  if (type == PIXEL_INDEX8 && !palette) return GFX_BAD_ARGUMENT;
  PaletteEntry entries[256] = {};
  if (palette && palette->Entries())
    std::memcpy(entries, palette->Entries(),
                sizeof(PaletteEntry) * std::min<std::size_t>(palette->Count(), 256));
  const std::uint32_t count = palette ? std::uint32_t(std::min(palette->Count(), 256)) : 0;
  std::uint32_t bytes = 0;
  BITMAPINFOHEADER* result = nullptr;
  if ((flags & CONVERT_INVERSE_MAP) && type == PIXEL_INDEX8) {
    const InverseColourMap* map = palette->InverseMap();
    if (!map) return GFX_CONVERSION_EMPTY;
    result = (flags & CONVERT_DIFFUSE)
                 ? ConvertByInverseMapDiffused(dib_, dibBytes_, entries, count, map, &bytes)
                 : ConvertByInverseMap(dib_, dibBytes_, entries, count, map, &bytes);
  } else if (flags & CONVERT_DIFFUSE) {
    result = ConvertDiffused(dib_, dibBytes_, type, entries, count, &bytes);
  } else {
    result = ConvertStraight(dib_, dibBytes_, type, entries, count, &bytes);
  }
  if (!result) return GFX_CONVERSION_EMPTY;
  MemoryBlock* block = WrapOwned(result, bytes);
  if (!block) return GFX_CONVERSION_EMPTY;
  return Attach(block) == GFX_OK ? GFX_OK : GFX_CONVERSION_EMPTY;
}
