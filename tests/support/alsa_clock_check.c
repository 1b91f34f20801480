/* Checks alsa_clock.c through the real ALSA library: a null PCM, with the
 * clock preloaded, reports the free space of a device that plays in real
 * time. Bounds come from the time measured around each step, so a slow or
 * busy machine makes them wider, never wrong.
 *
 *   LD_PRELOAD=alsa_clock.so alsa_clock_check   -> "ok N checks", exit 0
 *
 * Prints "FAIL what: got, want LOW..HIGH" and exits 1 on a failed check. */
#include <stdio.h>
#include <string.h>
#include <time.h>

typedef struct _snd_pcm snd_pcm_t;
typedef long snd_pcm_sframes_t;
typedef unsigned long snd_pcm_uframes_t;

int snd_pcm_open(snd_pcm_t **pcm, const char *name, int stream, int mode);
int snd_pcm_set_params(snd_pcm_t *pcm, int format, int access, unsigned channels, unsigned rate,
                       int soft_resample, unsigned latency_us);
int snd_pcm_get_params(snd_pcm_t *pcm, snd_pcm_uframes_t *buffer, snd_pcm_uframes_t *period);
snd_pcm_sframes_t snd_pcm_writei(snd_pcm_t *pcm, const void *buffer, snd_pcm_uframes_t size);
snd_pcm_sframes_t snd_pcm_avail_update(snd_pcm_t *pcm);
int snd_pcm_prepare(snd_pcm_t *pcm);
int snd_pcm_start(snd_pcm_t *pcm);
int snd_pcm_drop(snd_pcm_t *pcm);
int snd_pcm_close(snd_pcm_t *pcm);

enum { kPlayback = 0, kU8 = 1, kInterleaved = 3, kRate = 22050 };

static int checks, failures;

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

static void expect_range(const char *what, long got, long low, long high) {
  ++checks;
  if (got >= low && got <= high) return;
  ++failures;
  printf("FAIL %s: got %ld, want %ld..%ld\n", what, got, low, high);
}

static void sleep_seconds(double s) {
  struct timespec t = {(time_t)s, (long)((s - (time_t)s) * 1e9)};
  nanosleep(&t, NULL);
}

/* Writes frames of silence; the free space just after, and in *elapsed the
 * seconds from just before the write until then. */
static long write_then_avail(snd_pcm_t *pcm, long frames, double *elapsed) {
  static unsigned char silence[1 << 16];
  memset(silence, 0x80, sizeof silence);
  const double start = now();
  long left = frames;
  while (left > 0) {
    const long n = left < (long)sizeof silence ? left : (long)sizeof silence;
    if (snd_pcm_writei(pcm, silence, n) != n) return -1;
    left -= n;
  }
  const long avail = snd_pcm_avail_update(pcm);
  *elapsed = now() - start;
  return avail;
}

int main(void) {
  snd_pcm_t *pcm;
  snd_pcm_uframes_t buffer = 0, period = 0;
  if (snd_pcm_open(&pcm, "null", kPlayback, 0) < 0 ||
      snd_pcm_set_params(pcm, kU8, kInterleaved, 1, kRate, 0, 400000) < 0 ||
      snd_pcm_get_params(pcm, &buffer, &period) < 0 || snd_pcm_prepare(pcm) < 0) {
    printf("FAIL no null PCM at %d Hz\n", kRate);
    return 1;
  }
  const long size = (long)buffer;
  double elapsed;
  expect_range("free space when prepared", snd_pcm_avail_update(pcm), size, size);
  // Running, the null PCM alone would report its whole buffer free from now on.
  snd_pcm_start(pcm);

  // Half the buffer written: half of it free, plus what played meanwhile.
  long avail = write_then_avail(pcm, size / 2, &elapsed);
  expect_range("free space after half a buffer", avail, size - size / 2,
               size - size / 2 + (long)(elapsed * kRate) + 1);

  // Played out in real time: after it, the whole buffer is free again.
  sleep_seconds((double)size / kRate + 0.05);
  expect_range("free space once played", snd_pcm_avail_update(pcm), size, size);

  // Having run dry, the device plays from the next write on, not earlier.
  avail = write_then_avail(pcm, size, &elapsed);
  expect_range("free space after a full buffer, once dry", avail, 0, (long)(elapsed * kRate) + 1);

  // Some time later, exactly what played in that time is free.
  const double before = now();
  sleep_seconds(0.1);
  avail = snd_pcm_avail_update(pcm);
  const double after = now();
  const long low = (long)((after - before) * kRate) - 1;
  const long high = (long)((after - before + elapsed + 0.002) * kRate) + 1;
  expect_range("free space 0.1 s on", avail, low < size ? low : size, high < size ? high : size);

  // Dropped: nothing is queued any more.
  snd_pcm_drop(pcm);
  snd_pcm_prepare(pcm);
  snd_pcm_start(pcm);
  expect_range("free space after a drop", snd_pcm_avail_update(pcm), size, size);

  snd_pcm_close(pcm);
  if (failures) return 1;
  printf("ok %d checks (buffer %ld frames)\n", checks, size);
  return 0;
}
