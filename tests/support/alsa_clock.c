/* A real-time clock for ALSA's null PCM, preloaded into a 32-bit Wine
 * process (LD_PRELOAD) by tests/support/sound.sh for a paced recording.
 *
 * The null PCM has no clock: once running it reports its whole buffer free
 * at every moment, so Wine's audio thread writes as fast as its player feeds
 * it and writes silence whenever the player is a moment late. Here the free
 * space is what a device playing at the stream's rate would have: each frame
 * written is played 1/rate s after the one before it, and when the writer
 * has let the device run dry, playing starts again at its next write, as on
 * a device. Wine then writes at the pace of a real device without ever
 * waiting, and silence in the recording means the player let its queue run
 * dry.
 *
 * Only the calls Wine's ALSA driver makes for playback are wrapped, and only
 * the outermost of them (the library's plugins call the same functions on
 * their slaves); everything else goes straight to the library. No ALSA
 * headers: the few types are declared here. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <time.h>

typedef struct _snd_pcm snd_pcm_t;
typedef struct _snd_pcm_hw_params snd_pcm_hw_params_t;
typedef long snd_pcm_sframes_t;
typedef unsigned long snd_pcm_uframes_t;

enum { kStreams = 8 };

/* One configured stream: its rate and buffer, and when the device would
 * have played everything written (0: nothing since it was prepared). */
struct stream {
  snd_pcm_t *pcm;
  unsigned rate;
  snd_pcm_uframes_t buffer;
  double played_at;
};

static struct stream streams[kStreams];
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
/* Calls of this thread inside a wrapped one: only the outermost counts. */
static __thread int depth;

static double now_seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

/* The library's own function. Wine's driver loads the library privately
 * (dlopen), out of RTLD_NEXT's reach, so it is asked by name. */
static void *real_symbol(const char *name) {
  static void *library;
  if (!library) library = dlopen("libasound.so.2", RTLD_LAZY);
  return library ? dlsym(library, name) : NULL;
}

/* The stream's slot (made when create is set); NULL when none. Under lock. */
static struct stream *find(snd_pcm_t *pcm, int create) {
  struct stream *free_slot = NULL;
  for (int i = 0; i < kStreams; ++i) {
    if (streams[i].pcm == pcm) return &streams[i];
    if (!streams[i].pcm && !free_slot) free_slot = &streams[i];
  }
  if (!create || !free_slot) return NULL;
  free_slot->pcm = pcm;
  return free_slot;
}

/* Forgets what was written (prepare, drop, reset, recovery); with forget
 * set, the stream itself (close). */
static void restart(snd_pcm_t *pcm, int forget) {
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  if (s) {
    s->played_at = 0;
    if (forget) s->pcm = NULL;
  }
  pthread_mutex_unlock(&lock);
}

int snd_pcm_hw_params(snd_pcm_t *pcm, snd_pcm_hw_params_t *params) {
  int (*real)(snd_pcm_t *, snd_pcm_hw_params_t *) = real_symbol("snd_pcm_hw_params");
  int (*get_rate)(const snd_pcm_hw_params_t *, unsigned *, int *) =
      real_symbol("snd_pcm_hw_params_get_rate");
  int (*get_buffer)(const snd_pcm_hw_params_t *, snd_pcm_uframes_t *) =
      real_symbol("snd_pcm_hw_params_get_buffer_size");
  ++depth;
  const int result = real(pcm, params);
  --depth;
  unsigned rate = 0;
  snd_pcm_uframes_t buffer = 0;
  if (depth || result < 0 || get_rate(params, &rate, NULL) < 0 || get_buffer(params, &buffer) < 0)
    return result;
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 1);
  if (s) {
    s->rate = rate;
    s->buffer = buffer;
    s->played_at = 0;
  }
  pthread_mutex_unlock(&lock);
  return result;
}

snd_pcm_sframes_t snd_pcm_writei(snd_pcm_t *pcm, const void *buffer, snd_pcm_uframes_t size) {
  snd_pcm_sframes_t (*real)(snd_pcm_t *, const void *, snd_pcm_uframes_t) =
      real_symbol("snd_pcm_writei");
  ++depth;
  const snd_pcm_sframes_t written = real(pcm, buffer, size);
  --depth;
  if (depth || written <= 0) return written;
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  if (s && s->rate) {
    const double now = now_seconds();
    if (s->played_at < now) s->played_at = now; /* ran dry: plays from now */
    s->played_at += (double)written / s->rate;
  }
  pthread_mutex_unlock(&lock);
  return written;
}

snd_pcm_sframes_t snd_pcm_avail_update(snd_pcm_t *pcm) {
  snd_pcm_sframes_t (*real)(snd_pcm_t *) = real_symbol("snd_pcm_avail_update");
  ++depth;
  const snd_pcm_sframes_t avail = real(pcm);
  --depth;
  if (depth || avail < 0) return avail;
  pthread_mutex_lock(&lock);
  struct stream *s = find(pcm, 0);
  snd_pcm_sframes_t clocked = avail;
  if (s && s->rate) {
    const double ahead = s->played_at - now_seconds();
    const snd_pcm_sframes_t queued = ahead > 0 ? (snd_pcm_sframes_t)(ahead * s->rate) : 0;
    clocked = queued >= (snd_pcm_sframes_t)s->buffer ? 0 : (snd_pcm_sframes_t)s->buffer - queued;
  }
  pthread_mutex_unlock(&lock);
  return clocked < avail ? clocked : avail;
}

/* Calls that end what was playing: the clock starts again after them. */
#define RESTARTS(name, forget)                     \
  int name(snd_pcm_t *pcm) {                       \
    int (*real)(snd_pcm_t *) = real_symbol(#name); \
    if (!depth) restart(pcm, forget);              \
    ++depth;                                       \
    const int result = real(pcm);                  \
    --depth;                                       \
    return result;                                 \
  }
RESTARTS(snd_pcm_prepare, 0)
RESTARTS(snd_pcm_drop, 0)
RESTARTS(snd_pcm_reset, 0)
RESTARTS(snd_pcm_close, 1)

int snd_pcm_recover(snd_pcm_t *pcm, int error, int silent) {
  int (*real)(snd_pcm_t *, int, int) = real_symbol("snd_pcm_recover");
  if (!depth) restart(pcm, 0);
  ++depth;
  const int result = real(pcm, error, silent);
  --depth;
  return result;
}
