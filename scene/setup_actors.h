#pragma once
// Setup's actor room: the sprites of the enabled species, the background's
// overlays, the text line and the bubble images, loaded from the library,
// converted once for the back surface, and placed in the actor table in
// drawing order. Target only.

#include <cstdint>

#include "port/win32.h"

class ActorTable;
class Image;
class Palette;
struct ActorStage;
struct BackgroundPicture;
struct SceneConfig;

// What every sprite is read from and converted to: the library, the back
// surface's type and, on 8-bit displays, the scene palette (else null).
struct SpriteTarget {
  HMODULE library = nullptr;
  std::uint16_t backType = 0;
  Palette* palette = nullptr;
};

// Fills the actor table from slot 0: species 0 and 1, overlay A, the other
// species, the text, overlay B over them, then the clock over everything; the
// actors draw on the stage. The overlays are the background's variant's (none
// for the user's picture), placed on their spot of the picture by its frame.
void FillActorTable(ActorTable& actors, const ActorStage& stage, const SpriteTarget& target,
                    const SceneConfig& config, const BackgroundPicture& background);

// The bubble burst's sprite and mask, which every stage shares (either may
// be null or empty: the fish then draw no bursts).
struct BubbleImages {
  Image* sprite;
  Image* mask;
};
BubbleImages LoadBubbles(const SpriteTarget& target);
