#pragma once
// The still pictures of a background (the wreck, the rocks): drawn the same in
// the same place every frame, over the actors in earlier slots and under the
// later ones. A frame draws an overlay anew only in the tiles of its box that
// something touched this frame: a rectangle restored from last frame, or the
// box of an actor about to draw. A touched tile is restored whole from the
// background before anything is drawn into it this frame, and the overlays
// already drawn this frame are drawn into it again, so every overlay pixel is
// blended exactly once over what lies beneath it (a soft edge drawn twice
// would darken). A tile nothing touched keeps last frame's pixels, which are
// what the frame would draw there again.
//
// So an actor reports its box before it draws into it (ActorStage::Report).

#include <cstdint>
#include <vector>

#include "scene/rect.h"

class Image;

// How a scene copies its background back under a rectangle of its surface.
using RestoreRect = void (*)(void* context, const Rect& r);

class StillOverlays {
 public:
  // One overlay: its frame at (0, sourceY) in sprite, drawn with flags (and
  // mask, when there is one) at box, in surface pixels.
  struct Picture {
    Image* sprite;
    Image* mask;
    std::uint32_t flags;
    Rect box;
    std::int32_t sourceY;
  };

  static constexpr int kRoom = 4;             // a background has two
  static constexpr std::int32_t kTile = 16;   // pixels square

  // The surface the overlays are drawn on (null: none); forgets every overlay.
  void Attach(Image* surface);
  // Takes an overlay; its index, or -1 without a surface, room or visible
  // box (not mirrored): the caller then draws it like any other actor.
  int Add(const Picture& picture);
  // Forgets overlay index (its actor goes).
  void Remove(int index);

  // A new frame: nothing touched, nothing drawn yet; tiles are restored
  // through restore for the rest of the frame.
  void BeginFrame(RestoreRect restore, void* context);
  // The caller restored the whole surface: every tile counts as touched.
  void TouchAll();
  // Before anything is drawn into r (surface pixels) this frame.
  void Touch(const Rect& r);
  // Draws overlay index where its tiles were touched this frame.
  void Draw(int index);

 private:
  struct Run {
    std::int32_t row, first, end;  // tiles [first, end) of a row of the grid
  };
  void Regrid();
  Rect RunRect(const Run& run) const;
  // Calls each(run) for the runs of tiles over r (surface pixels) whose marks
  // equal marked, marking them as it goes.
  template <class Each>
  void ForRuns(const Rect& r, bool marked, Each each);
  void RestoreRun(const Rect& run);
  void DrawPiece(const Picture& picture, const Rect& piece);

  Image* surface_ = nullptr;
  Picture pictures_[kRoom] = {};
  bool used_[kRoom] = {};
  // The grid over the boxes' bounding rectangle; 1 where touched this frame.
  Rect bounds_ = {0, 0, 0, 0};
  std::int32_t columns_ = 0, rows_ = 0;
  std::vector<std::uint8_t> touched_;
  int drawn_[kRoom] = {};  // the overlays drawn this frame, in order
  int drawnCount_ = 0;
  RestoreRect restore_ = nullptr;
  void* context_ = nullptr;
};
