#include "gfx/run_length_image.h"

GraphicsStatus RunLengthImage::Create(std::int32_t, std::int32_t, std::uint16_t, std::int32_t,
                                      std::int32_t) {
  return GFX_UNSUPPORTED;
}
GraphicsStatus RunLengthImage::Lock(std::uint8_t**, std::int32_t*) { return GFX_ENCODED; }
GraphicsStatus RunLengthImage::Encode(std::uint32_t) { return GFX_UNSUPPORTED; }
GraphicsStatus RunLengthImage::Decode() { return GFX_UNSUPPORTED; }
std::int32_t RunLengthImage::IsEncoded() { return 0; }

RunLengthImage::DrawStart::DrawStart(RunLengthImage* sprite, Image* dest, std::int32_t dx,
                                     std::int32_t dy, std::int32_t dw, std::int32_t dh,
                                     std::int32_t sx, std::int32_t sy, std::int32_t sw,
                                     std::int32_t sh, std::uint32_t flags) {
  if (ClipBlit(dest->ClipRect(), dx, dy, dw, dh, sx, sy, sw, sh, flags, &geometry_) !=
      BLIT_CLIP_VISIBLE)
    return;
  const bool scaled = dw != sw || dh != sh;
  const BlitGeometry& g = geometry_;
  if (!scaled && !RectInside(g.sx, g.sy, g.sw, g.sh, sprite->Width(), sprite->Height())) {
    status_ = GFX_BAD_ARGUMENT;
    return;
  }
  target_.emplace(dest);
  status_ = target_->Status();
  ready_ = status_ == GFX_OK && !scaled;
}

GraphicsStatus RunLengthImage::FinishAttach(bool valid) {
  if (!valid) {
    Free();
    return GFX_BAD_ARGUMENT;
  }
  encoded_ = 0;
  PaletteFromTable();
  return GFX_OK;
}
