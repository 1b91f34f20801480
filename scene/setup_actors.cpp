#include "scene/setup_actors.h"

#include <cstring>
#include <new>

#include "gfx/arle_image.h"
#include "gfx/debug_log.h"
#include "gfx/palette.h"
#include "gfx/resource_block.h"
#include "gfx/trle_image.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/pixel_format.h"
#include "scene/clock_actor.h"
#include "scene/config.h"
#include "scene/fish_actor.h"
#include "scene/puffer_actor.h"
#include "scene/setup_background.h"
#include "scene/actor_stage.h"
#include "scene/actor_table.h"
#include "scene/creature_table.h"
#include "scene/text_actor.h"
#include "sprite/arle.h"
#include "sprite/sprite_layout.h"
#include "sprite/sprite_tags.h"
#include "sprite/strip_resample.h"
#include "sprite/trle.h"

namespace {

// The creatures, overlays and text take at most twenty slots; the clock
// comes after them, in one of the table's spare slots.
constexpr int kMaxUsedSlots = 20;
static_assert(kMaxUsedSlots < ActorTable::kSlots, "a slot is left for the clock");

// A picture's name at the target's scale (the twice-size art above 1); false
// (logged) when it does not fit.
constexpr int kNameSize = 24;
bool ScaledName(const SpriteTarget& target, const char* name, char (&out)[kNameSize]) {
  if (target.scale == PixelScale{} && std::strlen(name) < sizeof out) {
    std::strcpy(out, name);
    return true;
  }
  if (target.scale != PixelScale{} && TwiceSizeName(name, out, sizeof out)) return true;
  DebugLog("Tidewater: no name for %s at scale %d/%d\n", name, target.scale.num,
           target.scale.den);
  return false;
}

// The twice-size art is drawn as stored at scale 2 and resampled at any other.
bool Resampled(const SpriteTarget& target) {
  return target.scale != PixelScale{} && target.scale != PixelScale{2, 1};
}

bool HasPicture(HMODULE library, const char* name) {
  return FindResourceA(library, name, kPictureResourceType) != nullptr;
}

// A sprite read from the library into memory of its own. A sprite that
// cannot be read stays an empty image: its actor then draws nothing.
template <typename ImageClass>
ImageClass* LoadSprite(HMODULE library, const char* name) {
  auto* image = new (std::nothrow) ImageClass;
  if (!image) return nullptr;
  const GraphicsStatus status =
      image->Load(name, LOAD_FROM_RESOURCE | LOAD_PRIVATE_COPY, library, kPictureResourceType);
  if (status != GFX_OK) DebugLog("Tidewater: no sprite %s (status %d)\n", name, status);
  return image;
}

void ConvertSprite(PackedDibImage* image, const char* name, std::uint16_t type, Palette* palette) {
  if (!image || image->Type() == 0) return;  // already logged as missing
  const GraphicsStatus status = image->Convert(type, palette, 0);
  if (status != GFX_OK) DebugLog("Tidewater: sprite %s not converted (status %d)\n", name, status);
}

// A masked sprite in the back type.
TrleImage* LoadMaskedSprite(const SpriteTarget& target, const char* name) {
  TrleImage* sprite = LoadSprite<TrleImage>(target.library, name);
  ConvertSprite(sprite, name, target.backType, target.palette);
  return sprite;
}

// A keyed sprite: on 8-bit displays remapped to the scene palette; its key is
// its palette's entry nearest to pure red.
ArleImage* LoadKeyedSprite(const SpriteTarget& target, const char* name) {
  ArleImage* image = LoadSprite<ArleImage>(target.library, name);
  if (!image) return nullptr;
  if (target.backType == PIXEL_INDEX8) ConvertSprite(image, name, PIXEL_INDEX8, target.palette);
  Palette* palette = image->GetPalette();
  std::int32_t key = palette ? palette->NearestIndex(255, 0, 0) : -1;
  if (key >= 0) image->SetSourceKey(static_cast<std::uint32_t>(key));
  return image;
}

struct StripImages {
  Image* sprite = nullptr;
  TrleImage* mask = nullptr;  // null: the sprite is keyed
};

// Stored picture `name`, decoded to a plain 8-bit bitmap from any of the
// 8-bit sprite forms (fixed global memory: GlobalFree it); null when it is
// missing or refused.
BITMAPINFOHEADER* DecodedPicture(HMODULE library, const char* name, SIZE_T* bytes) {
  ResourceBlock block(library, name, kPictureResourceType);
  const auto* dib = static_cast<const BITMAPINFOHEADER*>(block.Lock());
  const SIZE_T size = block.Size();
  if (!dib || size < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib, sizeof header);
  switch (header.biCompression) {
    case TAG_PRLE: return DecodePrle(dib, size, bytes);
    case TAG_ARLE: return DecodeArle(dib, size, bytes);
    case TAG_TRLE: return header.biBitCount == 8 ? DecodeTrle(dib, size, bytes) : nullptr;
    default: return nullptr;
  }
}

// The colour-table entry of a plain 8-bit bitmap nearest to pure red, the
// key of the keyed pictures; -1 without a table.
std::int32_t RedIndex(const BITMAPINFOHEADER* plain, SIZE_T bytes) {
  SpriteLayout layout;
  if (!ReadSpriteLayout(plain, bytes, false, &layout)) return -1;
  const auto* table = reinterpret_cast<const BYTE*>(plain) + 40;
  std::int32_t best = -1, bestDistance = 0;
  for (std::uint32_t i = 0; i < layout.tableBytes / 4; ++i) {
    const std::int32_t r = table[4 * i + 2] - 255, g = table[4 * i + 1], b = table[4 * i];
    const std::int32_t d = r * r + g * g + b * b;
    if (best < 0 || d < bestDistance) best = std::int32_t(i), bestDistance = d;
  }
  return best;
}

// A TrleImage taking a codec's result; an empty image when it is refused.
TrleImage* TrleFrom(BITMAPINFOHEADER* dib, SIZE_T bytes) {
  auto* image = new (std::nothrow) TrleImage;
  auto* block = dib ? new (std::nothrow) WrappedMemoryBlock(dib, std::uint32_t(bytes), true, false)
                    : nullptr;
  if (dib && !block) GlobalFree(dib);
  if (!image) {
    delete block;
    return nullptr;
  }
  if (block) (void)image->Attach(block);  // an empty image when refused
  return image;
}

// Twice-size strip `sprite` of `frames` frames (keyed, or drawn through the
// twice-size `mask` when that is given), resampled once to the target's
// scale: a sprite in the back type and its mask. Empty images, logged, when
// it cannot be made: the actor then draws nothing.
StripImages LoadResampledStrip(const SpriteTarget& target, const char* sprite, const char* mask,
                               std::int32_t frames) {
  ResampledStrips::Strip kept;
  if (target.resampled && target.resampled->Find(sprite, target.scale, target.backType, &kept))
    return {kept.sprite, static_cast<TrleImage*>(kept.mask)};
  SIZE_T pictureBytes = 0, alphaBytes = 0;
  BITMAPINFOHEADER* picture = DecodedPicture(target.library, sprite, &pictureBytes);
  BITMAPINFOHEADER* alpha = mask ? DecodedPicture(target.library, mask, &alphaBytes) : nullptr;
  ResampledStrip made;
  bool ok = picture && (!mask || alpha);
  if (ok) {
    // The twice-size frame is twice the design's, which the scale maps to pixels.
    const std::int32_t w = picture->biWidth / 2, h = picture->biHeight / frames / 2;
    ok = ResampleStrip(picture, pictureBytes, alpha, alphaBytes,
                       alpha ? -1 : RedIndex(picture, pictureBytes), frames,
                       target.scale.Floor(w), target.scale.Floor(h), &made);
  }
  if (picture) GlobalFree(picture);
  if (alpha) GlobalFree(alpha);
  if (!ok) DebugLog("Tidewater: sprite %s not resampled\n", sprite);
  StripImages strip;
  strip.sprite = TrleFrom(made.sprite, made.spriteBytes);
  strip.mask = TrleFrom(made.mask, made.maskBytes);
  if (strip.sprite && target.backType != PIXEL_RGB32)
    ConvertSprite(static_cast<TrleImage*>(strip.sprite), sprite, target.backType, nullptr);
  if (target.resampled)
    target.resampled->Keep(sprite, target.scale, target.backType, {strip.sprite, strip.mask});
  return strip;
}

// A strip at the target's scale, drawn through its mask when it has one
// (maskName empty: none). At twice the size the library may keep a strip
// keyed whose 1x copy is masked: then it has no twice-size mask.
StripImages LoadStrip(const SpriteTarget& target, const char* spriteName, const char* maskName,
                      std::int32_t frames) {
  StripImages strip;
  char sprite[kNameSize], mask[kNameSize];
  if (!ScaledName(target, spriteName, sprite)) return strip;
  const bool masked = maskName[0] && ScaledName(target, maskName, mask) &&
                      (target.scale == PixelScale{} || HasPicture(target.library, mask));
  if (Resampled(target)) return LoadResampledStrip(target, sprite, masked ? mask : nullptr, frames);
  if (!masked) {
    strip.sprite = LoadKeyedSprite(target, sprite);
    return strip;
  }
  strip.sprite = LoadMaskedSprite(target, sprite);
  strip.mask = LoadSprite<TrleImage>(target.library, mask);
  return strip;
}

Actor* MakeSpeciesActor(const SpriteTarget& target, const SpeciesRecord& record,
                        const ActorStage& stage) {
  const StripImages strip =
      LoadStrip(target, record.spriteName, record.maskName, SwimmingActor::FramesOf(record));
  if (!strip.sprite) return nullptr;
  if (IsPufferSpecies(record))
    return new (std::nothrow) PufferActor(record, strip.sprite, strip.mask, stage);
  return new (std::nothrow) FishActor(record, strip.sprite, strip.mask, stage);
}

// A background overlay: a still fish actor over a keyed picture (a record of
// zeros but for one frame and the picture's place in the scene: speed 0).
Actor* MakeOverlayActor(const SpriteTarget& target, const PlacedPicture& overlay,
                        const OverlayFrame& frame, const ActorStage& stage) {
  const StripImages picture = LoadStrip(target, overlay.name, "", 1);
  if (!picture.sprite) return nullptr;
  const ScenePoint at = PlaceOverlay(frame, overlay.x, overlay.y,
                                     stage.scale.Units(picture.sprite->Height()));
  SpeciesRecord still{};
  still.totalFrames = 1;
  still.left = at.x;
  still.top = at.y;
  return new (std::nothrow) FishActor(still, picture.sprite, picture.mask, stage);
}

Actor* MakeTextActor(const SceneConfig& config, const ActorStage& stage) {
  if (!config.customText[0]) return nullptr;
  return new (std::nothrow) TextActor(config.font, config.customText, config.fontColour, stage);
}

// The clock, in the custom text's font and colour when there is custom text.
Actor* MakeClockActor(const SceneConfig& config, const ActorStage& stage) {
  if (config.clock == CLOCK_NONE) return nullptr;
  if (config.customText[0])
    return new (std::nothrow) ClockActor(&config.font, config.fontColour, config.clock, stage);
  return new (std::nothrow) ClockActor(nullptr, RGB(255, 255, 255), config.clock, stage);
}

}  // namespace

void FillActorTable(ActorTable& actors, const ActorStage& stage, const SpriteTarget& target,
                    const SceneConfig& config, const BackgroundPicture& background) {
  const BackgroundVariant* variant = background.variant;
  int slot = 0;
  auto place = [&](Actor* actor) {
    if (slot < kMaxUsedSlots)
      actors.Place(slot++, actor);
    else
      delete actor;
  };
  auto placeOverlay = [&](const PlacedPicture& overlay) {
    if (overlay.name) place(MakeOverlayActor(target, overlay, background.frame, stage));
  };
  auto placeSpecies = [&](int first, int last) {
    for (int i = first; i <= last; ++i)
      if (SpeciesEnabled(config.fishes, i)) place(MakeSpeciesActor(target, *SpeciesAt(i), stage));
  };
  placeSpecies(0, 1);
  if (variant) placeOverlay(variant->overlayA);
  placeSpecies(2, kSpeciesCount - 1);
  if (Actor* text = MakeTextActor(config, stage)) place(text);
  if (variant) placeOverlay(variant->overlayB);
  // Above everything, even when the other twenty slots are full.
  if (Actor* clock = MakeClockActor(config, stage)) actors.Place(slot, clock);
}

BubbleImages LoadBubbles(const SpriteTarget& target) {
  const StripImages strip = LoadStrip(target, kBubbleSpriteName, kBubbleMaskName, FishActor::kBubbleFrames);
  return {strip.sprite, strip.mask};
}

bool LibraryHasTwiceSizeArt(HMODULE library) {
  char name[kNameSize];
  return TwiceSizeName(kBubbleSpriteName, name, sizeof name) && HasPicture(library, name);
}

bool ResampledStrips::Find(const char* name, const PixelScale& scale, std::uint16_t type,
                           Strip* out) const {
  for (int i = 0; i < count_; ++i) {
    const Entry& e = entries_[i];
    if (e.scale == scale && e.type == type && std::strcmp(e.name, name) == 0) {
      *out = e.strip;
      return true;
    }
  }
  return false;
}

void ResampledStrips::Keep(const char* name, const PixelScale& scale, std::uint16_t type,
                           const Strip& strip) {
  if (count_ == kRoom || std::strlen(name) >= sizeof entries_[0].name) return;
  Entry& e = entries_[count_++];
  std::strcpy(e.name, name);
  e.scale = scale;
  e.type = type;
  e.strip = strip;
}
