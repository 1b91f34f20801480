// The palette operation that reads the platform's system palette. Target only.
#include <cstring>

#include "gfx/graphics_system.h"
#include "gfx/palette.h"

std::int32_t Palette::MergeSystemColours(std::uint32_t flags) {
  if (count_ != 256) return PALETTE_OK;
  GraphicsSystem* system = GraphicsSystem::Current();
  if (!system) return PALETTE_NO_SYSTEM;
  PaletteEntry merged[256];
  std::memset(merged, 0, sizeof merged);
  HDC dc = GetDC(system->Window());
  if (dc) GetSystemPaletteEntries(dc, 0, 256, reinterpret_cast<PALETTEENTRY*>(merged));
  // Entries 0..9 and 246..255 keep the static colours; ours take the 236 between.
  const std::int32_t from = (flags & 0x1) ? 10 : 0;
  const std::uint8_t mark = (flags & 0x2) ? PC_RESERVED : PC_NOCOLLAPSE;
  for (std::int32_t i = 10; i < 246; ++i) {
    merged[i] = entries_[from + i - 10];
    merged[i].flags = mark;
  }
  if (dc) ReleaseDC(system->Window(), dc);
  return SetEntries(merged, 0, 256);
}
