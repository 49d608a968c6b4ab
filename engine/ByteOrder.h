#pragma once

// 32-bit word loads and stores in a fixed byte order, the same on every
// processor: the hashes, the cipher and the journal words all depend on it.

#include <cstdint>

inline uint32_t load32be(const void *p)
{
    const auto *b = static_cast<const uint8_t *>(p);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}

inline void store32be(void *p, uint32_t v)
{
    auto *b = static_cast<uint8_t *>(p);
    b[0] = uint8_t(v >> 24);
    b[1] = uint8_t(v >> 16);
    b[2] = uint8_t(v >> 8);
    b[3] = uint8_t(v);
}

inline uint32_t load32le(const void *p)
{
    const auto *b = static_cast<const uint8_t *>(p);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

inline void store32le(void *p, uint32_t v)
{
    auto *b = static_cast<uint8_t *>(p);
    b[0] = uint8_t(v);
    b[1] = uint8_t(v >> 8);
    b[2] = uint8_t(v >> 16);
    b[3] = uint8_t(v >> 24);
}
