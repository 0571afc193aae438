// The platform's local heap: fixed blocks addressed by their HLOCAL, which is also a pointer to
// the block's bytes.
#pragma once

#include "platform/win32_types.h"

inline constexpr UINT LMEM_FIXED = 0x0000;
inline constexpr UINT LMEM_ZEROINIT = 0x0040;
inline constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// A fixed block of `bytes` bytes, zero-filled with LMEM_ZEROINIT. Other flags (movable blocks)
// are refused with NULL, as is a request beyond 256 MiB.
HLOCAL LocalAlloc(UINT flags, UINT bytes);

// Frees a block from LocalAlloc. Returns NULL on success, and `block` itself when it is not a
// live block (already freed, or never allocated here), which is left untouched. LocalFree(NULL)
// does nothing and returns NULL.
HLOCAL LocalFree(HLOCAL block);
