#include "scene/still_overlays.h"

#include <algorithm>

#include "gfx/image.h"
#include "pixel/blit.h"

namespace {

// The part of a that lies in b (width or height 0 or less when none does).
Rect Overlap(const Rect& a, const Rect& b) {
  const std::int32_t left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const std::int32_t right = std::min(a.x + a.width, b.x + b.width);
  const std::int32_t bottom = std::min(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

bool Empty(const Rect& r) { return r.width <= 0 || r.height <= 0; }

// Drawn piece by piece, an overlay must give the pixels it gives drawn whole:
// keyed and alpha blits do (the 8-bit alpha dither follows the picture), a
// mirrored or screen-door one would not.
constexpr std::uint32_t kPieceFlags = BLIT_SRCKEY | BLIT_MASKBLEND;

}  // namespace

void StillOverlays::Attach(Image* surface) {
  surface_ = surface;
  std::fill(std::begin(used_), std::end(used_), false);
  drawnCount_ = 0;
  Regrid();
}

int StillOverlays::Add(const Picture& picture) {
  if (!surface_ || !picture.sprite || (picture.flags & ~kPieceFlags) != 0) return -1;
  const Rect whole = {0, 0, surface_->Width(), surface_->Height()};
  if (Empty(Overlap(picture.box, whole))) return -1;
  for (int i = 0; i < kRoom; ++i) {
    if (used_[i]) continue;
    used_[i] = true;
    pictures_[i] = picture;
    Regrid();
    return i;
  }
  return -1;
}

void StillOverlays::Remove(int index) {
  if (index < 0 || index >= kRoom || !used_[index]) return;
  used_[index] = false;
  // Not drawn again this frame should a later touch come.
  drawnCount_ = static_cast<int>(std::remove(drawn_, drawn_ + drawnCount_, index) - drawn_);
  Regrid();
}

void StillOverlays::Regrid() {
  bool any = false;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  for (int i = 0; i < kRoom; ++i) {
    if (!used_[i]) continue;
    const Rect& b = pictures_[i].box;
    left = any ? std::min(left, b.x) : b.x;
    top = any ? std::min(top, b.y) : b.y;
    right = any ? std::max(right, b.x + b.width) : b.x + b.width;
    bottom = any ? std::max(bottom, b.y + b.height) : b.y + b.height;
    any = true;
  }
  const Rect whole = {0, 0, surface_ ? surface_->Width() : 0, surface_ ? surface_->Height() : 0};
  bounds_ = any ? Overlap({left, top, right - left, bottom - top}, whole) : Rect{0, 0, 0, 0};
  if (Empty(bounds_)) bounds_ = {0, 0, 0, 0};
  columns_ = (bounds_.width + kTile - 1) / kTile;
  rows_ = (bounds_.height + kTile - 1) / kTile;
  touched_.assign(static_cast<std::size_t>(columns_) * rows_, 0);
}

void StillOverlays::BeginFrame(RestoreRect restore, void* context) {
  restore_ = restore;
  context_ = context;
  drawnCount_ = 0;
  std::fill(touched_.begin(), touched_.end(), 0);
}

void StillOverlays::TouchAll() { std::fill(touched_.begin(), touched_.end(), 1); }

Rect StillOverlays::RunRect(const Run& run) const {
  const Rect tiles = {bounds_.x + run.first * kTile, bounds_.y + run.row * kTile,
                      (run.end - run.first) * kTile, kTile};
  return Overlap(tiles, bounds_);
}

template <class Each>
void StillOverlays::ForRuns(const Rect& r, bool marked, Each each) {
  const Rect in = Overlap(r, bounds_);
  if (Empty(in)) return;
  const std::int32_t x0 = in.x - bounds_.x, y0 = in.y - bounds_.y;
  const std::int32_t firstColumn = x0 / kTile, endColumn = (x0 + in.width - 1) / kTile + 1;
  const std::int32_t firstRow = y0 / kTile, endRow = (y0 + in.height - 1) / kTile + 1;
  const std::uint8_t want = marked ? 1 : 0;
  for (std::int32_t row = firstRow; row < endRow; ++row) {
    std::uint8_t* tiles = &touched_[static_cast<std::size_t>(row) * columns_];
    std::int32_t column = firstColumn;
    while (column < endColumn) {
      if (tiles[column] != want) {
        ++column;
        continue;
      }
      Run run = {row, column, column};
      while (run.end < endColumn && tiles[run.end] == want) tiles[run.end++] = 1;
      each(run);
      column = run.end;
    }
  }
}

void StillOverlays::Touch(const Rect& r) {
  for (int i = 0; i < kRoom; ++i) {
    if (!used_[i]) continue;
    const Rect part = Overlap(r, pictures_[i].box);
    if (Empty(part)) continue;
    ForRuns(part, false, [this](const Run& run) { RestoreRun(RunRect(run)); });
  }
}

// A run of tiles touched for the first time this frame: nothing of this frame
// is in it yet, so it is restored whole (as far as the overlays reach) and
// the overlays drawn so far are drawn into it again.
void StillOverlays::RestoreRun(const Rect& run) {
  for (int i = 0; i < kRoom; ++i) {
    if (!used_[i]) continue;
    const Rect part = Overlap(run, pictures_[i].box);
    if (!Empty(part) && restore_) restore_(context_, part);
  }
  for (int d = 0; d < drawnCount_; ++d) DrawPiece(pictures_[drawn_[d]], run);
}

void StillOverlays::Draw(int index) {
  if (index < 0 || index >= kRoom || !used_[index] || drawnCount_ == kRoom) return;
  const Picture& picture = pictures_[index];
  ForRuns(picture.box, true, [&](const Run& run) { DrawPiece(picture, RunRect(run)); });
  drawn_[drawnCount_++] = index;
}

void StillOverlays::DrawPiece(const Picture& picture, const Rect& piece) {
  const Rect part = Overlap(piece, picture.box);
  if (!surface_ || Empty(part)) return;
  // A piece that cannot be drawn leaves the background showing, as a whole
  // overlay would.
  (void)surface_->BlitFrom(part.x, part.y, part.width, part.height, picture.sprite,
                           part.x - picture.box.x, picture.sourceY + part.y - picture.box.y,
                           part.width, part.height, picture.flags, AuxOf(picture.mask));
}
