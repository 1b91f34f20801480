// MixEngine: mixes every playing voice into one PCM stream for the wave
// output device. Target only.
//
// The voices, their lists and their levels are the MixBoard's, behind its
// lock (mix_board.h says which thread calls what). The engine adds, while
// active, the open device, five output buffers of 45 ms each and an output
// thread at the highest priority with a hidden window "WAVEMIXWND"; the device
// returns each played buffer to that window (MM_WOM_DONE), whose procedure
// refills it from the board and queues it again. The buffers are touched by
// the output thread only, and by the caller's thread before the thread starts
// and after it ended. Two auto-reset events carry the start-up and shut-down
// handshakes:
//   SetActive(true):  thread opens the device -> ready; caller -> start;
//                     thread runs its message loop.
//   SetActive(false): caller posts WM_DESTROY to the thread; thread -> ready
//                     and ends; caller closes the device.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "sound/mix_board.h"
#include "sound/mix_kernel.h"
#include "sound/sound_status.h"

class MixEngine : public MixBoard {
 public:
  static constexpr int kBuffers = 5;

  // The owner window is accepted and not used. kernelSet: MixKernelSet.
  MixEngine(const WAVEFORMATEX* format, HINSTANCE instance, HWND owner, std::uint32_t kernelSet);
  MixEngine(const MixEngine&) = delete;
  MixEngine& operator=(const MixEngine&) = delete;
  // Stops the output, then destroys every voice still attached.
  ~MixEngine();

  // MIX_ENGINE_FORMAT_WHILE_ACTIVE while active; otherwise OK, telling every
  // voice to rebuild its stream when the channels, bits or rate change.
  [[nodiscard]] MixEngineStatus SetFormat(const WAVEFORMATEX* format);
  // MIX_ENGINE_DEVICE_WHILE_ACTIVE while active.
  [[nodiscard]] MixEngineStatus SetDevice(std::int32_t device);
  bool IsActive() const { return active_ != 0; }
  // OK (also when the state already matches), MIX_ENGINE_NO_THREAD, or
  // MIX_ENGINE_OPEN_FAILED when the device could not be opened.
  [[nodiscard]] MixEngineStatus SetActive(bool on);

  const WAVEFORMATEX& OutputFormat() const { return format_; }
  std::uint32_t BufferBytes() const { return bufferBytes_; }
  std::uint32_t FortyFiveMsBytes() const { return size45_; }
  HWND MixWindow() const { return window_; }
  const MixKernel& Kernel() const { return kernel_; }

 private:
  static DWORD WINAPI ThreadMain(void* engine);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void UseFormat(const WAVEFORMATEX* format);
  bool OpenDevice();
  void CloseDevice();
  DWORD WaitForExitCode();
  DWORD EndThread();
  void Refill(HWAVEOUT device, WAVEHDR* header);

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
  HANDLE thread_ = nullptr;
  HANDLE startEvent_ = nullptr;
  HANDLE readyEvent_ = nullptr;
  DWORD threadId_ = 0;
};
