#pragma once
// The constant tables of what can appear in the aquarium: the seventeen
// species (enabled one by one through the "FISHES" bits) and the eight stock
// backgrounds in three sizes with their overlays, plus the resource names
// derived from them. All pictures are of resource type "BIN" in "ReraDOR".

#include <cstdint>

struct SpeciesRecord {
  char spriteName[20];  // sprite strip: all frames stacked vertically
  char maskName[20];    // 8-bit mask strip, same layout; empty = no mask
  std::int32_t totalFrames;  // N
  std::int32_t swimFrames;   // M; frames M..N-1 are the turn animation
  std::int32_t left;    // horizontal range, percent of the background width
  std::int32_t top;     // top of the vertical range, percent of the height
  std::int32_t right;
  std::int32_t extent;  // vertical extent for explicitly placed actors only
  std::int32_t speed;   // pixels per tick in the facing direction; < 0 = left
  std::int32_t hover;   // 1 = may stop and hover
  const char* displayName;
};

constexpr int kSpeciesCount = 17;
constexpr int kBackgroundCount = 8;

// Species by "FISHES" bit, 0..16; null outside.
const SpeciesRecord* SpeciesAt(int index);

// The puffer actor draws the species whose sprite name is exactly "PUFFER".
bool IsPufferSpecies(const SpeciesRecord& species);

struct PlacedPicture {
  const char* name;  // null = absent
  std::int32_t x;
  std::int32_t y;
};

struct BackgroundVariant {
  PlacedPicture background;  // x and y are 0 and not read
  PlacedPicture overlayA;
  PlacedPicture overlayB;
};

// Background 0..7 for a logical width: 640 picks the S variant, 800 the M
// variant, any other width the L variant. Null for an index outside 0..7.
const BackgroundVariant* BackgroundAt(int index, int logicalWidth);

// "13LP": the L variant's name followed by "P" (the preview picture).
// "13P": the first two characters of the name followed by "P" (the picture
// whose palette holds the background's colours on 8-bit displays).
// Both write at most `size` bytes including the terminating zero; false when
// the index is outside 0..7 or the buffer is too small.
bool PreviewPictureName(int index, char* out, int size);
bool PalettePictureName(int index, char* out, int size);
// "13LW": the L variant's name followed by "W", the scene drawn wide
// (kWidePictureWidth x 768) about the same centre, for edge-to-edge scenes.
constexpr int kWidePictureWidth = 1792;
bool WidePictureName(int index, char* out, int size);
// "CLOWN@2", "13LW@2": the named picture drawn at twice the size (frames,
// sizes and places doubled), for scenes composed for large monitors. False
// when name is null or empty or the buffer is too small.
constexpr const char* kTwiceSizeSuffix = "@2";
bool TwiceSizeName(const char* name, char* out, int size);

// Other fixed names.
constexpr const char* kBubbleSpriteName = "BUB1";
constexpr const char* kBubbleMaskName = "BUB1A";
constexpr const char* kFishPaletteName = "PALFISH";
constexpr const char* kResourceLibraryName = "ReraDOR";
constexpr const char* kPictureResourceType = "BIN";
constexpr const char* kSoundResourceType = "WAVE";
constexpr int kFirstSoundId = 233;
constexpr int kSoundCount = 16;
