#include "sound/wave_mixer_base.h"

WaveMixerBase::~WaveMixerBase() = default;
void WaveMixerBase::Open(HINSTANCE, HWND, const WAVEFORMATEX*, std::uint32_t) {}
std::uint32_t WaveMixerBase::GetDeviceCaps() { return 0; }
std::int32_t WaveMixerBase::AllocSlot() { return -1; }
void WaveMixerBase::FreeSlot(std::int32_t) {}
WaveMixStatus WaveMixerBase::LoadFile(std::int32_t, const char*, std::uint32_t, std::int32_t,
                            std::uint32_t) {
  return WAVEMIX_NOT_SUPPORTED;
}
WaveMixStatus WaveMixerBase::LoadResource(std::int32_t, HMODULE, const char*, std::int32_t,
                                std::uint32_t) {
  return WAVEMIX_NOT_SUPPORTED;
}
WaveMixStatus WaveMixerBase::LoadMemory(std::int32_t, std::uint32_t, const WAVEFORMATEX*, const void*,
                              std::uint32_t, std::uint32_t, std::uint32_t) {
  return WAVEMIX_NOT_SUPPORTED;
}
void WaveMixerBase::UnloadSlot(std::int32_t) {}
std::int32_t WaveMixerBase::Reserved9(std::int32_t) { return 0; }
void WaveMixerBase::Activate(bool) {}
bool WaveMixerBase::IsActive() { return false; }
void WaveMixerBase::Play(std::int32_t, std::uint32_t, std::int32_t, std::int32_t, std::int32_t,
                         bool) {}
void WaveMixerBase::Stop(std::int32_t) {}
void WaveMixerBase::StopAll() {}
std::int32_t WaveMixerBase::GetVolume(std::int32_t) { return 0; }
void WaveMixerBase::SetVolume(std::int32_t, std::int32_t) {}
std::int32_t WaveMixerBase::GetPan(std::int32_t) { return 0; }
void WaveMixerBase::SetPan(std::int32_t, std::int32_t) {}
std::int32_t WaveMixerBase::Reserved19(std::int32_t) { return 0; }
void WaveMixerBase::Reserved20(std::int32_t, std::int32_t) {}
std::uint32_t WaveMixerBase::GetPosition(std::int32_t) { return 0; }
void WaveMixerBase::SetPosition(std::int32_t, std::uint32_t) {}
bool WaveMixerBase::IsPlaying(std::int32_t) { return false; }
std::uint32_t WaveMixerBase::GetSampleRate(std::int32_t) { return 0; }
std::uint32_t WaveMixerBase::GetBitsPerSample(std::int32_t) { return 0; }
std::uint32_t WaveMixerBase::GetChannels(std::int32_t) { return 0; }
std::uint32_t WaveMixerBase::GetDataSize(std::int32_t) { return 0; }
std::uint32_t WaveMixerBase::GetLength(std::int32_t) { return 0; }
std::uint32_t WaveMixerBase::GetBytesPerFrame(std::int32_t) { return 0; }
void WaveMixerBase::SetDevice(std::int32_t) {}
std::int32_t WaveMixerBase::GetDeviceIndex() { return 0; }
std::uint32_t WaveMixerBase::GetDeviceCount() { return 0; }
TextString WaveMixerBase::GetDeviceName(std::uint32_t) { return TextString(); }
