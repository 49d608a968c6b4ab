#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

// Qt reads GIF but cannot write it, so the one animation the program ships
// is written here. GIF keeps one bit of transparency and at most 256
// colours: pixels below half opacity become transparent, and the colours
// lose low bits until the frames share 255 of them.
namespace GifWriter {

// A looping GIF89a animation of frames of one size, each shown delayMs
// (kept in hundredths of a second). An empty result for no frames or
// frames of different sizes.
QByteArray encode(const QVector<QImage> &frames, int delayMs);

} // namespace GifWriter
