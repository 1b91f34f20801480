// Test tool for the sound file end-to-end script: loads and saves sound files
// through Sound, many in one run so that Wine starts once for all of them.
//
//   sound_tool COMMANDS        one command a line, fields split by blanks:
//     load FILE RAW            prints "load FILE status S tag T rate R channels
//                              C bits B frames N raw written|failed", then
//                              "info TAG TEXT" for every INFO text; writes the
//                              frames to RAW as 16-bit little-endian,
//                              interleaved (8-bit samples as (b - 128) x 256).
//                              Non-PCM WAVE is decoded to 16-bit PCM.
//     header FILE              the format only, as stored: prints "header FILE
//                              status S tag T rate R channels C bits B"
//     save KIND RAW RATE CHANNELS BITS FILE
//                              a PCM sound of RAW's bytes (in its own layout:
//                              unsigned 8-bit or 16-bit little-endian) saved as
//                              KIND (wav, au, au-mulaw, au-alaw, aiff); prints
//                              "save FILE status S"
//     resave FILE OUT          FILE loaded and saved as WAVE in its own format;
//                              prints "resave OUT status S"
// Exits 0 when every line was a known command, else 2.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/global_memory_block.h"
#include "sound/riff_wave.h"
#include "sound/sample_frames.h"
#include "sound/sound.h"
#include "sound/sound_status.h"
#include "sound/wave_format.h"

namespace {

constexpr std::uint32_t kLoadFlags = SOUND_IN_MEMORY | SOUND_DECODE;

bool WriteFrames(const Sound& sound, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const std::uint32_t channels = sound.Format()->nChannels;
  std::vector<std::int16_t> samples;
  samples.reserve(std::size_t(sound.FrameCount()) * channels);
  for (std::uint32_t i = 0; i < sound.FrameCount(); ++i) {
    const std::uint32_t frame = sound.GetFrame(i);
    samples.push_back(FrameLeft(frame));
    if (channels == 2) samples.push_back(FrameRight(frame));
  }
  const bool written = std::fwrite(samples.data(), 2, samples.size(), out) == samples.size();
  return std::fclose(out) == 0 && written;
}

// Prints "VERB FILE status S" and, when the load succeeded, the format.
bool LoadAndSay(Sound* sound, const char* verb, const std::string& file, std::uint32_t flags) {
  const int status = sound->Load(file.c_str(), flags, nullptr, nullptr);
  std::printf("%s %s status %d", verb, file.c_str(), status);
  const WAVEFORMATEX* f = sound->Format();
  if (status != SOUND_OK || !f) return false;
  std::printf(" tag %u rate %lu channels %u bits %u", f->wFormatTag,
              static_cast<unsigned long>(f->nSamplesPerSec), f->nChannels, f->wBitsPerSample);
  return true;
}

void Load(const std::string& file, const std::string& raw) {
  Sound sound(false, nullptr);
  if (LoadAndSay(&sound, "load", file, kLoadFlags)) {
    std::printf(" frames %lu raw %s", static_cast<unsigned long>(sound.FrameCount()),
                WriteFrames(sound, raw) ? "written" : "failed");
  }
  std::printf("\n");
  for (int i = 0; i < kInfoTagCount; ++i) {
    if (const char* text = sound.GetInfo(kInfoTags[i]))
      std::printf("info %s %s\n", kInfoTags[i], text);
  }
}

void Header(const std::string& file) {
  Sound sound(false, nullptr);
  LoadAndSay(&sound, "header", file, SOUND_HEADER);
  std::printf("\n");
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The target Save takes for a kind, and the kind known at all.
bool SaveTarget(const std::string& kind, const void** target) {
  *target = nullptr;
  if (kind == "au-mulaw") *target = reinterpret_cast<const void*>(std::uintptr_t(AU_TARGET_MULAW));
  else if (kind == "au-alaw") *target = reinterpret_cast<const void*>(std::uintptr_t(AU_TARGET_ALAW));
  else if (kind != "wav" && kind != "au" && kind != "aiff") return false;
  return true;
}

int Save(const std::string& kind, const std::string& raw, std::uint32_t rate,
         std::uint16_t channels, std::uint16_t bits, const std::string& file) {
  const void* target;
  if (!SaveTarget(kind, &target)) return -1;
  const std::vector<std::uint8_t> bytes = ReadAll(raw);
  if (bytes.empty()) return -2;
  WAVEFORMATEX format;
  MakePcmFormat(&format, rate, bits, channels);
  auto* block = new GlobalMemoryBlock(std::uint32_t(bytes.size()), true);
  if (!block->Pointer()) {
    delete block;
    return SOUND_NO_MEMORY;
  }
  std::memcpy(block->Pointer(), bytes.data(), bytes.size());
  Sound sound(false, nullptr);
  if (!sound.SetSamples(&format, block, true)) return -3;
  return sound.Save(file.c_str(), 0, target, nullptr, nullptr);
}

int Resave(const std::string& file, const std::string& out) {
  Sound sound(false, nullptr);
  const int status = sound.Load(file.c_str(), kLoadFlags, nullptr, nullptr);
  if (status != SOUND_OK) return status;
  return sound.Save(out.c_str(), 0, nullptr, nullptr, nullptr);
}

bool Run(const std::string& line) {
  std::istringstream fields(line);
  std::string verb, a, b, kind;
  fields >> verb;
  if (verb == "load" && fields >> a >> b) {
    Load(a, b);
  } else if (verb == "save") {
    std::uint32_t rate = 0, channels = 0, bits = 0;
    if (!(fields >> kind >> a >> rate >> channels >> bits >> b)) return false;
    std::printf("save %s status %d\n", b.c_str(),
                Save(kind, a, rate, std::uint16_t(channels), std::uint16_t(bits), b));
  } else if (verb == "header" && fields >> a) {
    Header(a);
  } else if (verb == "resave" && fields >> a >> b) {
    std::printf("resave %s status %d\n", b.c_str(), Resave(a, b));
  } else {
    return false;
  }
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sound_tool COMMANDS\n");
    return 2;
  }
  std::ifstream commands(argv[1]);
  if (!commands) {
    std::fprintf(stderr, "sound_tool: cannot read %s\n", argv[1]);
    return 2;
  }
  int bad = 0;
  for (std::string line; std::getline(commands, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!Run(line)) {
      std::printf("bad command: %s\n", line.c_str());
      ++bad;
    }
  }
  return bad ? 2 : 0;
}
