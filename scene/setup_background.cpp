#include "scene/setup_background.h"

#include <new>

#include "gfx/colour_quantiser.h"
#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/graphics_system.h"
#include "gfx/packed_dib_image.h"
#include "gfx/palette.h"
#include "gfx/pixel_ops.h"
#include "gfx/random_below.h"
#include "gfx/resource_block.h"
#include "gfx/wrapped_memory_block.h"
#include "picture/jpeg_loader.h"
#include "pixel/cpu_features.h"
#include "pixel/pixel_format.h"
#include "pixel/scale.h"
#include "scene/config.h"
#include "scene/creature_table.h"

namespace {

// The convert flags that give backgrounds the inverse map with diffusion.
constexpr std::uint32_t kBackgroundConvertFlags = CONVERT_INVERSE_MAP | CONVERT_DIFFUSE;

// The whole of an image, as a crop.
PictureCrop Whole(Image* image) { return {0, 0, image->Width(), image->Height()}; }

// A new surface of width x height in type holding the part `from` of source
// scaled, with source's palette; null (logged under what) when that fails.
DibSurface* ScaledCopy(GraphicsSystem* graphics, Image* source, const PictureCrop& from,
                       std::int32_t width, std::int32_t height, std::uint16_t type,
                       const char* what) {
  DibSurface* copy = graphics->NewDibSurface();
  if (!copy) return nullptr;
  GraphicsStatus status = copy->Create(width, height, type);
  if (status == GFX_OK && source->GetPalette()) status = copy->SetPalette(source->GetPalette());
  if (status == GFX_OK)
    status = copy->BlitFrom(0, 0, width, height, source, from.x, from.y, from.width, from.height,
                            0, 0);
  if (status == GFX_OK) return copy;
  DebugLog("Tidewater: %s not scaled (status %d)\n", what, status);
  copy->Release();
  return nullptr;
}

// A 256-entry palette of the picture's colours (one reference for the
// caller), quantised from a 24-bit sampleWidth x sampleHeight copy; null when
// that fails.
Palette* QuantisedPalette(GraphicsSystem* graphics, Image* picture, std::int32_t sampleWidth,
                          std::int32_t sampleHeight) {
  DibSurface* sample = ScaledCopy(graphics, picture, Whole(picture), sampleWidth, sampleHeight,
                                  picture->Type(), "colour sample");
  if (!sample) return nullptr;
  std::uint8_t* bits = nullptr;
  std::int32_t pitch = 0;
  Palette* palette = nullptr;
  if (sample->Convert(PIXEL_RGB24, nullptr, CONVERT_INVERSE_MAP) == GFX_OK &&
      sample->Lock(&bits, &pitch) == GFX_OK) {
    ColourQuantiser quantiser(256);
    quantiser.AddPixels(bits, sample->Width(), pitch, sample->Height(), nullptr, nullptr,
                        QUANTISE_SAMPLE);
    sample->Unlock();  // a DibSurface's unlock only counts down
    PaletteEntry table[256] = {};
    quantiser.BuildPalette(table);
    palette = new (std::nothrow) Palette;
    if (palette &&
        (palette->Create(256) != PALETTE_OK || palette->SetEntries(table, 0, 256) != PALETTE_OK)) {
      palette->Release();
      palette = nullptr;
    }
  }
  sample->Release();
  if (!palette) DebugLog("Tidewater: no palette quantised for the custom picture\n");
  return palette;
}

// A stock picture decoded from its JPEG resource, 24-bit.
DibSurface* LoadStockPicture(GraphicsSystem* graphics, HMODULE library, const char* name) {
  DibSurface* picture = graphics->NewDibSurface();
  if (picture && DecodeStockPicture(library, name, picture)) return picture;
  if (picture) picture->Release();
  return nullptr;
}

}  // namespace

bool DecodeStockPicture(HMODULE library, const char* name, DibSurface* picture) {
  ResourceBlock resource(library, name, kPictureResourceType);
  void* bytes = resource.Lock();
  HGLOBAL bitmap = bytes ? LoadJpegFromMemory(bytes, resource.Size()) : nullptr;
  if (!bitmap) {
    DebugLog("Tidewater: no background picture %s\n", name);
    return false;
  }
  PackedDibImage decoded;
  auto* block = new (std::nothrow)
      WrappedMemoryBlock(bitmap, static_cast<std::uint32_t>(GlobalSize(bitmap)), true, false);
  if (!block) GlobalFree(bitmap);
  GraphicsStatus status = block ? decoded.Attach(block) : GFX_BAD_ARGUMENT;
  if (status == GFX_OK) status = picture->CopyFrom(&decoded);
  if (status == GFX_OK) return true;
  DebugLog("Tidewater: background picture %s not taken (status %d)\n", name, status);
  return false;
}

std::int32_t StockIndexFor(std::int32_t display) {
  BackgroundChoice choice = DecodeDisplayChoice(display);
  return choice.kind == BackgroundChoice::kStock ? choice.index : RandomMod(kBackgroundCount);
}

DibSurface* LoadCustomPicture(GraphicsSystem* graphics, const char* path, std::int32_t width,
                              std::int32_t height, bool cover, std::uint16_t backType,
                              std::int32_t sampleWidth, std::int32_t sampleHeight) {
  if (!path[0]) {
    DebugLog("Tidewater: no custom picture named\n");
    return nullptr;
  }
  PackedDibImage file;
  const GraphicsStatus loaded = file.Load(path, LOAD_FROM_FILE, nullptr, nullptr);
  if (loaded != GFX_OK) {
    DebugLog("Tidewater: custom picture %s unreadable (status %d)\n", path, loaded);
    return nullptr;
  }
  if (file.Type() < PIXEL_INDEX8) {
    DebugLog("Tidewater: custom picture %s has fewer than 256 colours\n", path);
    return nullptr;
  }
  const PictureCrop part =
      cover ? CoverCrop(file.Width(), file.Height(), width, height, CropAnchor::kCentre)
            : Whole(&file);
  DibSurface* picture =
      ScaledCopy(graphics, &file, part, width, height, file.Type(), "custom picture");
  if (!picture || picture->Type() == backType) return picture;
  // A deeper picture on an 8-bit back surface takes a palette of its own colours.
  Palette* quantised = backType == PIXEL_INDEX8
                           ? QuantisedPalette(graphics, &file, sampleWidth, sampleHeight)
                           : nullptr;
  const GraphicsStatus status =
      picture->Convert(backType, quantised ? quantised : picture->GetPalette(), 0);
  if (status != GFX_OK)
    DebugLog("Tidewater: custom picture not converted to type %d (status %d)\n", backType, status);
  if (quantised) quantised->Release();
  return picture;
}

BackgroundPicture LoadFullScreenBackground(GraphicsSystem* graphics, HMODULE library,
                                           const SceneConfig& config,
                                           const BackgroundTarget& target, std::uint16_t backType) {
  BackgroundPicture picture;
  const std::int32_t width = target.width, height = target.height;
  picture.frame = IdentityFrame(width, height);
  if (DecodeDisplayChoice(config.display).kind == BackgroundChoice::kCustom) {
    picture.image = LoadCustomPicture(graphics, config.customFile, width, height, target.cover,
                                      backType, width, height);
    if (picture.image) return picture;
  }
  picture.stockIndex = StockIndexFor(config.display);
  picture.variant = BackgroundAt(picture.stockIndex, target.designWidth);
  // The widest, sharpest picture the library has; the rest is enlarged.
  char wide[8], twice[12];
  if (target.cover && WidePictureName(picture.stockIndex, wide, sizeof wide)) {
    if (target.scale != PixelScale{} && TwiceSizeName(wide, twice, sizeof twice))
      picture.image = LoadStockPicture(graphics, library, twice);
    if (!picture.image) picture.image = LoadStockPicture(graphics, library, wide);
  }
  if (!picture.image)  // the 4:3 picture, enlarged when the scene is wider (an older library)
    picture.image = LoadStockPicture(graphics, library, picture.variant->background.name);
  if (!picture.image) return picture;
  const std::int32_t pw = picture.image->Width(), ph = picture.image->Height();
  picture.frame = {CoverCrop(pw, ph, width, height, CropAnchor::kFloor), pw, ph, width, height,
                   target.designWidth, target.scale};
  return picture;
}

void ConvertBackground(DibSurface* image, std::uint16_t backType, Palette* palette) {
  if (!image) return;
  const GraphicsStatus status = image->Convert(backType, palette, kBackgroundConvertFlags);
  if (status != GFX_OK)
    DebugLog("Tidewater: background not converted to type %d (status %d)\n", backType, status);
}

void FitBackground(GraphicsSystem* graphics, BackgroundPicture& picture) {
  DibSurface* image = picture.image;
  const OverlayFrame& f = picture.frame;
  if (!image || (image->Width() == f.sceneWidth && image->Height() == f.sceneHeight)) return;
  const PictureCrop& c = f.crop;
  const ScaleKernel kernel =
      SelectScaleKernel({image->Type(), true, CpuHasSse2(), CpuHasSsse3()}).kernel;
  DibSurface* fitted = kernel ? graphics->NewDibSurface() : nullptr;
  GraphicsStatus status = fitted ? fitted->Create(f.sceneWidth, f.sceneHeight, image->Type())
                                 : GFX_UNSUPPORTED;
  if (status == GFX_OK && image->GetPalette()) status = fitted->SetPalette(image->GetPalette());
  if (status == GFX_OK) {
    LockedPixels from(image), to(fitted);
    status = from.Status() != GFX_OK ? from.Status() : to.Status();
    if (status == GFX_OK) {
      const PixelView& s = from.View();
      const std::uint8_t* corner =
          s.top + std::ptrdiff_t(c.y) * s.pitch + std::ptrdiff_t(c.x) * (PixelDepth(s.type) / 8);
      kernel(to.View().top, to.View().pitch, corner, s.pitch,
             {c.width, c.height, f.sceneWidth, f.sceneHeight},
             {0, 0, f.sceneWidth, f.sceneHeight});
    }
  }
  if (status != GFX_OK) {
    // No kernel for this depth (24 bits) or no memory: the blitter's own scaling.
    if (fitted) fitted->Release();
    fitted = ScaledCopy(graphics, image, c, f.sceneWidth, f.sceneHeight, image->Type(),
                        "background");
    if (!fitted) return;
  }
  image->Release();
  picture.image = fitted;
}

DibSurface* LoadPreviewPicture(GraphicsSystem* graphics, HMODULE library, std::int32_t stockIndex,
                               std::int32_t width, std::int32_t height, std::uint16_t backType) {
  char name[8];
  if (!PreviewPictureName(stockIndex, name, sizeof name)) return nullptr;
  DibSurface* picture = graphics->NewDibSurface();
  if (!picture) return nullptr;
  DibSurface* scaled = nullptr;
  const GraphicsStatus status =
      picture->Load(name, LOAD_FROM_RESOURCE | LOAD_PRIVATE_COPY, library, kPictureResourceType);
  if (status == GFX_OK)
    scaled = ScaledCopy(graphics, picture, Whole(picture), width, height, backType,
                        "preview picture");
  else
    DebugLog("Tidewater: no preview picture %s (status %d)\n", name, status);
  picture->Release();
  return scaled;
}
