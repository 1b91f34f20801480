// Whole-buffer conversion between wave formats: the samples read through an
// AcmStream (a plain copy when tag, rate, bits and channels already agree) in
// pieces of 16384 bytes into a growing MemoryStream. Target only.
#pragma once

#include "sound/sound_status.h"

#include <cstdint>

#include "port/win32.h"
#include "sound/sound.h"

class MemoryBlock;

// SOUND_OK with *out the converted bytes (a new block, the caller's);
// SOUND_NO_CONVERSION when the audio compression manager cannot convert
// between the formats; SOUND_BAD_WAVE when nothing came out; SOUND_NO_MEMORY.
// progress (may be null) gets phase 2 and the share of the source done.
[[nodiscard]] SoundStatus ConvertSamples(const WAVEFORMATEX* from, const WAVEFORMATEX* to, const std::uint8_t* data,
                   std::uint32_t size, MemoryBlock** out, SoundProgress progress, void* datum);
