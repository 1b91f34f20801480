#include "gfx/graphics_system.h"

#include "gfx/clip_region.h"
#include "gfx/image.h"
#include "gfx/list.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#ifdef _WIN32
#include <new>

#include "gfx/dib_surface.h"
#include "gfx/display.h"
#endif

GraphicsSystem* GraphicsSystem::current_ = nullptr;

namespace {

// The three registries live for the whole process. Their nodes are freed once at exit;
// an object that outlives them (destroyed by another static destructor) finds them gone
// and leaves its entry alone.
bool registriesAlive = false;  // trivially destructible: still readable after exit

struct Registries {
  List lists[3];
  Registries() { registriesAlive = true; }
  ~Registries() {
    for (List& list : lists) list.Clear();
    registriesAlive = false;
  }
};

Registries& TheRegistries() {
  static Registries registries;
  return registries;
}

}  // namespace

GraphicsSystem::GraphicsSystem() {
  TheRegistries();  // constructed before any object registers, so destroyed after them
  mmx_ = ProcessorHasMmx();
  current_ = this;
}

GraphicsSystem::~GraphicsSystem() {
  List& images = TheRegistries().lists[REGISTRY_IMAGES];
  while (ListNode* first = images.First()) {
    auto* image = static_cast<Image*>(first->data);
    delete image;  // its destructor unlinks the entry
  }
  List& clips = TheRegistries().lists[REGISTRY_CLIPS];
  while (ListNode* first = clips.First()) {
    auto* clip = static_cast<ClipRegion*>(first->data);
    delete clip;
  }
  if (current_ == this) current_ = nullptr;
}

std::int32_t GraphicsSystem::Init(HINSTANCE module, HWND window, std::uint32_t flags,
                                  std::uint32_t) {
  module_ = module;
  window_ = window;
  mmx_ = (flags & GFX_INIT_NO_MMX) ? false : ProcessorHasMmx();
  return 0;
}

std::int32_t GraphicsSystem::ReservedOp() { return 0; }

#ifdef _WIN32
DibSurface* GraphicsSystem::NewDibSurface() { return new (std::nothrow) DibSurface; }
Display* GraphicsSystem::NewDisplay() { return new (std::nothrow) Display; }
#else
DibSurface* GraphicsSystem::NewDibSurface() { return nullptr; }
Display* GraphicsSystem::NewDisplay() { return nullptr; }
#endif

// __get_cpuid checks that the processor has CPUID (the ID flag of EFLAGS on 32-bit
// processors) before executing it, so no illegal-instruction fault can arise.
bool GraphicsSystem::ProcessorHasMmx() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return (edx & (1u << 23)) != 0;
#else
  return false;
#endif
}

ListNode* GraphicsSystem::Enter(GraphicsRegistry registry, void* object) {
  if (!current_) return nullptr;
  return TheRegistries().lists[registry].PushBack(object);
}

void GraphicsSystem::Leave(GraphicsRegistry registry, ListNode* entry) {
  if (entry && registriesAlive) TheRegistries().lists[registry].Remove(entry);
}

std::uint32_t GraphicsSystem::RegisteredCount(GraphicsRegistry registry) {
  return registriesAlive ? TheRegistries().lists[registry].Count() : 0;
}
