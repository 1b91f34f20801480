#include "assets/sound/synth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.28318530717958647692;

struct Biquad {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  void Set(FilterKind kind, double hz, double q, double gainDb, int rate) {
    const double w = kTwoPi * std::clamp(hz, 5.0, rate * 0.45) / rate;
    const double cw = std::cos(w), sw = std::sin(w);
    const double alpha = sw / (2 * std::max(0.05, q));
    const double A = std::pow(10.0, gainDb / 40);
    double a0 = 1;
    switch (kind) {
      case FilterKind::LowPass:
        b0 = (1 - cw) / 2, b1 = 1 - cw, b2 = (1 - cw) / 2;
        a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
      case FilterKind::HighPass:
        b0 = (1 + cw) / 2, b1 = -(1 + cw), b2 = (1 + cw) / 2;
        a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
      case FilterKind::BandPass:
        b0 = alpha, b1 = 0, b2 = -alpha;
        a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
      case FilterKind::Peak:
        b0 = 1 + alpha * A, b1 = -2 * cw, b2 = 1 - alpha * A;
        a0 = 1 + alpha / A, a1 = -2 * cw, a2 = 1 - alpha / A;
        break;
    }
    b0 /= a0, b1 /= a0, b2 /= a0, a1 /= a0, a2 /= a0;
  }
  double Run(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

// Runs `step` over the loop `passes` times, keeping the last pass: a process
// with fading memory then starts the loop in the state it ends it in.
template <typename Step>
void RoundTheLoop(Loop& loop, int passes, Step step) {
  const std::vector<float> in = loop.samples;
  const int n = loop.Length();
  for (int p = 0; p < passes; ++p) {
    for (int i = 0; i < n; ++i) {
      const float y = float(step(i, in[i]));
      if (p == passes - 1) loop.samples[i] = y;
    }
  }
}

struct Comb {
  std::vector<double> buf;
  std::size_t pos = 0;
  double feedback, damp, store = 0;
  Comb(int len, double fb, double d) : buf(std::max(1, len), 0.0), feedback(fb), damp(d) {}
  double Run(double x) {
    const double y = buf[pos];
    store = y * (1 - damp) + store * damp;
    buf[pos] = x + store * feedback;
    pos = (pos + 1) % buf.size();
    return y;
  }
};

struct AllPass {
  std::vector<double> buf;
  std::size_t pos = 0;
  double g;
  AllPass(int len, double gain) : buf(std::max(1, len), 0.0), g(gain) {}
  double Run(double x) {
    const double b = buf[pos];
    const double y = -x + b;
    buf[pos] = x + b * g;
    pos = (pos + 1) % buf.size();
    return y;
  }
};

}  // namespace

Loop::Loop(int sampleRate, double seconds)
    : rate(sampleRate), samples(std::size_t(std::max(1.0, std::round(sampleRate * seconds))), 0) {}

float& Loop::At(long long i) {
  const long long n = Length();
  return samples[std::size_t(((i % n) + n) % n)];
}

float Noise::White() { return float(Uniform() * 2 - 1); }

double Noise::Uniform() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 7;
  state_ ^= state_ << 17;
  return double(state_ >> 11) * (1.0 / 9007199254740992.0);
}

double LoopFrequency(const Loop& loop, double hz) {
  const double cycles = std::max(1.0, std::round(hz * loop.Length() / loop.rate));
  return cycles * loop.rate / loop.Length();
}

void AddSine(Loop& loop, double hz, double amp, double phase) {
  const double f = LoopFrequency(loop, hz);
  const int n = loop.Length();
  const double cycles = f * n / loop.rate;
  for (int i = 0; i < n; ++i) {
    loop.samples[i] += float(amp * std::sin(kTwoPi * cycles * i / n + phase));
  }
}

void AddPulsingSine(Loop& loop, double hz, double amp, int cycles, double depth, double phase) {
  const double f = LoopFrequency(loop, hz);
  const int n = loop.Length();
  const double c = f * n / loop.rate;
  for (int i = 0; i < n; ++i) {
    const double env = 1 - depth + depth * (0.5 + 0.5 * std::sin(kTwoPi * cycles * i / n + phase));
    loop.samples[i] += float(amp * env * std::sin(kTwoPi * c * i / n));
  }
}

void AddNoise(Loop& loop, double amp, std::uint64_t seed) {
  Noise noise(seed);
  for (float& s : loop.samples) s += float(amp * noise.White());
}

void Filter(Loop& loop, FilterKind kind, double hz, double q, double gainDb) {
  Biquad f;
  f.Set(kind, hz, q, gainDb, loop.rate);
  RoundTheLoop(loop, 2, [&](int, float x) { return f.Run(x); });
}

void SweptFilter(Loop& loop, FilterKind kind, double lo, double hi, int cycles, double q) {
  Biquad f;
  const int n = loop.Length();
  RoundTheLoop(loop, 2, [&](int i, float x) {
    if (i % 32 == 0) {
      const double u = 0.5 + 0.5 * std::sin(kTwoPi * cycles * i / n);
      f.Set(kind, lo * std::pow(hi / lo, u), q, 0, loop.rate);
    }
    return f.Run(x);
  });
}

void Tremolo(Loop& loop, int cycles, double depth, double phase) {
  const int n = loop.Length();
  for (int i = 0; i < n; ++i) {
    const double g = 1 - depth + depth * (0.5 + 0.5 * std::sin(kTwoPi * cycles * i / n + phase));
    loop.samples[i] *= float(g);
  }
}

void Swell(Loop& loop, int knots, double depth, std::uint64_t seed) {
  Noise noise(seed);
  std::vector<double> k(std::size_t(std::max(2, knots)));
  for (double& v : k) v = noise.Uniform();
  const int n = loop.Length();
  const int m = int(k.size());
  for (int i = 0; i < n; ++i) {
    const double p = double(i) * m / n;
    const int a = int(p) % m, b = (a + 1) % m;
    const double t = p - std::floor(p);
    const double e = t * t * (3 - 2 * t);
    const double v = k[a] + (k[b] - k[a]) * e;
    loop.samples[i] *= float(1 - depth + depth * v);
  }
}

void Reverb(Loop& loop, double roomSeconds, double decay, double wet) {
  const int r = loop.rate;
  const double base = roomSeconds * r;
  std::vector<Comb> combs;
  for (double k : {1.0, 1.117, 1.213, 1.319}) {
    combs.emplace_back(int(base * k), decay, 0.3);
  }
  AllPass ap1(int(0.0051 * r), 0.6), ap2(int(0.0017 * r), 0.6);
  RoundTheLoop(loop, 3, [&](int, float x) {
    double s = 0;
    for (Comb& c : combs) s += c.Run(x);
    s = ap2.Run(ap1.Run(s * 0.25));
    return x * (1 - wet * 0.5) + s * wet;
  });
}

void Echo(Loop& loop, double delaySeconds, double feedback, double wet) {
  std::vector<double> buf(std::size_t(std::max(1.0, delaySeconds * loop.rate)), 0.0);
  std::size_t pos = 0;
  RoundTheLoop(loop, 4, [&](int, float x) {
    const double d = buf[pos];
    buf[pos] = x + d * feedback;
    pos = (pos + 1) % buf.size();
    return x + d * wet;
  });
}

void AddEvent(Loop& loop, long long start, const EventShape& event, double gain) {
  for (std::size_t i = 0; i < event.size(); ++i) {
    loop.At(start + static_cast<long long>(i)) += float(event[i] * gain);
  }
}

EventShape BubbleEvent(int rate, double hz, double seconds) {
  EventShape e(std::size_t(rate * seconds));
  double phase = 0;
  for (std::size_t i = 0; i < e.size(); ++i) {
    const double t = double(i) / rate;
    const double f = hz * (1 + 2.5 * t / seconds);
    phase += kTwoPi * f / rate;
    const double env = std::exp(-t / (seconds * 0.25)) * std::min(1.0, t * 2000);
    e[i] = float(env * std::sin(phase));
  }
  return e;
}

EventShape BellEvent(int rate, double hz, double seconds) {
  EventShape e(std::size_t(rate * seconds));
  const double partials[][3] = {{1.0, 1.0, 1.0},  {2.76, 0.5, 0.6}, {5.4, 0.25, 0.35},
                                {8.93, 0.12, 0.2}, {0.5, 0.3, 1.4}};
  for (std::size_t i = 0; i < e.size(); ++i) {
    const double t = double(i) / rate;
    double s = 0;
    for (const auto& p : partials) {
      if (hz * p[0] > rate * 0.45) continue;
      s += p[1] * std::exp(-t / (seconds * 0.3 * p[2])) * std::sin(kTwoPi * hz * p[0] * t);
    }
    e[i] = float(s * std::min(1.0, t * 1500) * 0.5);
  }
  return e;
}

EventShape PluckEvent(int rate, double hz, double seconds) {
  EventShape e(std::size_t(rate * seconds));
  for (std::size_t i = 0; i < e.size(); ++i) {
    const double t = double(i) / rate;
    double s = 0;
    for (int h = 1; h <= 8; ++h) {
      if (hz * h > rate * 0.45) break;
      s += std::exp(-t * (1.5 + 1.2 * h) / seconds) / h * std::sin(kTwoPi * hz * h * t);
    }
    e[i] = float(s * std::min(1.0, t * 800) * 0.6);
  }
  return e;
}

EventShape DropEvent(int rate, double hz, double seconds, std::uint64_t seed) {
  EventShape e(std::size_t(rate * seconds));
  Noise noise(seed);
  double phase = 0;
  for (std::size_t i = 0; i < e.size(); ++i) {
    const double t = double(i) / rate;
    const double f = hz * (1.6 - 0.6 * std::min(1.0, t / (seconds * 0.3)));
    phase += kTwoPi * f / rate;
    const double env = std::exp(-t / (seconds * 0.18));
    const double click = i < 40 ? noise.White() * (1 - i / 40.0) * 0.5 : 0;
    e[i] = float(env * std::sin(phase) + click);
  }
  return e;
}

EventShape CallEvent(int rate, double hz0, double hz1, double seconds, double vibrato) {
  EventShape e(std::size_t(rate * seconds));
  double phase = 0;
  for (std::size_t i = 0; i < e.size(); ++i) {
    const double t = double(i) / rate, u = t / seconds;
    const double glide = hz0 * std::pow(hz1 / hz0, u * u * (3 - 2 * u));
    const double f = glide * (1 + vibrato * std::sin(kTwoPi * 5.5 * t));
    phase += kTwoPi * f / rate;
    const double env = std::sin(3.14159265 * u) * std::sin(3.14159265 * u);
    // A little second and third harmonic give the call a voice.
    e[i] = float(env * (std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase)));
  }
  return e;
}

EventShape ClickEvent(int rate, double brightness, std::uint64_t seed) {
  Noise noise(seed);
  const int n = std::max(8, int(rate * 0.004));
  EventShape e(static_cast<std::size_t>(n));
  double lp = 0;
  for (int i = 0; i < n; ++i) {
    const double x = noise.White() * std::exp(-i * 6.0 / n);
    lp += (x - lp) * (0.1 + 0.9 * brightness);
    e[std::size_t(i)] = float(lp);
  }
  return e;
}

EventShape PingEvent(int rate, double hz, double seconds) {
  EventShape e(std::size_t(rate * seconds));
  for (std::size_t i = 0; i < e.size(); ++i) {
    const double t = double(i) / rate;
    const double env = std::exp(-t / (seconds * 0.3)) * std::min(1.0, t * 400);
    e[i] = float(env * (std::sin(kTwoPi * hz * t) + 0.2 * std::sin(kTwoPi * hz * 2.01 * t)));
  }
  return e;
}

void Normalise(Loop& loop, double peak) {
  double mean = 0;
  for (float s : loop.samples) mean += s;
  mean /= std::max(1, loop.Length());
  double mx = 1e-9;
  for (float& s : loop.samples) {
    s = float(s - mean);
    mx = std::max(mx, double(std::fabs(s)));
  }
  const double k = peak / mx;
  for (float& s : loop.samples) s = float(s * k);
}

std::vector<std::uint8_t> ToPcm16(const Loop& loop) {
  std::vector<std::uint8_t> out;
  out.reserve(loop.samples.size() * 2);
  for (float s : loop.samples) {
    const long v = std::lround(std::clamp(double(s), -1.0, 1.0) * 32767);
    const auto u = std::uint16_t(std::int16_t(v));
    out.push_back(std::uint8_t(u & 0xFF));
    out.push_back(std::uint8_t(u >> 8));
  }
  return out;
}

std::vector<std::uint8_t> ToPcm8(const Loop& loop, std::uint64_t ditherSeed) {
  Noise noise(ditherSeed);
  std::vector<std::uint8_t> out;
  out.reserve(loop.samples.size());
  for (float s : loop.samples) {
    // Triangular dither of one step keeps quiet passages from buzzing.
    const double d = (noise.Uniform() - noise.Uniform());
    const long v = std::lround(std::clamp(double(s) * 127 + d, -128.0, 127.0));
    out.push_back(std::uint8_t(v + 128));
  }
  return out;
}
