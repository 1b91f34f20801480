#pragma once
// The scene's pacing service over the multimedia timer: posts a window
// message once after a delay in milliseconds. Each request arms a one-shot
// timer whose callback (on the platform's timer thread) posts the message;
// delays longer than the device's longest period are served by a chain of
// pieces. The service raises the system timer resolution for its lifetime.
//
// One instance per process, gFrameTimer, built before the entry runs.

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>

#include "gfx/list.h"

class FrameTimer {
 public:
  static constexpr int kStopwatches = 10;

  // Resolution = the device's minimum period, or minimumResolution when that
  // is larger; timeBeginPeriod(resolution) until destruction.
  explicit FrameTimer(UINT minimumResolution);
  // As above, with pieces of at most longestPiece ms instead of the device's
  // wPeriodMax, so that long chains can be exercised quickly.
  FrameTimer(UINT minimumResolution, UINT longestPiece);
  FrameTimer(const FrameTimer&) = delete;
  FrameTimer& operator=(const FrameTimer&) = delete;
  // Kills every armed event (no message arrives afterwards), then
  // timeEndPeriod.
  ~FrameTimer();

  // Posts (window, message, wParam, lParam) once after delay ms: at once when
  // the delay is zero or negative; never sooner than one resolution period
  // otherwise. Also frees the records of requests that have already fired.
  // Nothing is posted when no timer can be armed.
  void PostAfter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, std::int32_t delay);
  // killPending: kill and free every record; otherwise free the finished ones.
  void Purge(bool killPending);
  // The lowest free stopwatch slot, now reserved, or -1 when all are taken.
  std::int32_t ReserveStopwatch();

  UINT Resolution() const { return resolution_; }
  UINT LongestPiece() const { return caps_.wPeriodMax; }
  // Records in the pending list, and how many of them are still armed.
  std::uint32_t PendingCount() const;
  std::uint32_t ArmedCount() const;

 private:
  struct Event;
  static void CALLBACK OnTimer(UINT id, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
  void Init(UINT minimumResolution);

  DWORD stamps_[kStopwatches];
  std::int32_t inUse_[kStopwatches];
  UINT resolution_ = 0;
  TIMECAPS caps_ = {};
  List pending_;  // Event records, in the order they were armed
};

extern FrameTimer gFrameTimer;
