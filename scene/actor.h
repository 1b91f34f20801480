#pragma once
// A scene object: a fish, the puffer, the text line, a still overlay. The
// actor table owns its actors and calls them once per tick, in slot order.

#include <cstdint>

class Actor {
 public:
  Actor() = default;
  Actor(const Actor&) = delete;
  Actor& operator=(const Actor&) = delete;
  virtual ~Actor() = default;
  // Advances the actor by one frame. Non-zero asks the scene to destroy the
  // actor and free its slot before anything is drawn.
  virtual std::int32_t Step() = 0;
  // Draws into the back surface and adds what it covered to both the present
  // and the restore list. The result is not read.
  virtual std::int32_t Draw() = 0;
};
