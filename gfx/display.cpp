#include "gfx/display.h"

#include <new>

#include "gfx/dib_surface.h"
#include "gfx/palette.h"
#include "gfx/window_surface.h"

namespace {

Display::ModeSwitch modeSwitch = ChangeDisplaySettingsA;

BOOL CALLBACK InvalidateChild(HWND child, LPARAM within) {
  const auto* rect = reinterpret_cast<const RECT*>(within);
  RECT bounds, overlap;
  if (!rect || (GetWindowRect(child, &bounds) && IntersectRect(&overlap, &bounds, rect)))
    InvalidateRect(child, nullptr, TRUE);
  return TRUE;
}

}  // namespace

void InvalidateWindowAndChildren(HWND window, const RECT* within) {
  InvalidateRect(window, nullptr, TRUE);
  EnumChildWindows(window, InvalidateChild, reinterpret_cast<LPARAM>(within));
}

Display::ModeSwitch Display::SetModeSwitch(ModeSwitch replacement) {
  ModeSwitch previous = modeSwitch;
  modeSwitch = replacement ? replacement : ChangeDisplaySettingsA;
  return previous;
}

Display::Display() = default;

Display::~Display() { Display::Close(); }

std::int32_t Display::Open(std::int32_t width, std::int32_t height, std::uint16_t type, HWND window,
                           std::uint32_t flags) {
  Close();
  if (!window) return 2;
  window_ = window;
  screen_ = new (std::nothrow) WindowSurface;
  if (screen_) screen_->AttachWindow(window, (flags & DISPLAY_MANAGE_PALETTE) ? TRUE : FALSE);
  back_ = new (std::nothrow) DibSurface;
  if (back_) (void)back_->Create(width, height, type, 0, 0);  // an empty back surface on failure
  paletteManaged_ = (flags & DISPLAY_MANAGE_PALETTE) != 0;
  modeChanged_ = paletteManaged_ && (flags & DISPLAY_SET_MODE);
  resizable_ = !modeChanged_ && (flags & DISPLAY_RESIZABLE);
  if (modeChanged_) {
    HDC screen = GetDC(nullptr);
    const bool sameSize = screen && GetDeviceCaps(screen, HORZRES) == width &&
                          GetDeviceCaps(screen, VERTRES) == height;
    if (!sameSize) {
      DEVMODEA mode = {};
      mode.dmSize = 156;
      mode.dmPelsWidth = DWORD(width);
      mode.dmPelsHeight = DWORD(height);
      mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
      modeChanged_ = modeSwitch(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
    }
    if (screen) ReleaseDC(nullptr, screen);
  }
  return 0;
}

std::int32_t Display::Close() {
  if (!window_) return 0;
  if (screen_) screen_->Release();
  if (back_) back_->Release();
  screen_ = nullptr;
  back_ = nullptr;
  window_ = nullptr;
  if (modeChanged_) modeSwitch(nullptr, 0);  // back to the mode stored in the registry
  modeChanged_ = resizable_ = paletteManaged_ = false;
  return 0;
}

std::int32_t Display::RealizePalette() {
  if (!paletteManaged_ || !screen_ || !screen_->GetPalette()) return 0;
  HPALETTE palette = screen_->GetPalette()->Handle();
  HDC dc = screen_->LockDC();
  if (!palette || !dc) {
    if (dc) screen_->UnlockDC();
    return 0;
  }
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  const UINT changed = ::RealizePalette(dc);
  SelectPalette(dc, previous, TRUE);
  screen_->UnlockDC();
  if (changed == 0 || changed == GDI_ERROR) return 0;
  InvalidateWindowAndChildren(window_, nullptr);
  return 1;
}

std::int32_t Display::PaletteChanged(HWND) { return paletteManaged_ ? RealizePalette() : 0; }

void Display::Paint() {
  if (!window_) return;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (!dc) return;
  HDC memory = back_ ? back_->LockDC() : nullptr;
  if (memory) {
    Palette* palette = screen_ ? screen_->GetPalette() : nullptr;
    HPALETTE previous = nullptr;
    if (palette && palette->Handle()) {
      previous = SelectPalette(dc, palette->Handle(), FALSE);
      ::RealizePalette(dc);
    }
    BitBlt(dc, 0, 0, back_->Width(), back_->Height(), memory, 0, 0, SRCCOPY);
    if (previous) SelectPalette(dc, previous, TRUE);
    back_->UnlockDC();
  }
  EndPaint(window_, &paint);
}

void Display::ReservedOp(std::intptr_t) {}

std::int32_t Display::Resize(std::int32_t, std::int32_t width, std::int32_t height) {
  if (!resizable_ || !window_ || !back_) return 0;
  Palette* palette = back_->GetPalette();
  if (palette) palette->AddRef();
  const std::int32_t status = back_->Create(width, height, back_->Type(), 0, 0);
  back_->SetPalette(palette);
  if (palette) palette->Release();
  return status;
}
