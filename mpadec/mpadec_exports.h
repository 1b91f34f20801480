// The seven functions of a loaded mpadec.dll, found by name: the one
// declaration of the library's interface for its callers (MpegStream, the
// library's tests and the fuzz loop). Target only.
#pragma once

#include <windows.h>

#include "mpadec/mpadec.h"

struct MpadecExports {
  decltype(&MPADecodeOpen) open = nullptr;
  decltype(&MPADecodeRead) read = nullptr;
  decltype(&MPADecodeSeek) seek = nullptr;
  decltype(&MPADecodeEof) eof = nullptr;
  decltype(&MPADecodeClose) close = nullptr;
  decltype(&MPADecodeGetUncompressedSize) size = nullptr;
  decltype(&MPADecodeGetInfo) info = nullptr;

  // True when all seven were found; the ones not found stay null.
  bool Find(HMODULE module) {
    Take(module, "MPADecodeOpen", &open);
    Take(module, "MPADecodeRead", &read);
    Take(module, "MPADecodeSeek", &seek);
    Take(module, "MPADecodeEof", &eof);
    Take(module, "MPADecodeClose", &close);
    Take(module, "MPADecodeGetUncompressedSize", &size);
    Take(module, "MPADecodeGetInfo", &info);
    return open && read && seek && eof && close && size && info;
  }

 private:
  template <class F>
  static void Take(HMODULE module, const char* name, F* out) {
    *out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};
