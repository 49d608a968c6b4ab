#include "GifWriter.h"

#include <QHash>

namespace {

constexpr int transparentIndex = 0;
constexpr int maxColors = 255;   // one of the 256 entries is transparency
constexpr int minCodeSize = 8;   // codes for all 256 palette entries
constexpr int clearCode = 1 << minCodeSize;
constexpr int endCode = clearCode + 1;
constexpr int maxCodes = 4096;   // GIF codes are at most 12 bits

bool isOpaque(QRgb pixel)
{
    return qAlpha(pixel) >= 128;
}

// The colour with the lowest `shift` bits of each channel dropped, moved to
// the middle of the range it now stands for.
QRgb reduced(QRgb pixel, int shift)
{
    auto channel = [shift](int v) {
        if (shift == 0)
            return v;
        return qMin(255, ((v >> shift) << shift) + (1 << (shift - 1)));
    };
    return qRgb(channel(qRed(pixel)), channel(qGreen(pixel)), channel(qBlue(pixel)));
}

struct Palette
{
    QVector<QRgb> colors;          // entry i + 1 of the colour table
    QHash<QRgb, int> indexOf;      // reduced colour -> table index
    int shift = 0;
};

// The fewest dropped bits that fit the opaque colours of all frames into
// the table.
Palette buildPalette(const QVector<QImage> &frames)
{
    Palette palette;
    for (palette.shift = 0; palette.shift <= 8; ++palette.shift) {
        palette.colors.clear();
        palette.indexOf.clear();
        for (const QImage &frame : frames) {
            for (int y = 0; y < frame.height(); ++y) {
                const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
                for (int x = 0; x < frame.width() && palette.colors.size() <= maxColors; ++x) {
                    if (!isOpaque(line[x]))
                        continue;
                    const QRgb color = reduced(line[x], palette.shift);
                    if (!palette.indexOf.contains(color)) {
                        palette.colors.append(color);
                        palette.indexOf.insert(color, palette.colors.size());
                    }
                }
            }
        }
        if (palette.colors.size() <= maxColors)
            break;
    }
    return palette;
}

QByteArray indexFrame(const QImage &frame, const Palette &palette)
{
    QByteArray indices;
    indices.reserve(frame.width() * frame.height());
    for (int y = 0; y < frame.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const int index = isOpaque(line[x]) ? palette.indexOf.value(reduced(line[x], palette.shift))
                                                : transparentIndex;
            indices.append(char(index));
        }
    }
    return indices;
}

// Codes go into the stream low bit first.
class BitPacker
{
public:
    void put(int code, int size)
    {
        pending |= quint32(code) << pendingBits;
        pendingBits += size;
        while (pendingBits >= 8) {
            bytes.append(char(pending & 0xff));
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    QByteArray finish()
    {
        if (pendingBits > 0)
            bytes.append(char(pending & 0xff));
        return bytes;
    }

private:
    QByteArray bytes;
    quint32 pending = 0;
    int pendingBits = 0;
};

// Variable-length LZW: the code size grows as the table fills, and a full
// table starts over with a clear code.
QByteArray compress(const QByteArray &indices)
{
    QHash<quint32, int> table;
    int nextCode = endCode + 1;
    int codeSize = minCodeSize + 1;
    BitPacker out;
    out.put(clearCode, codeSize);
    int prefix = uchar(indices.at(0));
    for (int i = 1; i < indices.size(); ++i) {
        const int symbol = uchar(indices.at(i));
        const quint32 key = (quint32(prefix) << 8) | quint32(symbol);
        const auto known = table.constFind(key);
        if (known != table.constEnd()) {
            prefix = *known;
            continue;
        }
        out.put(prefix, codeSize);
        if (nextCode < maxCodes) {
            if (nextCode == (1 << codeSize))
                ++codeSize;
            table.insert(key, nextCode++);
        } else {
            out.put(clearCode, codeSize);
            table.clear();
            nextCode = endCode + 1;
            codeSize = minCodeSize + 1;
        }
        prefix = symbol;
    }
    out.put(prefix, codeSize);
    out.put(endCode, codeSize);
    return out.finish();
}

void appendWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Image data travels in blocks of at most 255 bytes, ended by an empty one.
void appendBlocks(QByteArray &out, const QByteArray &data)
{
    for (int at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
}

void appendHeader(QByteArray &out, QSize size, const Palette &palette)
{
    out.append("GIF89a");
    appendWord(out, size.width());
    appendWord(out, size.height());
    out.append(char(0xf7));   // global table of 256 entries, 8-bit colour resolution
    out.append(char(transparentIndex));   // background
    out.append(char(0));      // square pixels
    for (int i = 0; i < 256; ++i) {
        const QRgb color = (i == transparentIndex || i > palette.colors.size()) ? 0 : palette.colors.at(i - 1);
        out.append(char(qRed(color)));
        out.append(char(qGreen(color)));
        out.append(char(qBlue(color)));
    }
    // Loop for ever.
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
    appendWord(out, 0);
    out.append(char(0));
}

void appendFrame(QByteArray &out, const QByteArray &indices, QSize size, int delayCs)
{
    // Graphic control: clear to transparent before the next frame, so
    // nothing of this one shows through the next one's clear pixels.
    out.append("\x21\xf9\x04\x09", 4);
    appendWord(out, delayCs);
    out.append(char(transparentIndex));
    out.append(char(0));

    out.append(char(0x2c));
    appendWord(out, 0);
    appendWord(out, 0);
    appendWord(out, size.width());
    appendWord(out, size.height());
    out.append(char(0));      // no local table, not interlaced
    out.append(char(minCodeSize));
    appendBlocks(out, compress(indices));
}

} // namespace

QByteArray GifWriter::encode(const QVector<QImage> &frames, int delayMs)
{
    if (frames.isEmpty())
        return {};
    const QSize size = frames.first().size();
    QVector<QImage> argb;
    for (const QImage &frame : frames) {
        if (frame.size() != size || size.isEmpty())
            return {};
        argb.append(frame.convertToFormat(QImage::Format_ARGB32));
    }
    const Palette palette = buildPalette(argb);
    QByteArray out;
    appendHeader(out, size, palette);
    const int delayCs = qRound(delayMs / 10.0);
    for (const QImage &frame : argb)
        appendFrame(out, indexFrame(frame, palette), size, delayCs);
    out.append(char(0x3b));
    return out;
}
