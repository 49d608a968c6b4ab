#include "CipherCodec.h"
// Implementation arrives with the codec.
