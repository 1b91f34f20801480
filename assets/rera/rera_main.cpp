// rera: builds the resource library "ReraDOR" from our own art and sound, and
// inspects any resource library.
//
//   rera build OUT.dll [--res PATH] [--windres PATH] [--cc PATH]
//                                                     the library (and its .res file)
//   rera build OUT.res                                only the resource file
//   rera list LIB                                     every resource
//   rera extract LIB NAME OUT.png|OUT.wav             one resource
//   rera sheet LIB OUT.png [NAME]                     a contact sheet
//   rera preview DIR [NAME...]                        our art as PNG and WAV files
//                                                     (a wide scene also as its
//                                                     centred 5:4, 16:10, 16:9 crops;
//                                                     "CLOWN@2", "13LW@2": twice the size)
//
// LIB is a module (.dll) or a resource file (.res).
#include "assets/art/bubbles.h"
#include "assets/art/scenes.h"
#include "assets/art/creature_art.h"
#include "assets/rera/library.h"
#include "assets/rera/pe_resources.h"
#include "assets/rera/picture_codec.h"
#include "assets/sound/ambient.h"
#include "assets/sound/wave_file.h"
#include "scene/creature_table.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

extern char** environ;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: rera build OUT.dll [--res PATH] [--windres PATH] [--cc PATH]\n"
               "       rera build OUT.res\n"
               "       rera list LIB\n"
               "       rera extract LIB NAME OUT.png|OUT.wav\n"
               "       rera sheet LIB OUT.png [NAME]\n"
               "       rera preview DIR [NAME...]\n");
  return 2;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool ReadFile(const std::string& path, Bytes* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out->clear();
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
  std::fclose(f);
  return true;
}

bool WriteFile(const std::string& path, const Bytes& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "rera: cannot run %s\n", argv[0]);
    return -1;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* Option(int argc, char** argv, const char* name, const char* fallback) {
  for (int i = 0; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
  }
  return fallback;
}

int Build(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string out = argv[2];
  std::vector<LibraryItem> items;
  if (!BuildLibrary(&items, nullptr)) {
    std::fprintf(stderr, "rera: the library could not be made\n");
    return 1;
  }
  std::vector<ResourceEntry> entries;
  for (const LibraryItem& item : items) entries.push_back(item.entry);
  const std::string res = EndsWith(out, ".dll")
                              ? Option(argc, argv, "--res", (out.substr(0, out.size() - 4) + ".res").c_str())
                              : out;
  if (!WriteFile(res, WriteResFile(entries))) {
    std::fprintf(stderr, "rera: cannot write %s\n", res.c_str());
    return 1;
  }
  if (!EndsWith(out, ".dll")) return 0;
  // The resource object, then a module of nothing but resources: no entry
  // point, no libraries, no time stamp.
  const std::string obj = res + ".o";
  const std::string windres = Option(argc, argv, "--windres", "i686-w64-mingw32-windres");
  const std::string cc = Option(argc, argv, "--cc", "i686-w64-mingw32-gcc");
  if (Run({windres, "-J", "res", "-O", "coff", "-i", res, "-o", obj}) != 0) return 1;
  // The image base is fixed: by default the linker derives one from the
  // output path, which would make two builds of the same data differ.
  if (Run({cc, "-shared", "-nostdlib", "-s", "-Wl,-e,0", "-Wl,--no-insert-timestamp",
           "-Wl,--disable-auto-image-base", "-Wl,--image-base,0x10000000", "-o", out, obj}) != 0) {
    return 1;
  }
  return 0;
}

bool LoadLibraryFile(const std::string& path, std::vector<ResourceEntry>* entries) {
  Bytes data;
  if (!ReadFile(path, &data)) {
    std::fprintf(stderr, "rera: cannot read %s\n", path.c_str());
    return false;
  }
  const bool ok = data.size() >= 2 && data[0] == 'M' && data[1] == 'Z'
                      ? ReadPeResources(data.data(), data.size(), entries)
                      : ReadResFile(data.data(), data.size(), entries);
  if (!ok) std::fprintf(stderr, "rera: %s is not a resource library\n", path.c_str());
  return ok;
}

const ResourceEntry* Find(const std::vector<ResourceEntry>& entries, const std::string& type,
                          const std::string& name) {
  for (const ResourceEntry& e : entries) {
    if (e.type.ToString() == type && e.name.ToString() == name) return &e;
  }
  return nullptr;
}

// The name of the mask a sprite may have ("CLOWNA" for "CLOWN", "BUB1A@2"
// for "BUB1@2"); empty for other pictures.
std::string MaskNameOf(const std::string& name) {
  std::vector<std::pair<const char*, const char*>> sprites;
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    if (s->maskName[0]) sprites.emplace_back(s->spriteName, s->maskName);
  }
  sprites.emplace_back(kBubbleSpriteName, kBubbleMaskName);
  for (const auto& [sprite, mask] : sprites) {
    if (name == sprite) return mask;
    if (name == TwiceSizePictureName(sprite)) return TwiceSizePictureName(mask);
  }
  return {};
}

// A picture with the alpha of its mask applied when it has one.
bool PictureOf(const std::vector<ResourceEntry>& entries, const std::string& name,
               DecodedPicture* out) {
  const ResourceEntry* e = Find(entries, kPictureResourceType, name);
  if (!e || !DecodeStoredPicture(e->data, out)) return false;
  const std::string maskName = MaskNameOf(name);
  const ResourceEntry* m =
      maskName.empty() ? nullptr : Find(entries, kPictureResourceType, maskName);
  DecodedPicture mask;
  if (m && DecodeStoredPicture(m->data, &mask)) ApplyMask(out->image, mask.image);
  return true;
}

int List(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::vector<ResourceEntry> entries;
  if (!LoadLibraryFile(argv[2], &entries)) return 1;
  std::size_t total = 0;
  for (const ResourceEntry& e : entries) {
    total += e.data.size();
    std::string encoding = "?", layout;
    WaveInfo wave;
    DecodedPicture pic;
    if (ReadWave(e.data.data(), e.data.size(), &wave)) {
      encoding = "RIFF WAVE";
      const int frameBytes = std::max(1, wave.channels * wave.bits / 8);
      char buf[96];
      std::snprintf(buf, sizeof buf, "PCM %d Hz %d-bit %s, %.1f s", wave.rate, wave.bits,
                    wave.channels == 1 ? "mono" : "stereo",
                    double(wave.dataBytes) / frameBytes / std::max(1, wave.rate));
      layout = buf;
    } else if (DecodeStoredPicture(e.data, &pic)) {
      encoding = pic.encoding;
      const int frames = FramesOfPicture(e.name.ToString());
      char buf[96];
      if (frames > 1) {
        std::snprintf(buf, sizeof buf, "%d-bit, %d frames of %d x %d", pic.depth, frames,
                      pic.image.width, pic.image.height / frames);
      } else {
        std::snprintf(buf, sizeof buf, "%d-bit, %d x %d", pic.depth, pic.image.width,
                      pic.image.height);
      }
      layout = buf;
    }
    std::printf("%-5s %-11s %-10s %9zu  %s\n", e.type.ToString().c_str(),
                e.name.ToString().c_str(), encoding.c_str(), e.data.size(), layout.c_str());
  }
  std::printf("%zu resources, %zu bytes\n", entries.size(), total);
  return 0;
}

int Extract(int argc, char** argv) {
  if (argc < 5) return Usage();
  std::vector<ResourceEntry> entries;
  if (!LoadLibraryFile(argv[2], &entries)) return 1;
  const std::string name = argv[3], out = argv[4];
  if (const ResourceEntry* e = Find(entries, kSoundResourceType, name)) {
    return WriteFile(out, e->data) ? 0 : 1;
  }
  DecodedPicture pic;
  if (!PictureOf(entries, name, &pic)) {
    std::fprintf(stderr, "rera: no picture or sound named %s\n", name.c_str());
    return 1;
  }
  return WritePng(pic.image, out) ? 0 : 1;
}

int Sheet(int argc, char** argv) {
  if (argc < 4) return Usage();
  std::vector<ResourceEntry> entries;
  if (!LoadLibraryFile(argv[2], &entries)) return 1;
  std::vector<RgbaImage> cells;
  if (argc >= 5) {
    DecodedPicture pic;
    if (!PictureOf(entries, argv[4], &pic)) return 1;
    const int frames = FramesOfPicture(argv[4]);
    const int h = pic.image.height / frames;
    for (int k = 0; k < frames; ++k) {
      cells.push_back(CropImage(pic.image, 0, k * h, pic.image.width, h));
    }
  } else {
    // First frame of every picture, fitted into 160 x 120.
    for (const ResourceEntry& e : entries) {
      if (e.type.ToString() != kPictureResourceType) continue;
      DecodedPicture pic;
      if (!PictureOf(entries, e.name.ToString(), &pic)) continue;
      const int frames = FramesOfPicture(e.name.ToString());
      RgbaImage first = CropImage(pic.image, 0, 0, pic.image.width, pic.image.height / frames);
      const double k = std::min({1.0, 160.0 / first.width, 120.0 / first.height});
      RgbaImage small(std::max(1, int(first.width * k)), std::max(1, int(first.height * k)));
      for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
          std::copy_n(first.At(std::min(first.width - 1, int(x / k)),
                               std::min(first.height - 1, int(y / k))),
                      4, small.At(x, y));
        }
      }
      cells.push_back(std::move(small));
    }
  }
  std::vector<const RgbaImage*> refs;
  for (const RgbaImage& c : cells) refs.push_back(&c);
  return WritePng(ContactSheet(refs, 8, 4), argv[3]) ? 0 : 1;
}

bool Wanted(int argc, char** argv, int first, const char* name) {
  if (first >= argc) return true;
  for (int i = first; i < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return true;
  }
  return false;
}

void WriteStripPreview(const FrameStrip& strip, const std::string& dir, const std::string& name) {
  std::vector<RgbaImage> frames;
  for (int k = 0; k < strip.frames; ++k) frames.push_back(StripFrame(strip, k));
  std::vector<const RgbaImage*> refs;
  for (const RgbaImage& f : frames) refs.push_back(&f);
  const int cols = strip.frameWidth > 200 ? 4 : (strip.frameWidth > 100 ? 6 : 10);
  WritePng(ContactSheet(refs, cols, 4), dir + "/" + name + "_sheet.png");
  std::vector<const RgbaImage*> few;
  for (int k = 0; k < strip.frames; k += std::max(1, strip.frames / 6)) few.push_back(&frames[k]);
  const int zoom = strip.frameWidth > 150 ? 2 : (strip.frameWidth > 70 ? 3 : 5);
  WritePng(Enlarge(ContactSheet(few, 3, 2), zoom), dir + "/" + name + "_zoom.png");
}

// Wide scene `index` and its centred crops at the common monitor shapes, as
// the saver shows them (overlays included); with `twice`, also the picture
// at twice the size and its overlays.
void WriteWidePreview(int index, bool twice, const std::string& dir) {
  char name[8];
  if (!WidePictureName(index, name, sizeof name)) return;
  const ScenePictures pics = RenderWideScene(index);
  const std::string base = dir + "/" + name;
  WritePng(pics.background, base + ".png");
  for (int w : {960, 1229, 1365}) {
    const int x = (kWidePictureWidth - w) / 2;
    WritePng(CropImage(pics.background, x, 0, w, pics.background.height),
             base + "_" + std::to_string(w) + ".png");
  }
  if (!twice) return;
  const ScenePictures big = RenderWideSceneTwice(index, pics);
  WritePng(big.background, dir + "/" + TwiceSizePictureName(name) + ".png");
  const BackgroundVariant* v = BackgroundAt(index, 1024);
  const PlacedPicture* o[2] = {&v->overlayA, &v->overlayB};
  for (int k = 0; k < 2; ++k) {
    if (!big.hasOverlay[k]) continue;
    WritePng(big.overlay[k], dir + "/" + TwiceSizePictureName(o[k]->name) + ".png");
  }
}

int Preview(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string dir = argv[2];
  mkdir(dir.c_str(), 0755);
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    Creature c;
    if (!CreatureFor(s->spriteName, &c)) continue;
    for (int scale : {1, 2}) {
      const std::string name = scale == 1 ? s->spriteName : TwiceSizePictureName(s->spriteName);
      if (!Wanted(argc, argv, 3, name.c_str())) continue;
      const FrameStrip strip = RenderCreature(c, s->totalFrames, s->swimFrames, scale);
      WriteStripPreview(strip, dir, name);
      std::printf("%-10s %3d frames of %3d x %3d\n", name.c_str(), strip.frames,
                  strip.frameWidth, strip.frameHeight);
    }
  }
  for (int scale : {1, 2}) {
    const std::string name =
        scale == 1 ? kBubbleSpriteName : TwiceSizePictureName(kBubbleSpriteName);
    if (Wanted(argc, argv, 3, name.c_str())) {
      WriteStripPreview(RenderBubbleBurst(scale), dir, name);
    }
  }
  for (int i = 0; i < kBackgroundCount; ++i) {
    char wide[8];
    if (WidePictureName(i, wide, sizeof wide)) {
      const bool twice = Wanted(argc, argv, 3, TwiceSizePictureName(wide).c_str());
      if (twice || Wanted(argc, argv, 3, wide)) WriteWidePreview(i, twice, dir);
    }
    for (int w : {1024, 800, 640}) {
      const BackgroundVariant* v = BackgroundAt(i, w);
      if (!Wanted(argc, argv, 3, v->background.name)) continue;
      const ScenePictures pics = RenderScene(i, w);
      WritePng(pics.background, dir + "/" + v->background.name + ".png");
      const PlacedPicture* o[2] = {&v->overlayA, &v->overlayB};
      for (int k = 0; k < 2; ++k) {
        if (pics.hasOverlay[k]) WritePng(pics.overlay[k], dir + "/" + o[k]->name + ".png");
      }
    }
  }
  for (int i = 0; i < kAmbientCount; ++i) {
    const std::string name = std::to_string(kFirstSoundId + i);
    if (!Wanted(argc, argv, 3, name.c_str())) continue;
    const AmbientSound sound = RenderAmbient(i);
    WriteFile(dir + "/" + name + ".wav",
              WriteWave(AmbientPcm(sound), sound.loop.rate, sound.bits, sound.title));
    std::printf("%s %-14s %5d Hz %2d-bit %5.1f s\n", name.c_str(), sound.title.c_str(),
                sound.loop.rate, sound.bits, double(sound.loop.Length()) / sound.loop.rate);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string verb = argv[1];
  if (verb == "build") return Build(argc, argv);
  if (verb == "list") return List(argc, argv);
  if (verb == "extract") return Extract(argc, argv);
  if (verb == "sheet") return Sheet(argc, argv);
  if (verb == "preview") return Preview(argc, argv);
  return Usage();
}
