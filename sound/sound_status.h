// The sound room's result codes, one enum per kind of operation, each keeping
// the numbers its callers and stored tests rely on. Every operation that can
// fail returns one of these and is [[nodiscard]].
#pragma once

// The sound file readers and writers: Sound::Load, Save, ConvertTo, DecodeToFile.
enum SoundStatus : int {
  SOUND_OK = 0,
  SOUND_UNSUPPORTED_ENCODING = 1,  // AU encoding not supported, or nothing to write
  SOUND_WRITE_UNSUPPORTED = 2,     // writer: unknown type, sample width or encoding
  SOUND_READ_UNKNOWN_TYPE = 3,
  SOUND_NOT_READABLE = 4,
  SOUND_BAD_WAVE = 5,
  SOUND_NO_MEMORY = 6,
  SOUND_CANNOT_CREATE = 7,
  SOUND_NO_SAMPLES = 8,
  SOUND_WAVE_WRITE_FAILED = 9,     // also: the MPEG decoder did not open
  SOUND_NO_CONVERSION = 10,
  SOUND_BAD_HEADER = 11,           // bad AU or AIFF header, or samples past the file's end
  SOUND_WRITE_FAILED = 12,
  SOUND_NOT_STREAMED = 17,
};

// WaveMixer's loads into a slot.
enum WaveMixStatus : int {
  WAVEMIX_LOADED = 0,
  WAVEMIX_BAD_SLOT = 1,       // slot outside 0 ... 59, or LoadMemory without data
  WAVEMIX_NOT_A_SOUND = 2,    // not a sound the Sound object accepts, or the file not readable
  WAVEMIX_NO_RESOURCE = 4,    // no such "WAVE" resource, or an empty one
  WAVEMIX_NOT_SUPPORTED = 5,  // the interface's default
  WAVEMIX_NOT_OPENED = 6,     // Open was not called
  WAVEMIX_NO_MEMORY = 7,      // the copy, the sound or a voice could not be allocated
};

// MixEngine's device and format operations.
enum MixEngineStatus : int {
  MIX_ENGINE_OK = 0,
  MIX_ENGINE_DEVICE_WHILE_ACTIVE = 1,  // SetDevice refused: the device is open
  MIX_ENGINE_NO_THREAD = 2,            // SetActive: the output thread could not be made
  MIX_ENGINE_FORMAT_WHILE_ACTIVE = 3,  // SetFormat refused: the device is open
  MIX_ENGINE_OPEN_FAILED = 4,          // SetActive: the device did not open (the thread's exit code)
};

// A voice's operations (MixVoice, and the MixBoard under it).
enum MixVoiceStatus : int {
  MIX_VOICE_OK = 0,
  MIX_VOICE_CANNOT_START = 1,  // no sound, no data, or the start frame past its end
  MIX_VOICE_CANNOT_SEEK = 2,   // no sound, no data, or no frame size
  MIX_VOICE_NO_MEMORY = 3,     // the scratch or a list node could not be allocated
};
