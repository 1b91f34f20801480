/* A real-time clock for ALSA's null PCM, preloaded into a 32-bit Wine
 * process (LD_PRELOAD) by tests/support/sound.sh for a paced recording.
 *
 * The null PCM has no clock: it reports its whole buffer free at every
 * moment, so Wine's audio thread writes as fast as its player feeds it and
 * writes silence whenever the player is a moment late. Here the free space
 * is what a device playing at the stream's rate would have: each frame
 * written is played (1 / rate) s after the one before it, and when the
 * writer has let the device run dry it starts again from the next write, as
 * a device does. Wine then writes at the pace of a real device and never
 * waits inside its lock, and silence in the recording means the player let
 * its queue run dry.
 *
 * Only the calls Wine's ALSA driver makes for playback are wrapped; every
 * other call goes straight to the library. No ALSA headers: the few types
 * are declared here. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <time.h>

typedef struct _snd_pcm snd_pcm_t;
typedef struct _snd_pcm_hw_params snd_pcm_hw_params_t;
typedef long snd_pcm_sframes_t;
typedef unsigned long snd_pcm_uframes_t;

enum { kStreams = 8 };

/* One open stream: its rate, the frames written since it was prepared and
 * when the device would have played everything before them. */
struct stream {
  snd_pcm_t *pcm;
  unsigned rate;
  double played_at; /* seconds; 0: nothing written since prepared */
};

static struct stream streams[kStreams];
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;

static double now_seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

/* The library's own function. Wine's driver loads the library privately
 * (dlopen), out of RTLD_NEXT's reach, so it is asked by name. */
static void *next_symbol(const char *name) {
  static void *library;
  if (!library) library = dlopen("libasound.so.2", RTLD_LAZY);
  return library ? dlsym(library, name) : NULL;
}

/* The stream's slot, made when create is set; NULL when none. */
static struct stream *find(snd_pcm_t *pcm, int create) {
  struct stream *free_slot = NULL;
  for (int i = 0; i < kStreams; ++i) {
    if (streams[i].pcm == pcm) return &streams[i];
    if (!streams[i].pcm && !free_slot) free_slot = &streams[i];
  }
  if (create && free_slot) {
    free_slot->pcm = pcm;
    free_slot->rate = 0;
    free_slot->played_at = 0;
  }
  return create ? free_slot : NULL;
}

/* Forgets what was written: after prepare, drop, reset or recovery. */
static void restart(snd_pcm_t *pcm) {
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  if (s) s->played_at = 0;
  pthread_mutex_unlock(&lock);
}

int snd_pcm_hw_params(snd_pcm_t *pcm, snd_pcm_hw_params_t *params) {
  int (*real)(snd_pcm_t *, snd_pcm_hw_params_t *) = next_symbol("snd_pcm_hw_params");
  int (*get_rate)(const snd_pcm_hw_params_t *, unsigned *, int *) =
      next_symbol("snd_pcm_hw_params_get_rate");
  const int result = real(pcm, params);
  unsigned rate = 0;
  if (result < 0 || get_rate(params, &rate, NULL) < 0) return result;
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 1);
  if (s) {
    s->rate = rate;
    s->played_at = 0;
  }
  pthread_mutex_unlock(&lock);
  return result;
}

snd_pcm_sframes_t snd_pcm_writei(snd_pcm_t *pcm, const void *buffer, snd_pcm_uframes_t size) {
  snd_pcm_sframes_t (*real)(snd_pcm_t *, const void *, snd_pcm_uframes_t) =
      next_symbol("snd_pcm_writei");
  const snd_pcm_sframes_t written = real(pcm, buffer, size);
  if (written <= 0) return written;
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  if (s && s->rate) {
    const double now = now_seconds();
    if (s->played_at < now) s->played_at = now; /* ran dry: starts again now */
    s->played_at += (double)written / s->rate;
  }
  pthread_mutex_unlock(&lock);
  return written;
}

snd_pcm_sframes_t snd_pcm_avail_update(snd_pcm_t *pcm) {
  snd_pcm_sframes_t (*real)(snd_pcm_t *) = next_symbol("snd_pcm_avail_update");
  const snd_pcm_sframes_t avail = real(pcm); /* the null PCM: its whole buffer */
  if (avail <= 0) return avail;
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  snd_pcm_sframes_t queued = 0;
  if (s && s->rate) {
    const double ahead = s->played_at - now_seconds();
    if (ahead > 0) queued = (snd_pcm_sframes_t)(ahead * s->rate);
  }
  pthread_mutex_unlock(&lock);
  return queued >= avail ? 0 : avail - queued;
}

#define RESTARTS(name)                                      \
  int name(snd_pcm_t *pcm) {                                \
    int (*real)(snd_pcm_t *) = next_symbol(#name);          \
    restart(pcm);                                           \
    return real(pcm);                                       \
  }
RESTARTS(snd_pcm_prepare)
RESTARTS(snd_pcm_drop)
RESTARTS(snd_pcm_reset)

int snd_pcm_recover(snd_pcm_t *pcm, int error, int silent) {
  int (*real)(snd_pcm_t *, int, int) = next_symbol("snd_pcm_recover");
  restart(pcm);
  return real(pcm, error, silent);
}

int snd_pcm_close(snd_pcm_t *pcm) {
  int (*real)(snd_pcm_t *) = next_symbol("snd_pcm_close");
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  if (s) s->pcm = NULL;
  pthread_mutex_unlock(&lock);
  return real(pcm);
}
