// Linked into a test, runs all of its AES and SHA-256 work on the portable
// code, as on a processor without AES or SHA instructions.
#include "CipherTestKit.h"

namespace {

struct PortableCodeForced
{
    PortableCodeForced() { ciphertest::forcePortableCode(true); }
} portableCodeForced;

} // namespace
