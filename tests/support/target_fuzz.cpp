// target_fuzz.exe: the mutation loop for the parsers that run only on the
// target, under Wine.
//   target_fuzz.exe fuzz_wave_mmio CASES ARTIFACTS
//   target_fuzz.exe fuzz_mpadec CASES ARTIFACTS SEED_DIR MPADEC_DLL
// fuzz_wave_mmio gives mutated RIFF WAVE images (seeds made here by our WAVE
// writer) to Sound::ParseWave, which reads them through mmio; fuzz_mpadec
// gives mutated MP3 and MP2 files (the *.mp? of SEED_DIR) to mpadec.dll's
// entry points. Case n uses ByteMutator seed n, so every run is the same.
// Each input lies at the very end of committed memory, so a read one byte
// past it faults. Prints
//   fuzz NAME: N runs, K crashes
// A crash (an unhandled exception or a broken check) writes the input to
// ARTIFACTS/NAME-crash-CASE, prints the line with 1 crash and ends the process
// with status 1.
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/wrapped_memory_block.h"
#include "mpadec/mpadec_exports.h"
#include "sound/riff_wave.h"
#include "sound/sound.h"
#include "sound/wave_format.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/byte_mutator.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMaxInput = 64 * 1024;

// What the crash handlers report: the loop's place. Set before each case.
struct Progress {
  const char* name = "";
  std::string artifacts;
  int cases = 0;
  const Bytes* input = nullptr;
};
Progress g_progress;

void ReportCrash() {
  const Progress& p = g_progress;
  const std::string path = p.artifacts + "\\" + p.name + "-crash-" + std::to_string(p.cases);
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (p.input) std::fwrite(p.input->data(), 1, p.input->size(), f);
    std::fclose(f);
  }
  std::printf("crash in case %d, input written to %s\n", p.cases, path.c_str());
  std::printf("fuzz %s: %d runs, 1 crashes\n", p.name, p.cases + 1);
  std::fflush(stdout);
}

LONG WINAPI OnException(EXCEPTION_POINTERS* e) {
  std::printf("exception 0x%08lx at %p\n", e->ExceptionRecord->ExceptionCode,
              e->ExceptionRecord->ExceptionAddress);
  ReportCrash();
  ExitProcess(1);
}

void OnAbort(int) {
  ReportCrash();
  ExitProcess(1);
}

// Input bytes placed to end at a page that may not be touched.
class GuardedCopy {
 public:
  explicit GuardedCopy(const Bytes& bytes) {
    pages_ = (bytes.size() + 4095) / 4096 * 4096;
    base_ = static_cast<std::uint8_t*>(
        VirtualAlloc(nullptr, pages_ + 4096, MEM_RESERVE, PAGE_NOACCESS));
    FUZZ_CHECK(base_ && VirtualAlloc(base_, pages_, MEM_COMMIT, PAGE_READWRITE));
    data_ = base_ + pages_ - bytes.size();
    std::memcpy(data_, bytes.data(), bytes.size());
  }
  GuardedCopy(const GuardedCopy&) = delete;
  GuardedCopy& operator=(const GuardedCopy&) = delete;
  ~GuardedCopy() { VirtualFree(base_, 0, MEM_RELEASE); }
  std::uint8_t* data() const { return data_; }

 private:
  std::size_t pages_;
  std::uint8_t* base_;
  std::uint8_t* data_;
};

std::vector<Bytes> WaveSeeds() {
  std::vector<Bytes> seeds;
  std::string info[kInfoTagCount];
  info[InfoTagIndex("INAM")] = "Reef";
  info[InfoTagIndex("ICMT")] = "a comment";
  const struct { std::uint32_t rate; std::uint16_t bits, channels; } formats[] = {
      {8000, 8, 1}, {22050, 16, 2}, {11025, 8, 2}, {44100, 16, 1}};
  for (const auto& f : formats) {
    WAVEFORMATEX format;
    MakePcmFormat(&format, f.rate, f.bits, f.channels);
    Bytes samples(120 * format.nBlockAlign);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = std::uint8_t(i * 37);
    seeds.push_back(WriteRiffWave(format, samples.data(), std::uint32_t(samples.size()),
                                  seeds.size() % 2 ? info : nullptr));
  }
  return seeds;
}

// What parses points inside the image and has a usable format.
void ParseWaveCase(const Bytes& input) {
  GuardedCopy copy(input);
  Sound s(false, nullptr);
  auto* block = new WrappedMemoryBlock(copy.data(), std::uint32_t(input.size()), false, true);
  if (!s.ParseWave(block, true)) return;
  FUZZ_CHECK(s.Data() >= copy.data());
  FUZZ_CHECK(std::uint64_t(s.Data() - copy.data()) + s.DataSize() <= input.size());
  FUZZ_CHECK(s.Format() && s.Format()->nBlockAlign != 0);
  const std::uint32_t frames = s.FrameCount();
  if (frames) (void)s.GetFrame(frames - 1);
  for (int i = 0; i < kInfoTagCount; ++i) {
    if (const char* text = s.GetInfo(kInfoTags[i])) (void)std::strlen(text);
  }
}

MpadecExports g_mpadec;

// Reads at most `limit` bytes in pieces; no read gives more than asked for
// or runs past the length.
std::uint32_t ReadSome(std::uint32_t h, std::uint32_t limit, std::uint32_t piece) {
  static std::uint8_t buffer[8192];
  std::uint32_t total = 0;
  while (total < limit) {
    const std::uint32_t n = g_mpadec.read(h, buffer, piece);
    FUZZ_CHECK(n <= piece);
    if (n == 0) break;
    total += n;
  }
  return total;
}

void MpadecCase(const Bytes& input, std::uint32_t caseNumber) {
  GuardedCopy copy(input);
  const std::uint32_t h = g_mpadec.open(copy.data(), std::uint32_t(input.size()));
  if (!h) return;
  std::uint8_t info[mpadec::kInfoSize] = {mpadec::kInfoSize};
  FUZZ_CHECK(g_mpadec.info(h, info) == 1);
  std::uint32_t rate, channels;
  std::memcpy(&rate, info + mpadec::INFO_RATE, 4);
  std::memcpy(&channels, info + mpadec::INFO_CHANNELS, 4);
  FUZZ_CHECK(rate > 0 && (channels == 1 || channels == 2));
  const std::uint32_t length = g_mpadec.size(h);
  FUZZ_CHECK(length % (2 * channels) == 0);
  const std::uint32_t piece = 1 + caseNumber % 8192;
  FUZZ_CHECK(ReadSome(h, 16384, piece) <= length);
  const std::int32_t origin = std::int32_t(caseNumber % 3);
  const auto offset = std::int32_t(caseNumber * 2654435761u % (length + 1u));
  const std::uint32_t at = g_mpadec.seek(h, origin == 2 ? -offset : offset, origin);
  FUZZ_CHECK(at <= length);
  FUZZ_CHECK(ReadSome(h, 4096, piece) <= length - at);
  (void)g_mpadec.eof(h);
  g_mpadec.close(h);
}

std::vector<Bytes> MpegSeeds(const std::string& dir) {
  std::vector<Bytes> seeds;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*.mp?").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return seeds;
  do {
    const std::string path = dir + "\\" + found.cFileName;
    Bytes bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      bytes.resize(found.nFileSizeLow);
      bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
      std::fclose(f);
    }
    if (!bytes.empty()) seeds.push_back(bytes);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return seeds;
}

int Usage() {
  std::fprintf(stderr,
               "usage: target_fuzz fuzz_wave_mmio CASES ARTIFACTS\n"
               "       target_fuzz fuzz_mpadec CASES ARTIFACTS SEED_DIR MPADEC_DLL\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  const std::string name = argv[1];
  const int cases = std::atoi(argv[2]);
  const bool wave = name == "fuzz_wave_mmio";
  if (!wave && !(name == "fuzz_mpadec" && argc >= 6)) return Usage();
  std::vector<Bytes> seeds = wave ? WaveSeeds() : MpegSeeds(argv[4]);
  if (seeds.empty()) {
    std::fprintf(stderr, "%s: no seeds\n", name.c_str());
    return 1;
  }
  HMODULE library = wave ? nullptr : LoadLibraryA(argv[5]);
  if (!wave && !(library && g_mpadec.Find(library))) {
    std::fprintf(stderr, "%s: cannot load %s\n", name.c_str(), argv[5]);
    return 1;
  }
  g_progress.name = argv[1];
  g_progress.artifacts = argv[3];
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(OnException);
  std::signal(SIGABRT, OnAbort);
  for (int n = 0; n < cases; ++n) {
    ByteMutator mutator{std::uint32_t(n)};
    Bytes input = seeds[std::size_t(n) % seeds.size()];
    mutator.Mutate(&input, seeds[std::size_t(n / 7) % seeds.size()], kMaxInput);
    g_progress.cases = n;
    g_progress.input = &input;
    if (wave) {
      ParseWaveCase(input);
    } else {
      MpadecCase(input, std::uint32_t(n));
    }
  }
  std::printf("fuzz %s: %d runs, 0 crashes\n", name.c_str(), cases);
  return 0;
}
