#pragma once

// Every bank of the program is keyed with this phrase; connections pass it as
// their password and the driver keys them with it.
inline constexpr char builtinPassphrase[] = "qeb5184##lum%720-xen.wryph!";
inline constexpr int builtinPassphraseLength = int(sizeof(builtinPassphrase)) - 1;
static_assert(builtinPassphraseLength == 27, "the phrase is 27 bytes");
