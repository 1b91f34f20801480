#include "scene/setup_actors.h"

#include <cstring>
#include <new>

#include "gfx/arle_image.h"
#include "gfx/debug_log.h"
#include "gfx/palette.h"
#include "gfx/trle_image.h"
#include "pixel/pixel_format.h"
#include "scene/clock_actor.h"
#include "scene/config.h"
#include "scene/fish_actor.h"
#include "scene/puffer_actor.h"
#include "scene/setup_background.h"
#include "scene/actor_stage.h"
#include "scene/actor_table.h"
#include "scene/species_table.h"
#include "scene/text_actor.h"

namespace {

// The creatures, overlays and text take at most twenty slots; the clock
// comes after them, in one of the table's spare slots.
constexpr int kMaxUsedSlots = 20;
static_assert(kMaxUsedSlots < ActorTable::kSlots, "a slot is left for the clock");

// A picture's name at the target's scale; false (logged) when it does not fit.
constexpr int kNameSize = 24;
bool ScaledName(const SpriteTarget& target, const char* name, char (&out)[kNameSize]) {
  if (target.scale == 1 && std::strlen(name) < sizeof out) {
    std::strcpy(out, name);
    return true;
  }
  if (target.scale == 2 && TwiceSizeName(name, out, sizeof out)) return true;
  DebugLog("Tidewater: no name for %s at scale %d\n", name, target.scale);
  return false;
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

// A strip at the target's scale, drawn through its mask when it has one
// (maskName empty: none). At twice the size the library may keep a strip
// keyed whose 1x copy is masked: then it has no twice-size mask.
StripImages LoadStrip(const SpriteTarget& target, const char* spriteName, const char* maskName) {
  StripImages strip;
  char sprite[kNameSize], mask[kNameSize];
  if (!ScaledName(target, spriteName, sprite)) return strip;
  const bool masked = maskName[0] && ScaledName(target, maskName, mask) &&
                      (target.scale == 1 || HasPicture(target.library, mask));
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
  const StripImages strip = LoadStrip(target, record.spriteName, record.maskName);
  if (!strip.sprite) return nullptr;
  if (IsPufferSpecies(record))
    return new (std::nothrow) PufferActor(record, strip.sprite, strip.mask, stage);
  return new (std::nothrow) FishActor(record, strip.sprite, strip.mask, stage);
}

// A background overlay: a still fish actor over a keyed picture (a record of
// zeros but for one frame and the picture's place in the scene: speed 0).
Actor* MakeOverlayActor(const SpriteTarget& target, const PlacedPicture& overlay,
                        const OverlayFrame& frame, const ActorStage& stage) {
  char name[kNameSize];
  if (!ScaledName(target, overlay.name, name)) return nullptr;
  ArleImage* image = LoadKeyedSprite(target, name);
  if (!image) return nullptr;
  const ScenePoint at = PlaceOverlay(frame, overlay.x, overlay.y, image->Height() / stage.scale);
  SpeciesRecord still{};
  still.totalFrames = 1;
  still.left = at.x;
  still.top = at.y;
  return new (std::nothrow) FishActor(still, image, nullptr, stage);
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
  const StripImages strip = LoadStrip(target, kBubbleSpriteName, kBubbleMaskName);
  return {strip.sprite, strip.mask};
}

bool LibraryHasTwiceSizeArt(HMODULE library) {
  char name[kNameSize];
  return TwiceSizeName(kBubbleSpriteName, name, sizeof name) && HasPicture(library, name);
}
