#include "sound/frame_timer.h"

#include <new>
#include <type_traits>

// One request. Taken from the global heap; its first eight fields are the
// request proper, the last one is the service's bookkeeping for shutdown.
//
// Threads: the timer callback touches only its own record, inside the timer
// guard, and its last access to it is the store of the timer id (0 =
// finished).
// The scene's thread frees a record only when its id reads 0, or, when
// killing, after timeKillEvent has removed the armed event; an event that had
// already fired when it was killed is marked cancelled and freed once its
// callback has stored 0.
struct FrameTimer::Event {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::atomic<UINT> timerId;
  UINT remaining;  // ms still to wait after the piece now armed
  UINT resolution;
  UINT longestPiece;
  bool cancelled;
};

namespace {

static_assert(std::atomic<UINT>::is_always_lock_free, "the timer id must be a plain word");

// The id a record holds between allocation and the end of its first arming;
// it reads as armed, and a callback that fires before timeSetEvent has
// returned keeps the id it stored.
constexpr UINT kArming = 0xFFFFFFFFu;
constexpr DWORD kKillWaitMs = 2000;

// Serialises the callbacks against killing. Never deleted, so it outlives
// every FrameTimer, the static one included.
CRITICAL_SECTION* TimerGuard() {
  struct Guard {
    CRITICAL_SECTION section;
    Guard() { InitializeCriticalSection(&section); }
  };
  static Guard* guard = new Guard;
  return &guard->section;
}

UINT Arm(UINT piece, UINT resolution, LPTIMECALLBACK callback, void* record) {
  return timeSetEvent(piece, resolution, callback, reinterpret_cast<DWORD_PTR>(record),
                      TIME_ONESHOT | TIME_CALLBACK_FUNCTION);
}

}  // namespace

FrameTimer gFrameTimer(5);

FrameTimer::FrameTimer(UINT minimumResolution) { Init(minimumResolution); }

FrameTimer::FrameTimer(UINT minimumResolution, UINT longestPiece) {
  Init(minimumResolution);
  caps_.wPeriodMax = longestPiece;
}

void FrameTimer::Init(UINT minimumResolution) {
  TimerGuard();
  for (int i = 0; i < kStopwatches; ++i) {
    stamps_[i] = timeGetTime();
    inUse_[i] = 0;
  }
  timeGetDevCaps(&caps_, sizeof caps_);
  resolution_ = minimumResolution <= caps_.wPeriodMin ? caps_.wPeriodMin : minimumResolution;
  timeBeginPeriod(resolution_);
}

FrameTimer::~FrameTimer() {
  Purge(true);
  timeEndPeriod(resolution_);
}

void FrameTimer::PostAfter(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           std::int32_t delay) {
  Purge(false);
  if (delay <= 0) {
    PostMessageA(window, message, wParam, lParam);
    return;
  }
  static_assert(std::is_trivially_destructible_v<Event>, "records are freed by GlobalFree alone");
  void* memory = GlobalAlloc(GMEM_FIXED, sizeof(Event));
  if (!memory) return;
  Event* event = new (memory) Event{window, message, wParam, lParam, {kArming}, 0,
                                    resolution_, caps_.wPeriodMax, false};
  if (!pending_.PushBack(event)) {
    GlobalFree(event);
    return;
  }
  UINT wait = static_cast<UINT>(delay);
  UINT piece;
  if (wait > caps_.wPeriodMax) {
    event->remaining = wait - caps_.wPeriodMax;
    piece = caps_.wPeriodMax;
  } else {
    piece = wait <= resolution_ ? resolution_ : wait;
  }
  UINT id = Arm(piece, resolution_, OnTimer, event);
  // 0 when no timer could be armed: the record reads as finished and nothing
  // is posted. Unless the callback has already stored its own id or 0.
  UINT expected = kArming;
  event->timerId.compare_exchange_strong(expected, id);
}

void CALLBACK FrameTimer::OnTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  Event* event = reinterpret_cast<Event*>(user);
  EnterCriticalSection(TimerGuard());
  if (event->cancelled) {
    event->timerId.store(0);
  } else if (event->remaining != 0) {
    UINT piece = event->remaining;
    if (event->remaining > event->longestPiece) {
      piece = event->longestPiece;
      event->remaining -= event->longestPiece;
    } else {
      event->remaining = 0;  // the last piece is not raised to the resolution
    }
    event->timerId.store(Arm(piece, event->resolution, OnTimer, event));
  } else {
    // The record is finished before its message goes out, so the tick the
    // message starts never sees its own request still armed.
    HWND window = event->window;
    UINT message = event->message;
    WPARAM wParam = event->wParam;
    LPARAM lParam = event->lParam;
    event->timerId.store(0);
    PostMessageA(window, message, wParam, lParam);
  }
  LeaveCriticalSection(TimerGuard());
}

void FrameTimer::Purge(bool killPending) {
  if (killPending) {
    EnterCriticalSection(TimerGuard());
    for (ListNode* n = pending_.First(); n; n = n->next) {
      Event* e = static_cast<Event*>(n->data);
      UINT id = e->timerId.load();
      if (id == 0) continue;
      if (timeKillEvent(id) == TIMERR_NOERROR)
        e->timerId.store(0);
      else
        e->cancelled = true;  // firing right now: its callback will store 0
    }
    LeaveCriticalSection(TimerGuard());
  }
  DWORD start = GetTickCount();
  for (ListNode* n = pending_.First(); n;) {
    ListNode* next = n->next;
    Event* e = static_cast<Event*>(n->data);
    if (killPending) {
      while (e->timerId.load() != 0 && GetTickCount() - start < kKillWaitMs) Sleep(1);
    }
    if (e->timerId.load() == 0) {
      GlobalFree(e);
      pending_.Remove(n);
    } else if (killPending) {
      // A cancelled record whose callback never came is dropped, not freed
      // under it.
      pending_.Remove(n);
    }
    n = next;
  }
}

std::int32_t FrameTimer::ReserveStopwatch() {
  for (int i = 0; i < kStopwatches; ++i) {
    if (!inUse_[i]) {
      inUse_[i] = 1;
      return i;
    }
  }
  return -1;
}

std::uint32_t FrameTimer::PendingCount() const { return pending_.Count(); }

std::uint32_t FrameTimer::ArmedCount() const {
  std::uint32_t n = 0;
  for (ListNode* node = pending_.First(); node; node = node->next)
    n += static_cast<Event*>(node->data)->timerId.load() != 0;
  return n;
}
