#include "gfx/display.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/dib_surface.h"
#include "gfx/graphics_system.h"
#include "gfx/palette.h"
#include "gfx/window_surface.h"
#include "gfx/window_test_support.h"
#include "pixel/pixel_format.h"

namespace {

// Records resolution switches instead of making them.
struct ModeCall {
  bool restore;
  DWORD size, fields, width, height;
};
std::vector<ModeCall> modeCalls;
LONG modeResult = DISP_CHANGE_SUCCESSFUL;

LONG WINAPI RecordModeSwitch(DEVMODEA* mode, DWORD) {
  if (!mode) {
    modeCalls.push_back({true, 0, 0, 0, 0});
  } else {
    modeCalls.push_back(
        {false, mode->dmSize, mode->dmFields, mode->dmPelsWidth, mode->dmPelsHeight});
  }
  return modeResult;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modeCalls.clear();
    modeResult = DISP_CHANGE_SUCCESSFUL;
    previous_ = Display::SetModeSwitch(RecordModeSwitch);
  }
  void TearDown() override { Display::SetModeSwitch(previous_); }
  static int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
  static int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
  Display::ModeSwitch previous_ = nullptr;
};

TEST_F(DisplayTest, OpenMakesBothSurfaces) {
  TestWindow window(120, 80);
  Display display;
  EXPECT_EQ(display.Open(64, 48, PIXEL_RGB32, nullptr, DISPLAY_MANAGE_PALETTE), 2);
  ASSERT_EQ(display.Open(64, 48, PIXEL_RGB32, window.Handle(), DISPLAY_MANAGE_PALETTE), 0);
  EXPECT_EQ(display.Window(), window.Handle());
  ASSERT_NE(display.ScreenSurface(), nullptr);
  ASSERT_NE(display.BackSurface(), nullptr);
  EXPECT_EQ(display.ScreenSurface()->Window(), window.Handle());
  EXPECT_EQ(display.BackSurface()->Width(), 64);
  EXPECT_EQ(display.BackSurface()->Type(), PIXEL_RGB32);
  EXPECT_TRUE(display.PaletteManaged());
  EXPECT_FALSE(display.ModeChanged());
  EXPECT_TRUE(modeCalls.empty());
  EXPECT_EQ(display.Close(), 0);
  EXPECT_EQ(display.ScreenSurface(), nullptr);
  EXPECT_TRUE(modeCalls.empty());
  // A back surface that cannot be made stays empty; Open still succeeds.
  ASSERT_EQ(display.Open(64, 48, 5, window.Handle(), 0), 0);
  EXPECT_EQ(display.BackSurface()->Type(), 0);
}

TEST_F(DisplayTest, OpeningAgainReleasesTheFirstSurfaces) {
  GraphicsSystem system;
  TestWindow window(50, 50);
  Display display;
  ASSERT_EQ(display.Open(32, 32, PIXEL_RGB24, window.Handle(), 0), 0);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 2u);
  ASSERT_EQ(display.Open(16, 16, PIXEL_RGB24, window.Handle(), 0), 0);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 2u);
  EXPECT_EQ(display.BackSurface()->Width(), 16);
  display.Close();
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 0u);
}

TEST_F(DisplayTest, ModeSwitchesOnlyWhenAskedAndNeeded) {
  TestWindow window(50, 50);
  {
    Display display;
    ASSERT_EQ(display.Open(ScreenWidth(), ScreenHeight(), PIXEL_RGB32, window.Handle(),
                           DISPLAY_SET_MODE | DISPLAY_MANAGE_PALETTE),
              0);
    EXPECT_TRUE(modeCalls.empty());  // already that size
    EXPECT_TRUE(display.ModeChanged());
    display.Close();
    ASSERT_EQ(modeCalls.size(), 1u);
    EXPECT_TRUE(modeCalls[0].restore);
  }
  modeCalls.clear();
  {
    Display display;
    ASSERT_EQ(display.Open(320, 200, PIXEL_RGB32, window.Handle(),
                           DISPLAY_SET_MODE | DISPLAY_MANAGE_PALETTE),
              0);
    ASSERT_EQ(modeCalls.size(), 1u);
    EXPECT_FALSE(modeCalls[0].restore);
    EXPECT_EQ(modeCalls[0].size, 156u);
    EXPECT_EQ(modeCalls[0].fields, DWORD(DM_PELSWIDTH | DM_PELSHEIGHT));
    EXPECT_EQ(modeCalls[0].width, 320u);
    EXPECT_EQ(modeCalls[0].height, 200u);
    EXPECT_FALSE(display.Resizable());  // a switched mode is never resized
  }                                     // destruction closes and restores
  ASSERT_EQ(modeCalls.size(), 2u);
  EXPECT_TRUE(modeCalls[1].restore);
  // Refused by Windows: nothing to restore.
  modeCalls.clear();
  modeResult = DISP_CHANGE_FAILED;
  {
    Display display;
    display.Open(320, 200, PIXEL_RGB32, window.Handle(), DISPLAY_SET_MODE | DISPLAY_MANAGE_PALETTE);
    EXPECT_FALSE(display.ModeChanged());
  }
  EXPECT_EQ(modeCalls.size(), 1u);
  // Without palette management the mode flag means nothing.
  modeCalls.clear();
  Display plain;
  plain.Open(320, 200, PIXEL_RGB32, window.Handle(), DISPLAY_SET_MODE);
  plain.Close();
  EXPECT_TRUE(modeCalls.empty());
}

TEST_F(DisplayTest, ResizeOnlyWhenResizable) {
  TestWindow window(50, 50);
  Display fixed;
  ASSERT_EQ(fixed.Open(40, 30, PIXEL_INDEX8, window.Handle(), 0), 0);
  DibSurface* back = fixed.BackSurface();
  EXPECT_EQ(fixed.Resize(0, 80, 60), 0);
  EXPECT_EQ(fixed.BackSurface(), back);
  EXPECT_EQ(back->Width(), 40);

  Display resizable;
  ASSERT_EQ(resizable.Open(40, 30, PIXEL_INDEX8, window.Handle(), DISPLAY_RESIZABLE), 0);
  EXPECT_TRUE(resizable.Resizable());
  Palette* palette = new Palette;
  palette->Create(256);
  ASSERT_EQ(resizable.BackSurface()->SetPalette(palette), GFX_OK);
  ASSERT_EQ(resizable.Resize(0, 80, 60), 0);
  EXPECT_EQ(resizable.BackSurface()->Width(), 80);
  EXPECT_EQ(resizable.BackSurface()->Height(), 60);
  EXPECT_EQ(resizable.BackSurface()->Type(), PIXEL_INDEX8);
  EXPECT_EQ(resizable.BackSurface()->GetPalette(), palette);
  palette->Release();
}

TEST_F(DisplayTest, PaintCopiesTheBackSurfaceUnscaled) {
  TestWindow window(100, 60);
  Display display;
  ASSERT_EQ(display.Open(50, 30, PIXEL_RGB32, window.Handle(), DISPLAY_MANAGE_PALETTE), 0);
  window.OnPaint([&] { display.Paint(); });
  display.BackSurface()->FillRect(0, 0, 50, 30, 0x00FF0000);  // red
  HDC dc = GetDC(window.Handle());
  PatBlt(dc, 0, 0, 100, 60, BLACKNESS);
  ReleaseDC(window.Handle(), dc);
  InvalidateRect(window.Handle(), nullptr, FALSE);
  UpdateWindow(window.Handle());
  TestWindow::Pump();
  EXPECT_EQ(window.PixelAt(10, 10) & 0xF8F8F8, RGB(0xF8, 0, 0));
  EXPECT_EQ(window.PixelAt(49, 29) & 0xF8F8F8, RGB(0xF8, 0, 0));
  EXPECT_EQ(window.PixelAt(60, 40), RGB(0, 0, 0));  // outside the back surface
  window.OnPaint(nullptr);
}

TEST_F(DisplayTest, RealizePaletteActsOnlyWhenManaged) {
  TestWindow window(50, 50);
  Palette* palette = new Palette;
  palette->Create(256);
  Display display;
  ASSERT_EQ(display.Open(16, 16, PIXEL_INDEX8, window.Handle(), 0), 0);
  display.ScreenSurface()->SetPalette(palette);
  EXPECT_EQ(display.RealizePalette(), 0);
  EXPECT_EQ(display.PaletteChanged(window.Handle()), 0);
  Display managed;
  ASSERT_EQ(managed.Open(16, 16, PIXEL_INDEX8, window.Handle(), DISPLAY_MANAGE_PALETTE), 0);
  EXPECT_EQ(managed.RealizePalette(), 0);  // no palette on the screen surface yet
  palette->Release();
}

// The 8-bit screen: run with an Xvfb of depth 8 (tw_xvfb_start 640x480x8).
class PaletteDisplayTest : public DisplayTest {
 protected:
  void SetUp() override {
    if (ScreenDepth() != 8 || !ScreenHasPalette()) GTEST_SKIP() << "needs an 8-bit palette screen";
    DisplayTest::SetUp();
  }
};

TEST_F(PaletteDisplayTest, RealizingAPaletteRepaintsTheWindowAndItsChildren) {
  GraphicsSystem system;
  TestWindow window(200, 100);
  system.Init(nullptr, window.Handle(), 0, 0);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 30,
                               window.Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  TestWindow::Pump();

  Palette* palette = new Palette;
  ASSERT_EQ(palette->Create(256), PALETTE_OK);
  std::vector<PaletteEntry> entries(256);
  for (int i = 0; i < 256; ++i)
    entries[i] = PaletteEntry{std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7), 0};
  palette->SetEntries(entries.data(), 0, 256);
  ASSERT_EQ(palette->MergeSystemColours(0), PALETTE_OK);

  Display display;
  ASSERT_EQ(display.Open(64, 32, PIXEL_INDEX8, window.Handle(), DISPLAY_MANAGE_PALETTE), 0);
  ASSERT_EQ(display.ScreenSurface()->SetPalette(palette), GFX_OK);
  ValidateRect(window.Handle(), nullptr);
  ValidateRect(child, nullptr);
  EXPECT_EQ(display.RealizePalette(), 1);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(window.Handle(), &update, FALSE));
  EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));
  // The system palette now holds our colours between the static ones.
  HDC dc = GetDC(window.Handle());
  PALETTEENTRY system256[256];
  ASSERT_EQ(GetSystemPaletteEntries(dc, 0, 256, system256), 256u);
  ReleaseDC(window.Handle(), dc);
  int found = 0;
  for (int i = 10; i < 246; ++i)
    for (int j = 10; j < 246; ++j)
      if (system256[j].peRed == entries[i - 10].red &&
          system256[j].peGreen == entries[i - 10].green &&
          system256[j].peBlue == entries[i - 10].blue) {
        ++found;
        break;
      }
  EXPECT_GT(found, 118);  // Wine's X palette gives most, not always all, their own slot
  // Realised already: nothing changes the second time.
  ValidateRect(window.Handle(), nullptr);
  EXPECT_EQ(display.PaletteChanged(window.Handle()), 0);
  EXPECT_FALSE(GetUpdateRect(window.Handle(), &update, FALSE));

  // Drawing an 8-bit back surface shows the palette's colours on screen.
  display.BackSurface()->SetPalette(palette);
  display.BackSurface()->FillRect(0, 0, 64, 32, 100);
  window.OnPaint([&] { display.Paint(); });
  InvalidateRect(window.Handle(), nullptr, FALSE);
  UpdateWindow(window.Handle());
  TestWindow::Pump();
  // Outside the child window, the screen shows the nearest colour the realised palette has.
  const PaletteEntry& shown = palette->Entries()[100];
  dc = GetDC(window.Handle());
  HPALETTE previous = SelectPalette(dc, palette->Handle(), FALSE);
  RealizePalette(dc);
  const COLORREF nearest = GetNearestColor(dc, RGB(shown.red, shown.green, shown.blue));
  SelectPalette(dc, previous, TRUE);
  ReleaseDC(window.Handle(), dc);
  EXPECT_EQ(window.PixelAt(62, 20), nearest);
  EXPECT_NE(nearest, RGB(255, 255, 255));
  window.OnPaint(nullptr);
  DestroyWindow(child);
  palette->Release();
}

TEST_F(PaletteDisplayTest, MergeSystemColoursKeepsTheStaticColours) {
  Palette palette;
  ASSERT_EQ(palette.Create(256), PALETTE_OK);
  EXPECT_EQ(palette.MergeSystemColours(0), PALETTE_NO_SYSTEM);
  GraphicsSystem system;
  TestWindow window(20, 20);
  system.Init(nullptr, window.Handle(), 0, 0);
  std::vector<PaletteEntry> entries(256);
  for (int i = 0; i < 256; ++i) entries[i] = PaletteEntry{std::uint8_t(i), 1, 2, 0};
  palette.SetEntries(entries.data(), 0, 256);
  PALETTEENTRY statics[256];
  HDC dc = GetDC(window.Handle());
  GetSystemPaletteEntries(dc, 0, 256, statics);
  ReleaseDC(window.Handle(), dc);
  const std::uint32_t counter = palette.ChangeCounter();
  ASSERT_EQ(palette.MergeSystemColours(0x1 | 0x2), PALETTE_OK);
  EXPECT_EQ(palette.ChangeCounter(), counter + 1);
  const PaletteEntry* merged = palette.Entries();
  for (int i : {0, 9, 246, 255}) {
    EXPECT_EQ(merged[i].red, statics[i].peRed) << i;
    EXPECT_EQ(merged[i].blue, statics[i].peBlue) << i;
  }
  EXPECT_EQ(merged[10].red, 10);  // from entry 10 with flags bit 0
  EXPECT_EQ(merged[245].red, 245);
  EXPECT_EQ(merged[10].flags, PC_RESERVED);
  palette.SetEntries(entries.data(), 0, 256);
  ASSERT_EQ(palette.MergeSystemColours(0), PALETTE_OK);
  EXPECT_EQ(palette.Entries()[10].red, 0);  // from entry 0
  EXPECT_EQ(palette.Entries()[144].red, 134);
  EXPECT_EQ(palette.Entries()[144].flags, PC_NOCOLLAPSE);
  Palette small;
  small.Create(236);
  EXPECT_EQ(small.MergeSystemColours(0), PALETTE_OK);
  EXPECT_EQ(small.ChangeCounter(), 0u);
}

}  // namespace
