#include "sound/mix_engine.h"

#include <cstring>

#include "sound/wave_format.h"

static const char kWindowClass[] = "WAVEMIXWND";

MixEngine::MixEngine(const WAVEFORMATEX* format, HINSTANCE instance, HWND, std::uint32_t kernelSet)
    : MixBoard(format->nChannels), instance_(instance), kernelSet_(kernelSet) {
  UseFormat(format);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.cbWndExtra = sizeof(LONG);
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);  // already registered by another engine: fine
}

MixEngine::~MixEngine() {
  // Stopping never fails: the thread is told to end and waited for.
  (void)SetActive(false);
  // Each voice detaches itself as it goes.
  for (MixInput* voice : AttachedVoices()) delete voice;
}

void MixEngine::UseFormat(const WAVEFORMATEX* format) {
  std::memcpy(&format_, format, sizeof format_);
  format_.cbSize = 0;
  size45_ = (45 * format_.nAvgBytesPerSec / 1000) & ~3u;
  kernel_ = SelectMixKernel(OutputFormatCode(format_), kernelSet_);
}

MixEngineStatus MixEngine::SetFormat(const WAVEFORMATEX* format) {
  if (active_) return MIX_ENGINE_FORMAT_WHILE_ACTIVE;
  if (format->nChannels == format_.nChannels && format->wBitsPerSample == format_.wBitsPerSample &&
      format->nSamplesPerSec == format_.nSamplesPerSec)
    return MIX_ENGINE_OK;
  UseFormat(format);
  SetChannels(format_.nChannels);
  for (MixInput* voice : AttachedVoices()) voice->OutputFormatChanged();
  return MIX_ENGINE_OK;
}

MixEngineStatus MixEngine::SetDevice(std::int32_t device) {
  if (active_) return MIX_ENGINE_DEVICE_WHILE_ACTIVE;
  device_ = device;
  return MIX_ENGINE_OK;
}

bool MixEngine::OpenDevice() {
  window_ = CreateWindowExA(0, kWindowClass, kWindowClass, 0, 0, 0, 1, 1, nullptr, nullptr,
                            instance_, nullptr);
  if (!window_) return false;
  SetWindowLongPtrA(window_, 0, reinterpret_cast<LONG_PTR>(this));
  if (waveOutOpen(&wave_, UINT(device_), &format_, DWORD_PTR(window_), 0, CALLBACK_WINDOW) !=
      MMSYSERR_NOERROR) {
    wave_ = nullptr;
    return false;
  }
  bufferBytes_ = size45_;
  const BYTE silence = format_.wBitsPerSample == 8 ? 0x7F : 0;
  for (WAVEHDR*& header : headers_) {
    header = static_cast<WAVEHDR*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(WAVEHDR)));
    if (!header) return false;
    header->lpData = static_cast<LPSTR>(GlobalAlloc(GMEM_FIXED, bufferBytes_));
    if (!header->lpData) return false;
    header->dwBufferLength = bufferBytes_;
    std::memset(header->lpData, silence, bufferBytes_);
    if (waveOutPrepareHeader(wave_, header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
  }
  for (WAVEHDR* header : headers_)
    if (waveOutWrite(wave_, header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
  active_ = 1;
  return true;
}

void MixEngine::CloseDevice() {
  if (wave_) {
    waveOutReset(wave_);
    waveOutClose(wave_);
    Sleep(0);
  }
  for (WAVEHDR*& header : headers_) {
    if (!header) continue;
    if (header->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(wave_, header, sizeof(WAVEHDR));
    if (header->lpData) GlobalFree(header->lpData);
    GlobalFree(header);
    header = nullptr;
  }
  wave_ = nullptr;
  window_ = nullptr;
  active_ = 0;
  StopAllVoices();
}

DWORD WINAPI MixEngine::ThreadMain(void* argument) {
  auto* engine = static_cast<MixEngine*>(argument);
  const bool opened = engine->OpenDevice();
  SetEvent(engine->readyEvent_);
  if (!opened) {
    // The window belongs to this thread: it goes with it; the caller frees the rest.
    if (engine->window_) DestroyWindow(engine->window_);
    return MIX_ENGINE_OPEN_FAILED;
  }
  WaitForSingleObject(engine->startEvent_, INFINITE);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message == WM_DESTROY) {
      DestroyWindow(engine->window_);
      SetEvent(engine->readyEvent_);
      return 0;
    }
  }
  SetEvent(engine->readyEvent_);
  return 0;
}

DWORD MixEngine::WaitForExitCode() {
  DWORD code = 0;
  while (!GetExitCodeThread(thread_, &code)) Sleep(20);
  // The thread has set its event just before returning: wait for its end.
  if (code == STILL_ACTIVE) {
    WaitForSingleObject(thread_, INFINITE);
    GetExitCodeThread(thread_, &code);
  }
  return code;
}

MixEngineStatus MixEngine::SetActive(bool on) {
  if (on == (active_ != 0)) return MIX_ENGINE_OK;
  if (on) {
    startEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    readyEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId_);
    if (!thread_) {
      CloseHandle(startEvent_);
      CloseHandle(readyEvent_);
      startEvent_ = readyEvent_ = nullptr;
      return MIX_ENGINE_NO_THREAD;
    }
    WaitForSingleObject(readyEvent_, INFINITE);
    SetThreadPriority(thread_, THREAD_PRIORITY_HIGHEST);
    if (!active_) {
      // The thread's exit code is MIX_ENGINE_OPEN_FAILED whatever went wrong in the open.
      EndThread();
      return MIX_ENGINE_OPEN_FAILED;
    }
    SetEvent(startEvent_);
    return MIX_ENGINE_OK;
  }
  PostThreadMessageA(threadId_, WM_DESTROY, 0, 0);
  WaitForSingleObject(readyEvent_, INFINITE);
  EndThread();  // its exit code is 0 after WM_DESTROY
  return MIX_ENGINE_OK;
}

// After the thread's last handshake: its exit code; then the handles go and
// the device is closed.
DWORD MixEngine::EndThread() {
  const DWORD code = WaitForExitCode();
  CloseHandle(thread_);
  thread_ = nullptr;
  CloseHandle(startEvent_);
  CloseHandle(readyEvent_);
  startEvent_ = readyEvent_ = nullptr;
  CloseDevice();
  return code;
}

void MixEngine::Refill(HWAVEOUT device, WAVEHDR* header) {
  if (header->dwFlags & WHDR_PREPARED) {
    auto* data = reinterpret_cast<std::uint8_t*>(header->lpData);
    std::uint32_t filled = 0;
    if (kernel_.Valid()) filled = Fill(kernel_, data, bufferBytes_, bufferBytes_);
    if (filled == 0) {
      // A format without a kernel plays silence; a buffer never goes out empty.
      std::memset(data, format_.wBitsPerSample == 8 ? 0x80 : 0, bufferBytes_);
      filled = bufferBytes_;
    }
    header->dwBufferLength = filled;
    // A buffer the device refuses is lost to the queue; the others go on playing.
    (void)waveOutWrite(device, header, sizeof(WAVEHDR));
  }
}

LRESULT CALLBACK MixEngine::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != MM_WOM_DONE) return DefWindowProcA(window, message, wParam, lParam);
  auto* engine = reinterpret_cast<MixEngine*>(GetWindowLongPtrA(window, 0));
  if (engine) engine->Refill(reinterpret_cast<HWAVEOUT>(wParam), reinterpret_cast<WAVEHDR*>(lParam));
  return 0;
}
