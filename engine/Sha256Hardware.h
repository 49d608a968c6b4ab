#pragma once

// The SHA-256 compression on the processor's SHA extensions, behind
// Sha256.cpp.

#include <cstdint>

// One compression of a 64-byte block into state, with the 64 round
// constants k of the standard.
using Sha256HardwareTransform = void (*)(uint32_t state[8], const uint8_t block[64], const uint32_t k[64]);

// The code, or null when the engine was built without it (another processor
// family). Call it only on a processor that reports SHA and SSE4.1.
Sha256HardwareTransform sha256HardwareTransform();
