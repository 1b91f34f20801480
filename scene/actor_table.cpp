#include "scene/actor_table.h"

bool ActorTable::Place(int slot, Actor* actor) {
  if (slot < 0 || slot >= kSlots) {
    delete actor;
    return false;
  }
  delete slots_[slot];
  slots_[slot] = actor;
  return true;
}

Actor* ActorTable::At(int slot) const {
  return slot >= 0 && slot < kSlots ? slots_[slot] : nullptr;
}

Actor* ActorTable::Take(int slot) {
  Actor* actor = At(slot);
  if (actor) slots_[slot] = nullptr;
  return actor;
}

void ActorTable::StepAll() {
  for (Actor*& actor : slots_) {
    if (actor && actor->Step() != 0) {
      delete actor;
      actor = nullptr;
    }
  }
}

void ActorTable::DrawAll() {
  for (Actor* actor : slots_)
    if (actor) actor->Draw();
}

void ActorTable::DestroyAll() {
  for (Actor*& actor : slots_) {
    delete actor;
    actor = nullptr;
  }
}
