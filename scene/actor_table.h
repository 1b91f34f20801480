#pragma once
// The 25 slots of the scene. Slot order is drawing order: later slots draw
// over earlier ones. The table owns the actors it holds.

#include <cstdint>

#include "scene/actor.h"

class ActorTable {
 public:
  static constexpr int kSlots = 25;

  ActorTable() = default;
  ActorTable(const ActorTable&) = delete;
  ActorTable& operator=(const ActorTable&) = delete;
  ~ActorTable() { DestroyAll(); }

  // Puts actor (may be null: a slot whose actor could not be made stays
  // empty) into slot, destroying what was there. Out of range: the actor is
  // destroyed and false returned.
  bool Place(int slot, Actor* actor);
  Actor* At(int slot) const;
  // Empties slot and hands its actor to the caller (null for an empty or
  // out-of-range slot), who may Place it again later.
  Actor* Take(int slot);

  // Steps every actor in slot order; an actor whose Step returns non-zero is
  // destroyed and its slot emptied.
  void StepAll();
  void DrawAll();
  // Destroys the actors from slot 0 to 24, emptying each slot.
  void DestroyAll();

 private:
  Actor* slots_[kSlots] = {};
};
