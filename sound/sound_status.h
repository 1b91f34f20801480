// Result codes of the sound file readers and writers, Load, Save and ConvertTo.
#pragma once

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
