#pragma once

// MD5 (RFC 1321): the codec hashes 16 bytes per page for its IV.

#include <cstddef>
#include <cstdint>

struct Md5Context
{
    uint32_t state[4];
    uint64_t byteCount;
    uint8_t buffer[64];
};

void md5Init(Md5Context *context);
void md5Update(Md5Context *context, const uint8_t *data, size_t length);
void md5Final(Md5Context *context, uint8_t out[16]);
// One compression of a 64-byte block; words are loaded little-endian on
// every processor.
void md5Transform(uint32_t state[4], const uint8_t block[64]);

// The 16-byte digest of length bytes.
void md5Digest(const void *data, size_t length, uint8_t out[16]);
