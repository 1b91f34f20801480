// RunLengthImage: what the two sprite classes kept in a run-length encoding share. The
// encoding is their normal form, so they never count as encoded, cannot be re-encoded or
// decoded in place, cannot be created empty, and cannot lock their pixels: the body is
// codes or spans, not rows of pixels.
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/blit_geometry.h"
#include "gfx/packed_dib_image.h"
#include "gfx/pixel_ops.h"

class RunLengthImage : public PackedDibImage {
 public:
  // GFX_UNSUPPORTED.
  [[nodiscard]] GraphicsStatus Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                                      std::int32_t reserved0 = 0,
                                      std::int32_t reserved1 = 0) override;
  // GFX_ENCODED.
  [[nodiscard]] GraphicsStatus Lock(std::uint8_t** bits, std::int32_t* pitch) override;
  // GFX_UNSUPPORTED; the sprite stays as it is.
  [[nodiscard]] GraphicsStatus Encode(std::uint32_t tag) override;
  [[nodiscard]] GraphicsStatus Decode() override;
  // Always 0.
  std::int32_t IsEncoded() override;

 protected:
  // The start every sprite draw shares: the request clipped to the destination's clip
  // rectangle, an unscaled one refused when it would read outside the sprite (the kernels
  // read its rows unchecked), and the destination locked. Run-length sprites are never
  // scaled: a scaled request draws nothing and succeeds.
  class DrawStart {
   public:
    DrawStart(RunLengthImage* sprite, Image* dest, std::int32_t dx, std::int32_t dy,
              std::int32_t dw, std::int32_t dh, std::int32_t sx, std::int32_t sy, std::int32_t sw,
              std::int32_t sh, std::uint32_t flags);
    // True when there is something to draw: Geometry() and Target() are ready.
    bool Ready() const { return ready_; }
    // What DrawOnto returns when not ready.
    GraphicsStatus Status() const { return status_; }
    const BlitGeometry& Geometry() const { return geometry_; }
    const PixelView& Target() const { return target_->View(); }

   private:
    BlitGeometry geometry_{};
    std::optional<LockedPixels> target_;
    GraphicsStatus status_ = GFX_OK;
    bool ready_ = false;
  };

  // The end of Attach once the installed sprite has been validated: an invalid one is
  // freed (GFX_BAD_ARGUMENT, empty image), a valid one takes its colour table as palette.
  GraphicsStatus FinishAttach(bool valid);
};
