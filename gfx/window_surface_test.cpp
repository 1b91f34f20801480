#include "gfx/window_surface.h"

#include <gtest/gtest.h>

#include "gfx/dib_surface.h"
#include "gfx/image_test_support.h"
#include "gfx/palette.h"
#include "gfx/window_test_support.h"
#include "pixel/pixel_format.h"

namespace {

std::uint16_t ExpectedScreenType() {
  switch (ScreenDepth()) {
    case 8:
      return PIXEL_INDEX8;
    case 16:
      return PIXEL_RGB555;
    case 24:
      return PIXEL_RGB24;
    case 32:
      return PIXEL_RGB32;
    default:
      return PIXEL_NONE;
  }
}

// Compares screen colours coarsely: deeper screens keep the 5 top bits.
bool Near(COLORREF a, COLORREF b) {
  return (GetRValue(a) >> 3) == (GetRValue(b) >> 3) && (GetGValue(a) >> 3) == (GetGValue(b) >> 3) &&
         (GetBValue(a) >> 3) == (GetBValue(b) >> 3);
}

TEST(WindowSurfaceTest, StandsForTheClientArea) {
  TestWindow window(200, 120);
  Ref<WindowSurface> surface;
  EXPECT_EQ(surface->Width(), 0);
  EXPECT_EQ(surface->AttachWindow(nullptr, FALSE), GFX_BAD_ARGUMENT);
  ASSERT_EQ(surface->AttachWindow(window.Handle(), FALSE), GFX_OK);
  EXPECT_EQ(surface->Kind(), 5);
  EXPECT_EQ(surface->Type(), ExpectedScreenType());
  EXPECT_EQ(surface->Width(), 200);
  EXPECT_EQ(surface->Height(), 120);
  SetWindowPos(window.Handle(), nullptr, 0, 0, 150, 90, SWP_NOZORDER | SWP_NOMOVE);
  TestWindow::Pump();
  EXPECT_EQ(surface->Width(), 150);
  EXPECT_EQ(surface->Height(), 90);
  std::uint8_t* bits;
  std::int32_t pitch;
  EXPECT_EQ(surface->Lock(&bits, &pitch), GFX_UNSUPPORTED);
  EXPECT_EQ(surface->Create(4, 4, PIXEL_RGB24), GFX_UNSUPPORTED);
  EXPECT_EQ(surface->SyncPalette(), GFX_UNSUPPORTED);
  EXPECT_EQ(surface->GetPixel(1, 1), 0u);
  Ref<DibSurface> copy;
  EXPECT_NE(copy->CopyFrom(surface.p), GFX_OK);
  EXPECT_EQ(surface->BlitFrom(0, 0, 10, 10, nullptr, 0, 0, 10, 10, 0, 0), GFX_BAD_ARGUMENT);
}

TEST(WindowSurfaceTest, DeviceContextsNest) {
  TestWindow window(64, 64);
  Ref<WindowSurface> surface;
  EXPECT_EQ(surface->LockDC(), nullptr);  // not attached
  ASSERT_EQ(surface->AttachWindow(window.Handle(), FALSE), GFX_OK);
  HDC a = surface->LockDC();
  HDC b = surface->LockDC();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  surface->UnlockDC();
  surface->UnlockDC();
  surface->UnlockDC();  // one too many does nothing
  EXPECT_NE(surface->LockDC(), nullptr);
  surface->UnlockDC();
}

TEST(WindowSurfaceTest, StretchesBothWaysAndDrawsWithGdi) {
  TestWindow window(160, 100);
  Ref<WindowSurface> screen;
  ASSERT_EQ(screen->AttachWindow(window.Handle(), FALSE), GFX_OK);
  Ref<DibSurface> back;
  ASSERT_EQ(back->Create(40, 25, PIXEL_RGB32), GFX_OK);
  back->FillRect(0, 0, 40, 25, 0x000000FF);   // blue
  back->FillRect(20, 0, 20, 25, 0x0000FF00);  // right half green
  // Stretched four times onto the window.
  ASSERT_EQ(screen->BlitFrom(0, 0, 160, 100, back.p, 0, 0, 40, 25, 0, 0), GFX_OK);
  TestWindow::Pump();
  EXPECT_TRUE(Near(window.PixelAt(10, 10), RGB(0, 0, 255)));
  EXPECT_TRUE(Near(window.PixelAt(150, 90), RGB(0, 255, 0)));
  // And read back from the window into a surface.
  Ref<DibSurface> readBack;
  ASSERT_EQ(readBack->Create(160, 100, PIXEL_RGB32), GFX_OK);
  ASSERT_EQ(screen->DrawOnto(readBack.p, 0, 0, 160, 100, 0, 0, 160, 100, 0, 0), GFX_OK);
  EXPECT_EQ(readBack->GetPixel(30, 50) & 0xF8F8F8, 0x000000F8u);   // blue
  EXPECT_EQ(readBack->GetPixel(130, 50) & 0xF8F8F8, 0x0000F800u);  // green
  EXPECT_EQ(screen->DrawOnto(nullptr, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0), GFX_BAD_ARGUMENT);

  ASSERT_EQ(screen->FillRect(10, 10, 30, 20, RGB(255, 0, 0)), GFX_OK);
  ASSERT_EQ(screen->DrawLine(0, 60, 50, 60, RGB(255, 255, 255)), GFX_OK);
  TestWindow::Pump();
  EXPECT_TRUE(Near(window.PixelAt(20, 20), RGB(255, 0, 0)));
  EXPECT_TRUE(Near(window.PixelAt(40, 20), RGB(0, 0, 255)));  // outside the fill
  EXPECT_TRUE(Near(window.PixelAt(49, 60), RGB(255, 255, 255)));
  EXPECT_FALSE(Near(window.PixelAt(50, 60), RGB(255, 255, 255)));  // end point left out

  Ref<WindowSurface> detached;
  EXPECT_EQ(detached->FillRect(0, 0, 1, 1, 0), GFX_NO_PIXELS);
  EXPECT_EQ(detached->DrawLine(0, 0, 1, 1, 0), GFX_NO_PIXELS);
  EXPECT_EQ(detached->BlitFrom(0, 0, 1, 1, back.p, 0, 0, 1, 1, 0, 0), GFX_BAD_ARGUMENT);
}

TEST(WindowSurfaceTest, AGoneWindowGivesNoContext) {
  Ref<WindowSurface> surface;
  {
    TestWindow window(32, 32);
    ASSERT_EQ(surface->AttachWindow(window.Handle(), FALSE), GFX_OK);
  }
  EXPECT_EQ(surface->Width(), 0);
  EXPECT_EQ(surface->FillRect(0, 0, 4, 4, 0), GFX_BAD_ARGUMENT);
}

}  // namespace
