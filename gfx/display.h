// Display: what the user sees. A WindowSurface for the saver window (the screen surface)
// and a DibSurface of the scene's resolution (the back surface); it realises the screen
// palette when Windows asks, repaints the window from the back surface, and can switch
// the screen resolution for as long as it is open. Target only.
#pragma once

#include <cstdint>

#include "port/win32.h"

class DibSurface;
class WindowSurface;

// Open flags.
constexpr std::uint32_t DISPLAY_SET_MODE = 0x1;  // with DISPLAY_MANAGE_PALETTE
constexpr std::uint32_t DISPLAY_MANAGE_PALETTE = 0x4;
constexpr std::uint32_t DISPLAY_RESIZABLE = 0x8;  // when the mode is left alone

class Display {
 public:
  // The resolution switch, replaceable so tests can watch it without changing the screen.
  using ModeSwitch = LONG(WINAPI*)(DEVMODEA* mode, DWORD flags);

  Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // 0: runs Close.
  virtual ~Display();
  // 1: 2 for a null window, else 0 (a back surface that could not be made stays empty).
  virtual std::int32_t Open(std::int32_t width, std::int32_t height, std::uint16_t type,
                            HWND window, std::uint32_t flags);
  // 2
  virtual std::int32_t Close();
  // 3: 1 when realising the palette changed system colours (the window and its children
  // are then invalidated), else 0.
  virtual std::int32_t RealizePalette();
  // 4
  virtual std::int32_t PaletteChanged(HWND window);
  // 5: on WM_PAINT, the whole back surface to the client area's top-left corner.
  virtual void Paint();
  // 6
  virtual void ReservedOp(std::intptr_t);
  // 7: re-creates the back surface at a new size when the display is resizable; returns
  // the Create status (0 when nothing is done).
  virtual std::int32_t Resize(std::int32_t reserved, std::int32_t width, std::int32_t height);

  HWND Window() const { return window_; }
  WindowSurface* ScreenSurface() const { return screen_; }
  DibSurface* BackSurface() const { return back_; }
  bool ModeChanged() const { return modeChanged_; }
  bool Resizable() const { return resizable_; }
  bool PaletteManaged() const { return paletteManaged_; }

  static ModeSwitch SetModeSwitch(ModeSwitch modeSwitch);

 private:
  HWND window_ = nullptr;
  WindowSurface* screen_ = nullptr;
  DibSurface* back_ = nullptr;
  bool modeChanged_ = false;
  bool resizable_ = false;
  bool paletteManaged_ = false;
};

// Invalidates (with erase) a window and each of its child windows; with a rectangle only
// the children whose window rectangle meets it.
void InvalidateWindowAndChildren(HWND window, const RECT* within);
