#include "scene/monitors.h"

namespace {

struct Found {
  Rect* monitors;
  int room;
  int count;
  POINT origin;  // the virtual screen's top-left corner
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (found->count >= found->room || !GetMonitorInfoA(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  const Rect rect = {r.left - found->origin.x, r.top - found->origin.y, r.right - r.left,
                     r.bottom - r.top};
  // The primary monitor goes first.
  if ((info.dwFlags & MONITORINFOF_PRIMARY) && found->count > 0) {
    found->monitors[found->count] = found->monitors[0];
    found->monitors[0] = rect;
  } else {
    found->monitors[found->count] = rect;
  }
  ++found->count;
  return TRUE;
}

}  // namespace

int ListMonitors(Rect* monitors, int room) {
  if (room <= 0) return 0;
  Found found = {monitors, room, 0,
                 {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)}};
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&found));
  if (found.count > 0) return found.count;
  monitors[0] = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return 1;
}
