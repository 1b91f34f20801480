#include "assets/art/creature_art.h"

#include <cstring>

namespace {

struct Entry {
  const char* name;
  Creature (*make)();
};

constexpr Entry kCreatures[] = {
    {"CLOWN", ClownCreature},         {"LOGGERHEAD", TurtleCreature},
    {"ANGEL", AngelCreature},         {"TRIGGER", TriggerCreature},
    {"TRUMPET", TrumpetCreature},     {"PARROT", ParrotCreature},
    {"LONGIVENT", LongiventCreature}, {"AUL", AulonocaraCreature},
    {"GENERIC", GenericCreature},     {"PUFFER", PufferCreature},
    {"NEON", NeonCreature},           {"LION", LionCreature},
    {"LOBSTER", LobsterCreature},     {"PARADISE", ParadiseCreature},
    {"CRAB", CrabCreature},           {"DOLPHIN", DolphinCreature},
    {"OTO", OtopharynxCreature},
};

}  // namespace

bool CreatureFor(const char* spriteName, Creature* out) {
  for (const Entry& e : kCreatures) {
    if (std::strcmp(e.name, spriteName) == 0) {
      *out = e.make();
      return true;
    }
  }
  return false;
}

FrameStrip RenderCreature(const Creature& creature, int totalFrames, int swimFrames,
                          int pixelScale) {
  StripPlan plan;
  if (creature.inflates) {
    // Slim at frame 0, round at the last frame, eased at both ends; the fins
    // keep beating gently throughout.
    for (int k = 0; k < totalFrames; ++k) {
      FishPose p;
      const double u = totalFrames > 1 ? double(k) / (totalFrames - 1) : 0;
      p.inflate = u * u * (3 - 2 * u);
      p.swim = double(k % 4) / 4;
      plan.poses.push_back(p);
    }
  } else {
    plan = SwimAndTurnPlan(totalFrames, swimFrames);
  }
  plan.mirrorAll = creature.facesRight;
  plan.scratch = creature.scratch;
  plan.originX = creature.originX;
  plan.originY = creature.originY;
  plan.pixelScale = pixelScale;
  return BuildStrip(creature.draw, plan);
}
