#pragma once

// Runs the rest of a benchmark on one code path of the cipher primitives and
// returns to the default after it: the benchmarks report the portable code
// (AES tables, SHA-256 in C++) and the processor's AES and SHA instructions
// side by side.

#include "Aes.h"
#include "Sha256.h"

#include <benchmark/benchmark.h>

class CipherPath
{
public:
    // usable is false (and the run marked skipped) when the processor has
    // no AES instructions; SHA-256 uses its instructions where present.
    CipherPath(benchmark::State &state, bool hardware) : usable(!hardware || aesHardwareAvailable())
    {
        if (!usable)
            state.SkipWithError("no AES instructions on this processor");
        aesForceTables(!hardware);
        sha256ForcePortable(!hardware);
    }
    ~CipherPath()
    {
        aesForceTables(false);
        sha256ForcePortable(false);
    }
    CipherPath(const CipherPath &) = delete;
    CipherPath &operator=(const CipherPath &) = delete;

    const bool usable;
};
