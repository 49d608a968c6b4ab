#pragma once

#include <QString>

// A skin colour is the text "r,g,b,a" (four decimal numbers 0 to 255) that
// style sheets take as rgb(%1).

// The colour of a fresh installation, and the stand-in for a malformed text.
inline constexpr char defaultSkinColor[] = "80,153,2,255";
// Folder of the skin images: folder + name + "_d.jpg", "_b.jpg", "_in.png", "_out.png".
inline constexpr char skinFolder[] = ":/Skin/images/Skin/";

// The colour under the mouse: red and green raised by 20, at most 255; blue
// and alpha as they stand. A text with fewer than four parts gives the
// default skin's hover colour.
QString skinHoverColor(const QString &skinColor);

// The skinned push button of the dialogs: the colour, and its hover colour
// under the mouse; a malformed colour gives the default skin.
QString skinButtonStyle(const QString &skinColor);
