// MixEngine: mixes every playing MixVoice into one PCM stream for the wave
// output device. Target only.
//
// While active it owns the open device, five output buffers of 45 ms each and
// an output thread at the highest priority with a hidden window "WAVEMIXWND";
// the device returns each played buffer to that window (MM_WOM_DONE), whose
// procedure refills it from the playing voices and queues it again. One lock
// (re-entrant) guards both voice lists, every voice's stream and the buffers;
// two auto-reset events carry the start-up and shut-down handshakes:
//   SetActive(true):  thread opens the device -> ready; caller -> start;
//                     thread runs its message loop.
//   SetActive(false): caller posts WM_DESTROY to the thread; thread -> ready
//                     and ends; caller closes the device.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "gfx/list.h"
#include "sound/mix_kernel.h"

class MixVoice;

class MixEngine {
 public:
  static constexpr int kBuffers = 5;

  // The owner window is accepted and not used. kernelSet: MixKernelSet.
  MixEngine(const WAVEFORMATEX* format, HINSTANCE instance, HWND owner, std::uint32_t kernelSet);
  MixEngine(const MixEngine&) = delete;
  MixEngine& operator=(const MixEngine&) = delete;
  // Stops the output, then destroys every voice still bound to the engine.
  ~MixEngine();

  // 3 while active; 0 otherwise, rebuilding every voice's stream when the
  // channels, bits or rate change.
  int SetFormat(const WAVEFORMATEX* format);
  // 1 while active.
  int SetDevice(std::int32_t device);
  bool IsActive() const { return active_ != 0; }
  // 0, 2 when the thread cannot be created, or the thread's non-zero exit code
  // when the device could not be opened.
  int SetActive(bool on);

  void Lock() { EnterCriticalSection(&lock_); }
  void Unlock() { LeaveCriticalSection(&lock_); }
  List& Voices() { return voices_; }
  List& Playing() { return playing_; }
  const WAVEFORMATEX& OutputFormat() const { return format_; }
  std::uint32_t BufferBytes() const { return bufferBytes_; }
  std::uint32_t FortyFiveMsBytes() const { return size45_; }
  HWND MixWindow() const { return window_; }
  const MixKernel& Kernel() const { return kernel_; }
  // Exit code of the output thread when the device cannot be opened.
  static constexpr DWORD kOpenFailed = 1;

 private:
  static DWORD WINAPI ThreadMain(void* engine);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void UseFormat(const WAVEFORMATEX* format);
  bool OpenDevice();
  void CloseDevice();
  DWORD WaitForExitCode();
  DWORD EndThread();
  void Refill(HWAVEOUT device, WAVEHDR* header);

  List voices_;
  List playing_;
  WAVEFORMATEX format_ = {};
  std::int32_t device_ = -1;
  HINSTANCE instance_;
  HWAVEOUT wave_ = nullptr;
  HWND window_ = nullptr;
  WAVEHDR* headers_[kBuffers] = {};
  std::uint32_t bufferBytes_ = 0;
  std::uint32_t kernelSet_;
  MixKernel kernel_;
  std::int32_t active_ = 0;
  std::uint32_t size45_ = 0;
  CRITICAL_SECTION lock_;
  HANDLE thread_ = nullptr;
  HANDLE startEvent_ = nullptr;
  HANDLE readyEvent_ = nullptr;
  DWORD threadId_ = 0;
};
