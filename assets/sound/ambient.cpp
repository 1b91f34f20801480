#include "assets/sound/ambient.h"

#include <cmath>

namespace {

// Places `count` events at random moments of the loop.
template <typename Make>
void Scatter(Loop& loop, int count, std::uint64_t seed, double gainLo, double gainHi, Make make) {
  Noise rnd(seed);
  for (int i = 0; i < count; ++i) {
    const long long at = (long long)(rnd.Uniform() * loop.Length());
    const double gain = rnd.Range(gainLo, gainHi);
    AddEvent(loop, at, make(rnd), gain);
  }
}

// A pentatonic scale above `root`.
double Pentatonic(double root, int step) {
  static const int semis[] = {0, 2, 4, 7, 9};
  const int octave = step / 5, degree = step % 5;
  return root * std::pow(2.0, octave + semis[degree] / 12.0);
}

Loop Bubbler() {  // an aquarium air stone: streams of bubbles over a pump hum
  Loop l(22050, 10);
  AddNoise(l, 0.25, 1);
  Filter(l, FilterKind::LowPass, 500, 0.7);
  Swell(l, 20, 0.4, 2);
  AddSine(l, 50, 0.05);
  AddSine(l, 100, 0.03);
  Scatter(l, 260, 3, 0.15, 0.5, [&](Noise& r) {
    return BubbleEvent(l.rate, r.Range(500, 1600), r.Range(0.02, 0.07));
  });
  Reverb(l, 0.03, 0.7, 0.25);
  return l;
}

Loop DeepDrone() {  // slow beating low tones in a dark wash
  Loop l(22050, 12);
  const double root = 55;
  for (double m : {1.0, 1.5, 2.0, 3.0}) {
    AddPulsingSine(l, root * m, 0.25 / m, int(m * 2), 0.5, m);
    AddPulsingSine(l, root * m * 1.004, 0.2 / m, int(m * 3), 0.6, 2 * m);
  }
  Loop wash(22050, 12);
  AddNoise(wash, 0.6, 5);
  SweptFilter(wash, FilterKind::LowPass, 120, 400, 2, 0.9);
  for (int i = 0; i < l.Length(); ++i) l.samples[i] += wash.samples[i];
  Reverb(l, 0.05, 0.8, 0.3);
  return l;
}

Loop SoftPad() {  // a warm chord breathing through a slowly opening filter
  Loop l(22050, 12);
  const double chord[] = {130.81, 164.81, 196.0, 246.94, 329.63};
  int k = 0;
  for (double f : chord) {
    for (int h = 1; h <= 6; ++h) {
      AddPulsingSine(l, f * h, 0.12 / h, 1 + (k % 3), 0.35, k * 0.7 + h);
      AddSine(l, f * h * 1.003, 0.05 / h, h + k);
    }
    ++k;
  }
  SweptFilter(l, FilterKind::LowPass, 400, 1800, 1, 0.8);
  Reverb(l, 0.06, 0.82, 0.4);
  return l;
}

Loop WhaleSong() {  // distant calls over the hush of the open sea
  Loop l(22050, 16);
  AddNoise(l, 0.3, 7);
  Filter(l, FilterKind::LowPass, 350, 0.7);
  Swell(l, 8, 0.5, 8);
  const double calls[][4] = {{0.05, 180, 420, 2.6}, {0.3, 520, 260, 2.0},
                             {0.55, 140, 210, 3.0}, {0.78, 300, 600, 1.6}};
  for (const auto& c : calls) {
    AddEvent(l, (long long)(c[0] * l.Length()), CallEvent(l.rate, c[1], c[2], c[3], 0.01), 0.5);
  }
  Filter(l, FilterKind::LowPass, 1500, 0.7);
  Reverb(l, 0.09, 0.85, 0.55);
  Echo(l, 0.7, 0.35, 0.3);
  return l;
}

Loop RainOnWater() {  // rain falling on the surface overhead
  Loop l(22050, 10);
  AddNoise(l, 0.35, 11);
  Filter(l, FilterKind::HighPass, 1500, 0.7);
  Filter(l, FilterKind::LowPass, 6000, 0.7);
  Swell(l, 14, 0.3, 12);
  Scatter(l, 700, 13, 0.05, 0.35, [&](Noise& r) {
    return DropEvent(l.rate, r.Range(1200, 4000), r.Range(0.01, 0.04), 99);
  });
  Reverb(l, 0.02, 0.6, 0.2);
  return l;
}

Loop Surf() {  // waves rolling in and drawing back
  Loop l(22050, 12);
  AddNoise(l, 0.6, 17);
  SweptFilter(l, FilterKind::LowPass, 300, 2500, 3, 0.7);
  Tremolo(l, 3, 0.85, -1.57);
  Swell(l, 9, 0.3, 18);
  return l;
}

Loop ReefCrackle() {  // snapping shrimp crackling on a living reef
  Loop l(22050, 8);
  AddNoise(l, 0.12, 19);
  Filter(l, FilterKind::LowPass, 300, 0.7);
  Scatter(l, 1400, 23, 0.1, 0.9, [&](Noise& r) {
    return ClickEvent(l.rate, r.Range(0.3, 1.0), std::uint64_t(r.Uniform() * 1e9));
  });
  Filter(l, FilterKind::Peak, 3000, 0.8, 4);
  Reverb(l, 0.025, 0.6, 0.2);
  return l;
}

Loop Sonar() {  // a slow ping and its echoes over a low hum (11025 Hz)
  Loop l(11025, 12);
  AddSine(l, 60, 0.08);
  AddNoise(l, 0.1, 29);
  Filter(l, FilterKind::LowPass, 200, 0.7);
  for (int k = 0; k < 3; ++k) {
    AddEvent(l, (long long)(l.Length() * k / 3.0), PingEvent(l.rate, 1175, 1.6), 0.6);
  }
  Echo(l, 0.9, 0.45, 0.5);
  Reverb(l, 0.07, 0.8, 0.35);
  return l;
}

Loop GlassChimes() {  // glassy bells wandering over a pentatonic scale
  Loop l(22050, 14);
  Noise r(31);
  for (int i = 0; i < 22; ++i) {
    const double hz = Pentatonic(523.25, r.Below(8));
    AddEvent(l, (long long)(r.Uniform() * l.Length()), BellEvent(l.rate, hz, 2.5),
             r.Range(0.2, 0.5));
  }
  Reverb(l, 0.07, 0.84, 0.5);
  return l;
}

Loop Submarine() {  // a distant engine throbbing (8-bit)
  Loop l(22050, 10);
  for (int h = 1; h <= 8; ++h) AddPulsingSine(l, 45.0 * h, 0.3 / h, 20, 0.4, h);
  AddNoise(l, 0.2, 37);
  Filter(l, FilterKind::LowPass, 700, 0.8);
  Swell(l, 6, 0.25, 38);
  Reverb(l, 0.05, 0.7, 0.25);
  return l;
}

Loop Lagoon() {  // gentle lapping water and far gull cries
  Loop l(22050, 12);
  AddNoise(l, 0.5, 41);
  SweptFilter(l, FilterKind::BandPass, 250, 900, 6, 1.2);
  Tremolo(l, 6, 0.7);
  Noise r(43);
  for (int i = 0; i < 3; ++i) {
    AddEvent(l, (long long)(r.Uniform() * l.Length()),
             CallEvent(l.rate, r.Range(1400, 1700), r.Range(900, 1100), 0.5, 0.03), 0.12);
  }
  Reverb(l, 0.06, 0.75, 0.35);
  return l;
}

Loop CaveDrips() {  // water dripping into pools in a cave
  Loop l(22050, 12);
  AddNoise(l, 0.05, 47);
  Filter(l, FilterKind::LowPass, 250, 0.7);
  Noise r(53);
  for (int i = 0; i < 14; ++i) {
    AddEvent(l, (long long)(r.Uniform() * l.Length()),
             DropEvent(l.rate, r.Range(600, 1500), r.Range(0.08, 0.18), r.Below(1000)),
             r.Range(0.3, 0.7));
  }
  Reverb(l, 0.11, 0.88, 0.6);
  Echo(l, 0.45, 0.3, 0.25);
  return l;
}

Loop KelpCurrent() {  // a current sighing through the kelp
  Loop l(22050, 10);
  AddNoise(l, 0.6, 59);
  SweptFilter(l, FilterKind::BandPass, 200, 1400, 2, 3.0);
  Swell(l, 10, 0.6, 60);
  Loop low(22050, 10);
  AddNoise(low, 0.4, 61);
  Filter(low, FilterKind::LowPass, 150, 0.7);
  for (int i = 0; i < l.Length(); ++i) l.samples[i] += low.samples[i];
  Reverb(l, 0.05, 0.75, 0.3);
  return l;
}

Loop MusicBox() {  // a slow plucked lullaby
  Loop l(22050, 12);
  const int tune[] = {0, 2, 4, 2, 3, 4, 5, 4, 2, 0, 1, 2, 4, 3, 2, 1};
  const int n = sizeof(tune) / sizeof(tune[0]);
  for (int i = 0; i < n; ++i) {
    const long long at = (long long)(double(i) * l.Length() / n);
    AddEvent(l, at, PluckEvent(l.rate, Pentatonic(392.0, tune[i]), 1.4), 0.45);
    if (i % 4 == 0) AddEvent(l, at, PluckEvent(l.rate, Pentatonic(98.0, tune[i] % 5), 2.2), 0.35);
  }
  Reverb(l, 0.06, 0.8, 0.4);
  return l;
}

Loop Choir() {  // a wordless choir of formant pads (16000 Hz)
  Loop l(16000, 12);
  const double notes[] = {146.83, 220.0, 293.66, 369.99};
  int k = 0;
  for (double f : notes) {
    for (int h = 1; h <= 12; ++h) {
      // Vowel "ah": strong around 700 Hz and 1100 Hz.
      const double hz = f * h;
      const double formant = std::exp(-std::pow((hz - 700) / 250, 2)) +
                             0.6 * std::exp(-std::pow((hz - 1150) / 300, 2)) + 0.05;
      AddPulsingSine(l, hz, 0.08 * formant, 1 + (k + h) % 3, 0.3, k + h * 0.3);
    }
    ++k;
  }
  Reverb(l, 0.08, 0.85, 0.5);
  return l;
}

Loop DeepPulse() {  // a slow heartbeat of the deep with a shimmer above
  Loop l(22050, 10);
  for (int b = 0; b < 10; ++b) {
    const long long at = (long long)(b * l.Length() / 10.0);
    AddEvent(l, at, PingEvent(l.rate, 55, 0.5), 0.7);
    AddEvent(l, at + l.rate / 4, PingEvent(l.rate, 52, 0.4), 0.45);
  }
  for (double f : {880.0, 1318.5, 1760.0}) AddPulsingSine(l, f, 0.02, 3, 0.9, f);
  Filter(l, FilterKind::LowPass, 2500, 0.7);
  Reverb(l, 0.07, 0.8, 0.35);
  return l;
}

struct Recipe {
  const char* title;
  int bits;
  Loop (*make)();
};

const Recipe kRecipes[kAmbientCount] = {
    {"Bubbler", 16, Bubbler},         {"Deep Drone", 16, DeepDrone},
    {"Soft Pad", 16, SoftPad},        {"Whale Song", 16, WhaleSong},
    {"Rain on Water", 8, RainOnWater}, {"Surf", 8, Surf},
    {"Reef Crackle", 16, ReefCrackle}, {"Sonar", 16, Sonar},
    {"Glass Chimes", 16, GlassChimes}, {"Submarine", 8, Submarine},
    {"Lagoon", 16, Lagoon},           {"Cave Drips", 16, CaveDrips},
    {"Kelp Current", 16, KelpCurrent}, {"Music Box", 16, MusicBox},
    {"Choir", 16, Choir},             {"Deep Pulse", 16, DeepPulse},
};

}  // namespace

AmbientSound RenderAmbient(int index) {
  AmbientSound out;
  if (index < 0 || index >= kAmbientCount) return out;
  const Recipe& r = kRecipes[index];
  out.title = r.title;
  out.bits = r.bits;
  out.loop = r.make();
  Normalise(out.loop, r.bits == 8 ? 0.85 : 0.7);
  return out;
}

std::vector<std::uint8_t> AmbientPcm(const AmbientSound& sound) {
  return sound.bits == 8 ? ToPcm8(sound.loop, 0xD17E2u) : ToPcm16(sound.loop);
}
