#include "scene/setup_actors.h"

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
#include "scene/actor_table.h"
#include "scene/species_table.h"
#include "scene/text_actor.h"

namespace {

// The creatures, overlays and text take at most twenty slots; the clock
// comes after them, in one of the table's spare slots.
constexpr int kMaxUsedSlots = 20;
static_assert(kMaxUsedSlots < ActorTable::kSlots, "a slot is left for the clock");

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

Actor* MakeSpeciesActor(const SpriteTarget& target, const SpeciesRecord& record,
                        const ActorStage& stage) {
  Image* sprite = nullptr;
  TrleImage* mask = nullptr;
  if (record.maskName[0]) {
    sprite = LoadMaskedSprite(target, record.spriteName);
    mask = LoadSprite<TrleImage>(target.library, record.maskName);
  } else {
    sprite = LoadKeyedSprite(target, record.spriteName);
  }
  if (!sprite) return nullptr;
  if (IsPufferSpecies(record)) return new (std::nothrow) PufferActor(record, sprite, mask, stage);
  return new (std::nothrow) FishActor(record, sprite, mask, stage);
}

// A background overlay: a still fish actor over a keyed picture (a record of
// zeros but for one frame and the picture's place in the scene: speed 0).
Actor* MakeOverlayActor(const SpriteTarget& target, const PlacedPicture& overlay,
                        const OverlayFrame& frame, const ActorStage& stage) {
  ArleImage* image = LoadKeyedSprite(target, overlay.name);
  if (!image) return nullptr;
  const ScenePoint at = PlaceOverlay(frame, overlay.x, overlay.y, image->Height());
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
  return {LoadMaskedSprite(target, kBubbleSpriteName),
          LoadSprite<TrleImage>(target.library, kBubbleMaskName)};
}
