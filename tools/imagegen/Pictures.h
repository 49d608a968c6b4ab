#pragma once

#include <QColor>
#include <QList>
#include <QSize>
#include <QStringList>

class QBrush;
class QPainter;

// Pictures with more than one part, drawn for the exam window's dialogs,
// answer card and busy overlay.
namespace Pictures {

// A notice dialog's ground: the fill with a thin edge in `edge`, a round blue
// information mark at the top left, a white field for the title beside it
// and a large white panel for the message below. Laid out for 497 x 362 and
// stretched to `size`.
void drawInfoBox(QPainter &p, QSize size, const QBrush &fill, const QColor &edge);

// A small filled arrow head pointing up or down, filling the image.
void drawArrow(QPainter &p, QSize size, const QColor &ink, bool up);

// A busy spinner of twelve spokes: the head spoke in `head`, the ones
// behind it fading to `tail`; each step turns it by one spoke.
constexpr int spinnerSteps = 12;
constexpr int spinnerStepMs = 80;
void drawSpinner(QPainter &p, QSize size, const QColor &head, const QColor &tail, int step);

// Four lines of "text", long and short in turn, flush with the side that
// `alignment` names (Qt::AlignLeft, Qt::AlignRight) or centred.
void drawTextLines(QPainter &p, QSize size, const QColor &ink, Qt::Alignment alignment);

// A magnifying glass in ink: a ring at the top left and a handle running
// to the bottom right corner, filling the image.
void drawMagnifier(QPainter &p, QSize size, const QColor &ink);

// A legend of three coloured squares, each followed by its word, spread
// over the width; words and colours pair up in order.
void drawLegend(QPainter &p, QSize size, const QStringList &words, const QList<QColor> &squares,
                const QColor &textInk);

} // namespace Pictures
