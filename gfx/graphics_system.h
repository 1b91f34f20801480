// GraphicsSystem: the process-wide root of the graphics layer. It records the module and
// the saver window, decides once whether the MMX kernels may run, and keeps the three
// registries every image, palette and clip region enters itself in. Destroying it
// destroys every image and then every clip region still registered, whatever their
// reference counts; palettes go with their last reference.
//
// The constructor makes the new object the current one; objects made while there is
// none are not registered.
#pragma once

#include <cstdint>

#include "port/win32.h"

class DibSurface;
class Display;
struct ListNode;

enum GraphicsRegistry { REGISTRY_IMAGES = 0, REGISTRY_PALETTES = 1, REGISTRY_CLIPS = 2 };

// Init flags.
constexpr std::uint32_t GFX_INIT_NO_MMX = 0x1;  // never select the MMX kernels

class GraphicsSystem {
 public:
  GraphicsSystem();
  GraphicsSystem(const GraphicsSystem&) = delete;
  GraphicsSystem& operator=(const GraphicsSystem&) = delete;

  // 0
  virtual ~GraphicsSystem();
  // 1: stores module and window; GFX_INIT_NO_MMX clears the MMX flag, else the processor
  // test sets it. Always 0.
  virtual std::int32_t Init(HINSTANCE module, HWND window, std::uint32_t flags,
                            std::uint32_t reserved);
  // 2
  virtual std::int32_t ReservedOp();
  // 3, 4: target only; null when memory is short (and always on the host).
  virtual DibSurface* NewDibSurface();
  virtual Display* NewDisplay();

  static GraphicsSystem* Current() { return current_; }
  // The MMX flag of the current system; false without one.
  static bool MmxEnabled() { return current_ && current_->mmx_; }
  // CPUID function 1, EDX bit 23; false where CPUID is unavailable or on other processors.
  static bool ProcessorHasMmx();

  HINSTANCE Module() const { return module_; }
  HWND Window() const { return window_; }
  bool Mmx() const { return mmx_; }

  // Registration: Enter gives the object's entry, or null when no system exists; Leave
  // unlinks an entry (null is ignored).
  static ListNode* Enter(GraphicsRegistry registry, void* object);
  static void Leave(GraphicsRegistry registry, ListNode* entry);
  static std::uint32_t RegisteredCount(GraphicsRegistry registry);

 private:
  static GraphicsSystem* current_;

  HINSTANCE module_ = nullptr;
  HWND window_ = nullptr;
  bool mmx_ = false;
};
