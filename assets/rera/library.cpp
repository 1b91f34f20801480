#include "assets/rera/library.h"

#include "assets/art/bubbles.h"
#include "assets/art/scenes.h"
#include "assets/art/creature_art.h"
#include "assets/rera/picture_codec.h"
#include "assets/sound/ambient.h"
#include "assets/sound/wave_file.h"
#include "scene/creature_table.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <future>
#include <mutex>

namespace {

constexpr int kJpegQuality = 86;
constexpr int kPreviewWidth = 256, kPreviewHeight = 192;
constexpr int kBackgroundColours = 135;
constexpr int kSpriteColours = 100;

// One part of the library made on its own: its resources in order and, for
// sprites, a sample of their pixels (R, G, B, A) for the common sprite
// palette.
struct Piece {
  std::vector<LibraryItem> items;
  std::vector<std::uint8_t> pool;
};

void Add(Piece* piece, const std::string& name, Bytes data, int frames = 1) {
  LibraryItem item;
  item.entry.type = ResId::Name(kPictureResourceType);
  item.entry.name = ResId::Name(name);
  item.entry.data = std::move(data);
  item.frames = frames;
  piece->items.push_back(std::move(item));
}

// Visible sprite pixels for the common sprite palette.
void Collect(Piece* piece, const RgbaImage& strip) {
  // Every fourth visible pixel is plenty for 100 colours.
  for (std::size_t i = 0; i < strip.pixels.size(); i += 16) {
    if (strip.pixels[i + 3] < kKeyedAlphaThreshold) continue;
    piece->pool.insert(piece->pool.end(), strip.pixels.begin() + long(i),
                       strip.pixels.begin() + long(i) + 4);
  }
}

bool Fail(const std::string& what) {
  std::fprintf(stderr, "rera: cannot make %s\n", what.c_str());
  return false;
}

// A strip with its own mask, or colour keyed when `maskName` is empty.
bool AddStrip(Piece* piece, const std::string& name, const std::string& maskName,
              const FrameStrip& strip) {
  if (name.empty()) return Fail("a twice-size name");
  if (maskName.empty()) {
    Bytes pic;
    if (!MakeKeyedPicture(strip.image, &pic)) return Fail(name);
    Add(piece, name, std::move(pic), strip.frames);
    return true;
  }
  MaskedPicture pic;
  if (!MakeMaskedPicture(strip.image, &pic)) return Fail(name);
  Add(piece, name, std::move(pic.sprite), strip.frames);
  Add(piece, maskName, std::move(pic.mask), strip.frames);
  return true;
}

// Species `index` at 1x and 2x. The 2x strip is colour keyed even where the
// 1x one has a mask: the saver smooths the composed scene down to the monitor
// anyway, and 8-bit TRLE with a mask takes about seven times the bytes of
// keyed PRLE at 2x (13.5 MB against 1.9 MB for the masked species), more
// than the library has room for.
bool AddSpecies(Piece* piece, int index) {
  const SpeciesRecord* s = SpeciesAt(index);
  Creature creature;
  if (!CreatureFor(s->spriteName, &creature)) return Fail(s->spriteName);
  const FrameStrip strip = RenderCreature(creature, s->totalFrames, s->swimFrames);
  if (strip.frames != s->totalFrames) return Fail(s->spriteName);
  Collect(piece, strip.image);
  if (!AddStrip(piece, s->spriteName, s->maskName, strip)) return false;
  const FrameStrip twice = RenderCreature(creature, s->totalFrames, s->swimFrames, 2);
  if (twice.frames != s->totalFrames) return Fail(s->spriteName);
  return AddStrip(piece, TwiceSizePictureName(s->spriteName), "", twice);
}

// The bubble burst at 1x and 2x, both with masks: its bubbles are
// translucent all over, which a colour key cannot show.
bool AddBubbles(Piece* piece) {
  const FrameStrip bubbles = RenderBubbleBurst();
  Collect(piece, bubbles.image);
  return AddStrip(piece, kBubbleSpriteName, kBubbleMaskName, bubbles) &&
         AddStrip(piece, TwiceSizePictureName(kBubbleSpriteName),
                  TwiceSizePictureName(kBubbleMaskName), RenderBubbleBurst(2));
}

bool AddOverlays(Piece* piece, const ScenePictures& pics, const BackgroundVariant& v,
                 bool twice) {
  const PlacedPicture* placed[2] = {&v.overlayA, &v.overlayB};
  for (int k = 0; k < 2; ++k) {
    if (!placed[k]->name) continue;
    const std::string name = twice ? TwiceSizePictureName(placed[k]->name) : placed[k]->name;
    Bytes overlay;
    if (!pics.hasOverlay[k] || !MakeKeyedPicture(pics.overlay[k], &overlay)) {
      return Fail(placed[k]->name);
    }
    Add(piece, name, std::move(overlay));
  }
  return true;
}

// Scene `index`: its wide picture at 1x and 2x with the L overlays at 2x (at
// 1x the L variant's own are the wide picture's), then its L, M and S
// variants with their overlays, the 8-bit palette picture and the preview
// pictures (1x and 2x, from the L picture).
bool AddScene(Piece* piece, int index) {
  char name[8];
  if (!WidePictureName(index, name, sizeof name)) return false;
  const BackgroundVariant* large = BackgroundAt(index, 1024);
  {
    const ScenePictures once = RenderWideScene(index);
    if (once.background.width != kWidePictureWidth) return Fail(name);
    Add(piece, name, EncodeJpeg(once.background, kJpegQuality));
    const ScenePictures twice = RenderWideSceneTwice(index, once);
    if (twice.background.width != 2 * kWidePictureWidth) return Fail(TwiceSizePictureName(name));
    Add(piece, TwiceSizePictureName(name), EncodeJpeg(twice.background, kJpegQuality));
    if (!AddOverlays(piece, twice, *large, true)) return false;
  }
  for (int width : {1024, 800, 640}) {
    const BackgroundVariant* v = BackgroundAt(index, width);
    const ScenePictures pics = RenderScene(index, width);
    if (pics.background.Empty()) return Fail(v->background.name);
    Add(piece, v->background.name, EncodeJpeg(pics.background, kJpegQuality));
    if (!AddOverlays(piece, pics, *v, false)) return false;
    if (width != 1024) continue;
    PaletteEntry colours[kBackgroundColours] = {};
    const int n = QuantisePixels(pics.background, 0, kBackgroundColours, colours);
    Bytes palette, preview, previewTwice;
    if (!MakeSwatchPicture(colours, n, &palette) ||
        !MakeIndexedPicture(ReduceImage(pics.background, kPreviewWidth, kPreviewHeight),
                            &preview) ||
        !MakeIndexedPicture(
            ReduceImage(pics.background, 2 * kPreviewWidth, 2 * kPreviewHeight),
            &previewTwice)) {
      return Fail(v->background.name);
    }
    if (!PalettePictureName(index, name, sizeof name)) return false;
    Add(piece, name, std::move(palette));
    if (!PreviewPictureName(index, name, sizeof name)) return false;
    Add(piece, name, std::move(preview));
    Add(piece, TwiceSizePictureName(name), std::move(previewTwice));
  }
  return true;
}

bool AddSounds(Piece* piece) {
  for (int i = 0; i < kAmbientCount; ++i) {
    const AmbientSound sound = RenderAmbient(i);
    LibraryItem item;
    item.entry.type = ResId::Name(kSoundResourceType);
    item.entry.name = ResId::Number(std::uint16_t(kFirstSoundId + i));
    item.entry.data = WriteWave(AmbientPcm(sound), sound.loop.rate, sound.bits, sound.title);
    piece->items.push_back(std::move(item));
  }
  return true;
}

// The library's pieces: the sprites, then the scenes, then the sounds.
constexpr int kSpritePieces = kSpeciesCount + 1;
constexpr int kPieceCount = kSpritePieces + kBackgroundCount + 1;

bool MakePiece(int k, Piece* piece) {
  if (k < kSpeciesCount) return AddSpecies(piece, k);
  if (k == kSpeciesCount) return AddBubbles(piece);
  if (k < kSpritePieces + kBackgroundCount) return AddScene(piece, k - kSpritePieces);
  return AddSounds(piece);
}

std::string PieceTitle(int k) {
  if (k < kSpeciesCount) return SpeciesAt(k)->spriteName;
  if (k == kSpeciesCount) return kBubbleSpriteName;
  if (k < kSpritePieces + kBackgroundCount) {
    return BackgroundAt(k - kSpritePieces, 1024)->background.name;
  }
  return "sounds";
}

// The order pieces are made in: the scenes first, as they take longest, so
// that the two workers finish close together.
int MakingOrder(int i) {
  return (i + kSpritePieces) % kPieceCount;
}

}  // namespace

bool BuildLibrary(std::vector<LibraryItem>* items, const LibraryLog& log) {
  items->clear();
  // The pieces are independent: two workers take them one at a time, then
  // they are put together in a fixed order, so the result does not depend on
  // timing.
  std::vector<Piece> pieces(kPieceCount);
  std::vector<char> made(kPieceCount, 0);
  std::atomic<int> next{0};
  std::mutex logLock;
  auto work = [&] {
    for (int i = next++; i < kPieceCount; i = next++) {
      const int k = MakingOrder(i);
      made[std::size_t(k)] = MakePiece(k, &pieces[std::size_t(k)]);
      if (!log) continue;
      std::lock_guard<std::mutex> hold(logLock);
      log(PieceTitle(k));
    }
  };
  auto helper = std::async(std::launch::async, work);
  work();
  helper.get();
  for (char ok : made) {
    if (!ok) return false;
  }
  // The common sprite palette, from the sprites' samples in their order.
  RgbaImage pool(0, 1);
  for (int k = 0; k < kSpritePieces; ++k) {
    const std::vector<std::uint8_t>& sample = pieces[std::size_t(k)].pool;
    pool.pixels.insert(pool.pixels.end(), sample.begin(), sample.end());
  }
  pool.width = int(pool.pixels.size() / 4);
  PaletteEntry colours[kSpriteColours] = {};
  const int n = QuantisePixels(pool, 0, kSpriteColours, colours);
  Piece palette;
  Bytes palfish;
  if (!MakeSwatchPicture(colours, n, &palfish)) return Fail(kFishPaletteName);
  Add(&palette, kFishPaletteName, std::move(palfish));
  pieces.insert(pieces.begin() + kSpritePieces, std::move(palette));
  for (Piece& piece : pieces) {
    for (LibraryItem& item : piece.items) items->push_back(std::move(item));
  }
  return true;
}

std::string TwiceSizePictureName(const char* name) {
  char out[24];
  return TwiceSizeName(name, out, sizeof out) ? out : std::string();
}

int FramesOfPicture(const std::string& twiceOrOnce) {
  // A twice-size picture has the frames of its 1x picture.
  const std::string suffix = kTwiceSizeSuffix;
  std::string name = twiceOrOnce;
  if (name.size() > suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    name.resize(name.size() - suffix.size());
  }
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    if (name == s->spriteName || (s->maskName[0] && name == s->maskName)) return s->totalFrames;
  }
  if (name == kBubbleSpriteName || name == kBubbleMaskName) return kBubbleFrames;
  return 1;
}
