// The mark of a function that is entered from portable code and runs SSE2 code.
#pragma once

// SSE2 entry points realign the stack: 32-bit Windows guarantees only 4 bytes.
#if defined(__i386__) && defined(__GNUC__)
#define TW_SIMD_ENTRY __attribute__((force_align_arg_pointer))
#else
#define TW_SIMD_ENTRY
#endif
