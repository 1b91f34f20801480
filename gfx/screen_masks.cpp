#include "gfx/screen_masks.h"

#include <ddraw.h>

namespace {

using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);

// The display mode's pixel format, through DirectDraw (loaded here only, so
// the saver does not depend on it).
std::uint32_t DisplayModeGreenMask() {
  HMODULE ddraw = LoadLibraryA("ddraw.dll");
  if (!ddraw) return 0;
  std::uint32_t mask = 0;
  auto create = reinterpret_cast<DirectDrawCreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreate")));
  IDirectDraw* directDraw = nullptr;
  if (create && SUCCEEDED(create(nullptr, &directDraw, nullptr)) && directDraw) {
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    if (SUCCEEDED(directDraw->GetDisplayMode(&mode)) &&
        (mode.ddpfPixelFormat.dwFlags & DDPF_RGB) && mode.ddpfPixelFormat.dwRGBBitCount == 16)
      mask = mode.ddpfPixelFormat.dwGBitMask;
    directDraw->Release();
  }
  FreeLibrary(ddraw);
  return mask;
}

// A compatible bitmap's masks: the first call fills in the header, the second
// (for BI_BITFIELDS) the three masks.
std::uint32_t CompatibleBitmapGreenMask(HDC dc) {
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info = {};
  info.header.biSize = sizeof info.header;
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 1, 1);
  if (!bitmap) return 0;
  auto* asInfo = reinterpret_cast<BITMAPINFO*>(&info);
  std::uint32_t mask = 0;
  if (GetDIBits(dc, bitmap, 0, 1, nullptr, asInfo, DIB_RGB_COLORS) &&
      info.header.biBitCount == 16 && info.header.biCompression == BI_BITFIELDS &&
      GetDIBits(dc, bitmap, 0, 1, nullptr, asInfo, DIB_RGB_COLORS))
    mask = info.masks[1];
  DeleteObject(bitmap);
  return mask;
}

}  // namespace

std::uint32_t ScreenGreenMask(HDC dc) {
  // Wine's own bitmaps are 555 on any 16-bit screen; its display mode tells
  // the truth, as the bitmaps do on Windows.
  const std::uint32_t mask = DisplayModeGreenMask();
  return mask ? mask : CompatibleBitmapGreenMask(dc);
}
