#pragma once
// Setup's actor room: the sprites of the enabled species, the background's
// overlays, the text line and the bubble images, loaded from the library,
// converted once for the back surface, and placed in the actor table in
// drawing order. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/pixel_scale.h"

class ActorTable;
class Image;
class Palette;
struct ActorStage;
struct BackgroundPicture;
struct SceneConfig;

// What every sprite is read from and converted to: the library, the back
// surface's type and, on 8-bit displays, the scene palette (else null), and
// the scene's scale: at 1 the pictures as named; above, those drawn at twice
// the size (their names with "@2"; a strip whose mask has no twice-size copy
// is keyed), as stored at scale 2 and resampled once to any other scale.
// Strips resampled for a scale during one setup, kept for every scene of the
// same scale and back type (the monitors of one size share them: resampling
// is the dearest part of setup). The images belong to the GraphicsSystem.
class ResampledStrips {
 public:
  struct Strip {
    Image* sprite;
    Image* mask;
  };
  // The strip made for name, scale and type before; false when there is none.
  bool Find(const char* name, const PixelScale& scale, std::uint16_t type, Strip* out) const;
  // Keeps a strip; one more than the room for every picture is dropped.
  void Keep(const char* name, const PixelScale& scale, std::uint16_t type, const Strip& strip);

 private:
  struct Entry {
    char name[24];
    PixelScale scale;
    std::uint16_t type;
    Strip strip;
  };
  static constexpr int kRoom = 24;  // the species, the bubbles and two overlays
  Entry entries_[kRoom] = {};
  int count_ = 0;
};

struct SpriteTarget {
  HMODULE library = nullptr;
  std::uint16_t backType = 0;
  Palette* palette = nullptr;
  PixelScale scale;
  ResampledStrips* resampled = nullptr;  // where resampled strips are kept, if anywhere
};

// True when the library holds the art at twice the size (an older one does
// not): the pictures are made together, so the bubble burst stands for all.
bool LibraryHasTwiceSizeArt(HMODULE library);

// Fills the actor table from slot 0: species 0 and 1, overlay A, the other
// species, the text, overlay B over them, then the clock over everything; the
// actors draw on the stage. The overlays are the background's variant's (none
// for the user's picture), placed on their spot of the picture by its frame.
void FillActorTable(ActorTable& actors, const ActorStage& stage, const SpriteTarget& target,
                    const SceneConfig& config, const BackgroundPicture& background);

// The bubble burst's sprite and mask at the target's scale (a null mask: the
// sprite is keyed; an empty or missing sprite: the fish draw no bursts).
struct BubbleImages {
  Image* sprite;
  Image* mask;
};
BubbleImages LoadBubbles(const SpriteTarget& target);
