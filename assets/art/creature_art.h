#pragma once
// The creatures of the aquarium: how each species is drawn, and its frame
// strip built to the frame counts of the species table.

#include "assets/art/strip.h"

// One creature: a drawer in body coordinates (facing left, the nose near
// x = 0) and where it needs room in the scratch area.
struct Creature {
  CreatureDrawer draw;
  double scratch = 400;
  double originX = 100, originY = 200;
  bool facesRight = false;  // mirror every frame (the species swims rightwards)
  bool inflates = false;    // frames run from slim to fully inflated
};

// Families of creatures (one file each).
Creature ClownCreature();
Creature AngelCreature();
Creature TriggerCreature();
Creature LionCreature();
Creature NeonCreature();
Creature GenericCreature();
Creature ParadiseCreature();
Creature PufferCreature();
Creature TrumpetCreature();
Creature ParrotCreature();
Creature LongiventCreature();
Creature AulonocaraCreature();
Creature OtopharynxCreature();
Creature TurtleCreature();
Creature DolphinCreature();
Creature CrabCreature();
Creature LobsterCreature();

// The creature drawn for a sprite name of the species table; false when the
// name is unknown.
bool CreatureFor(const char* spriteName, Creature* out);

// The strip of `totalFrames` frames, the first `swimFrames` of them the swim
// cycle (or, for an inflating creature, slim to round), at `pixelScale`
// pixels per body unit (2: every frame exactly twice the size of scale 1's).
FrameStrip RenderCreature(const Creature& creature, int totalFrames, int swimFrames,
                          int pixelScale = 1);
