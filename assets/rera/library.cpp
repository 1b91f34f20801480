#include "assets/rera/library.h"

#include "assets/art/bubbles.h"
#include "assets/art/scenes.h"
#include "assets/art/species_art.h"
#include "assets/rera/picture_codec.h"
#include "assets/sound/ambient.h"
#include "assets/sound/wave_file.h"
#include "scene/species_table.h"

#include <cstdio>
#include <cstring>
#include <future>
#include <mutex>

namespace {

constexpr int kJpegQuality = 86;
constexpr int kPreviewWidth = 256, kPreviewHeight = 192;
constexpr int kBackgroundColours = 135;
constexpr int kSpriteColours = 100;

void Add(std::vector<LibraryItem>* items, const std::string& name, Bytes data, int frames = 1) {
  LibraryItem item;
  item.entry.type = ResId::Name(kPictureResourceType);
  item.entry.name = ResId::Name(name);
  item.entry.data = std::move(data);
  item.frames = frames;
  items->push_back(std::move(item));
}

// A smaller copy (area average), for the preview pictures.
RgbaImage Reduce(const RgbaImage& src, int w, int h) {
  RgbaImage out(w, h);
  for (int y = 0; y < h; ++y) {
    const int y0 = y * src.height / h, y1 = std::max(y0 + 1, (y + 1) * src.height / h);
    for (int x = 0; x < w; ++x) {
      const int x0 = x * src.width / w, x1 = std::max(x0 + 1, (x + 1) * src.width / w);
      unsigned sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          for (int c = 0; c < 4; ++c) sum[c] += src.At(sx, sy)[c];
        }
      }
      const unsigned n = unsigned((y1 - y0) * (x1 - x0));
      for (int c = 0; c < 4; ++c) out.At(x, y)[c] = std::uint8_t((sum[c] + n / 2) / n);
    }
  }
  return out;
}

// All sprite pixels seen so far, for the common sprite palette.
void Collect(RgbaImage* pool, const RgbaImage& strip) {
  // Every fourth visible pixel is plenty for 100 colours.
  for (std::size_t i = 0; i < strip.pixels.size(); i += 16) {
    if (strip.pixels[i + 3] < kKeyedAlphaThreshold) continue;
    pool->pixels.insert(pool->pixels.end(), strip.pixels.begin() + long(i),
                        strip.pixels.begin() + long(i) + 4);
  }
}

bool Fail(const std::string& what) {
  std::fprintf(stderr, "rera: cannot make %s\n", what.c_str());
  return false;
}

bool AddSprites(std::vector<LibraryItem>* items, RgbaImage* pool, const LibraryLog& log) {
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    Creature creature;
    if (!CreatureFor(s->spriteName, &creature)) return Fail(s->spriteName);
    const FrameStrip strip = RenderCreature(creature, s->totalFrames, s->swimFrames);
    if (strip.frames != s->totalFrames) return Fail(s->spriteName);
    Collect(pool, strip.image);
    if (s->maskName[0]) {
      MaskedPicture pic;
      if (!MakeMaskedPicture(strip.image, &pic)) return Fail(s->spriteName);
      Add(items, s->spriteName, std::move(pic.sprite), strip.frames);
      Add(items, s->maskName, std::move(pic.mask), strip.frames);
    } else {
      Bytes pic;
      if (!MakeKeyedPicture(strip.image, &pic)) return Fail(s->spriteName);
      Add(items, s->spriteName, std::move(pic), strip.frames);
    }
    if (log) log(s->spriteName);
  }
  const FrameStrip bubbles = RenderBubbleBurst();
  MaskedPicture pic;
  if (!MakeMaskedPicture(bubbles.image, &pic)) return Fail(kBubbleSpriteName);
  Collect(pool, bubbles.image);
  Add(items, kBubbleSpriteName, std::move(pic.sprite), bubbles.frames);
  Add(items, kBubbleMaskName, std::move(pic.mask), bubbles.frames);
  if (log) log(kBubbleSpriteName);
  return true;
}

// The wide picture of scene `index`; its overlays are the L ones.
bool AddWideScene(std::vector<LibraryItem>* items, int index, const LibraryLog& log) {
  char name[8];
  if (!WidePictureName(index, name, sizeof name)) return false;
  const ScenePictures pics = RenderWideScene(index);
  if (pics.background.width != kWidePictureWidth) return Fail(name);
  Add(items, name, EncodeJpeg(pics.background, kJpegQuality));
  if (log) log(name);
  return true;
}

bool AddScenes(std::vector<LibraryItem>* items, const LibraryLog& log) {
  for (int i = 0; i < kBackgroundCount; ++i) {
    if (!AddWideScene(items, i, log)) return false;
    for (int width : {1024, 800, 640}) {
      const BackgroundVariant* v = BackgroundAt(i, width);
      const ScenePictures pics = RenderScene(i, width);
      if (pics.background.Empty()) return Fail(v->background.name);
      Add(items, v->background.name, EncodeJpeg(pics.background, kJpegQuality));
      const PlacedPicture* placed[2] = {&v->overlayA, &v->overlayB};
      for (int k = 0; k < 2; ++k) {
        if (!placed[k]->name) continue;
        Bytes overlay;
        if (!pics.hasOverlay[k] || !MakeKeyedPicture(pics.overlay[k], &overlay)) {
          return Fail(placed[k]->name);
        }
        Add(items, placed[k]->name, std::move(overlay));
      }
      if (width == 1024) {
        // The 8-bit palette picture and the preview picture come from the L size.
        PaletteEntry colours[kBackgroundColours] = {};
        const int n = QuantisePixels(pics.background, 0, kBackgroundColours, colours);
        Bytes palette, preview;
        if (!MakeSwatchPicture(colours, n, &palette) ||
            !MakeIndexedPicture(Reduce(pics.background, kPreviewWidth, kPreviewHeight),
                                &preview)) {
          return Fail(v->background.name);
        }
        char name[8];
        if (!PalettePictureName(i, name, sizeof name)) return false;
        Add(items, name, std::move(palette));
        if (!PreviewPictureName(i, name, sizeof name)) return false;
        Add(items, name, std::move(preview));
      }
      if (log) log(v->background.name);
    }
  }
  return true;
}

bool AddSounds(std::vector<LibraryItem>* items, const LibraryLog& log) {
  for (int i = 0; i < kAmbientCount; ++i) {
    const AmbientSound sound = RenderAmbient(i);
    LibraryItem item;
    item.entry.type = ResId::Name(kSoundResourceType);
    item.entry.name = ResId::Number(std::uint16_t(kFirstSoundId + i));
    item.entry.data = WriteWave(AmbientPcm(sound), sound.loop.rate, sound.bits, sound.title);
    items->push_back(std::move(item));
    if (log) log(std::to_string(kFirstSoundId + i) + " " + sound.title);
  }
  return true;
}

}  // namespace

bool BuildLibrary(std::vector<LibraryItem>* items, const LibraryLog& log) {
  items->clear();
  // Sprites, scenes and sounds are independent: made side by side, then put
  // together in a fixed order, so the result does not depend on timing.
  std::mutex logLock;
  const LibraryLog safeLog = [&](const std::string& line) {
    if (!log) return;
    std::lock_guard<std::mutex> hold(logLock);
    log(line);
  };
  std::vector<LibraryItem> sprites, scenes, sounds;
  RgbaImage pool(0, 0);
  auto spritesDone = std::async(std::launch::async, [&] {
    if (!AddSprites(&sprites, &pool, safeLog)) return false;
    pool.width = int(pool.pixels.size() / 4);
    pool.height = 1;
    PaletteEntry colours[kSpriteColours] = {};
    const int n = QuantisePixels(pool, 0, kSpriteColours, colours);
    Bytes palfish;
    if (!MakeSwatchPicture(colours, n, &palfish)) return Fail(kFishPaletteName);
    Add(&sprites, kFishPaletteName, std::move(palfish));
    return AddSounds(&sounds, safeLog);
  });
  const bool scenesOk = AddScenes(&scenes, safeLog);
  const bool spritesOk = spritesDone.get();
  if (!scenesOk || !spritesOk) return false;
  for (auto* part : {&sprites, &scenes, &sounds}) {
    for (LibraryItem& item : *part) items->push_back(std::move(item));
  }
  return true;
}

int FramesOfPicture(const std::string& name) {
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    if (name == s->spriteName || (s->maskName[0] && name == s->maskName)) return s->totalFrames;
  }
  if (name == kBubbleSpriteName || name == kBubbleMaskName) return kBubbleFrames;
  return 1;
}
