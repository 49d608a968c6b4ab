#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <optional>

// One row of the image table: where the image is compiled in and how to draw it.
class ImageSpec
{
public:
    enum class Shape {
        Rect, Round, Circle, Frame, Callout, Glyph, InfoBox, ArrowUp, ArrowDown, Spinner, Arrow, Swatch, Ring,
        // The caption as a glyph in a bold, italic or underlined font.
        Bold, Italic, Underline,
        // Lines of text aligned to the left, the right or the middle.
        AlignLeft, AlignRight, AlignCenter,
        Magnifier,
        // Three squares with their words (caption "a|b|c"): fill top, fill
        // bottom and ink colour the squares, the text ink the words.
        Legend
    };

    // A comment or blank line gives no row and no error.
    static std::optional<ImageSpec> parse(const QString &line, QString *error);

    QString resourcePath() const { return path; }
    QString relativePath() const;   // the resource path without ":/"
    QSize size() const { return QSize(width, height); }
    // Animated shapes turn over several frames (written as GIF); still ones have one.
    int frameCount() const;
    int frameDelayMs() const;
    QImage draw(int frame = 0) const;

private:
    QString path;
    int width = 0;
    int height = 0;
    Shape shape = Shape::Rect;
    QColor fillTop;
    QColor fillBottom;
    QColor ink;        // outline of frames, callouts, swatches and rings
    QColor textInk;    // the caption
    QString caption;
};
