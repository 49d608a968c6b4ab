#include "Pictures.h"

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QtMath>

namespace {

const QColor markBlue(44, 154, 213);   // the exam window's blue
const QColor fieldEdge(200, 200, 200);

QColor blend(const QColor &from, const QColor &to, qreal t)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                            from.greenF() + (to.greenF() - from.greenF()) * t,
                            from.blueF() + (to.blueF() - from.blueF()) * t);
}

void drawWhiteField(QPainter &p, const QRectF &rect, qreal radius)
{
    p.setPen(QPen(fieldEdge, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(rect, radius, radius);
}

void drawInformationMark(QPainter &p, const QPointF &centre, qreal radius)
{
    p.setPen(QPen(markBlue.darker(120), 1.5));
    p.setBrush(markBlue);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(centre + QPointF(0, -radius * 0.5), radius * 0.16, radius * 0.16);
    const qreal stemWidth = radius * 0.28;
    p.drawRoundedRect(QRectF(centre.x() - stemWidth / 2, centre.y() - radius * 0.2, stemWidth, radius * 0.8),
                      stemWidth / 3, stemWidth / 3);
}

} // namespace

void Pictures::drawInfoBox(QPainter &p, QSize size, const QBrush &fill, const QColor &edge)
{
    p.save();
    p.fillRect(QRect(QPoint(0, 0), size), fill);
    p.setPen(QPen(edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0));

    p.scale(size.width() / 497.0, size.height() / 362.0);
    drawInformationMark(p, QPointF(64, 36), 17);
    // The forms put the title 100 pixels in and 20 down (31 in the dialog
    // whose layout adds a margin), the message 60 in from 70 down to
    // 50 above the bottom: the white ground lies under both.
    drawWhiteField(p, QRectF(92, 15, 240, 42), 4);
    drawWhiteField(p, QRectF(22, 62, 453, 244), 6);
    p.restore();
}

void Pictures::drawArrow(QPainter &p, QSize size, const QColor &ink, bool up)
{
    // Whole pixel rows, so the head stays sharp at a few pixels.
    const int rows = (size.width() + 1) / 2;
    const int top = (size.height() - rows) / 2;
    for (int i = 0; i < rows; ++i) {
        const int y = up ? top + rows - 1 - i : top + i;
        p.fillRect(i, y, size.width() - 2 * i, 1, ink);
    }
}

void Pictures::drawSpinner(QPainter &p, QSize size, const QColor &head, const QColor &tail, int step)
{
    const qreal side = qMin(size.width(), size.height());
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const int headSpoke = step % spinnerSteps;
    for (int spoke = 0; spoke < spinnerSteps; ++spoke) {
        const int age = (headSpoke - spoke + spinnerSteps) % spinnerSteps;
        const qreal angle = qDegreesToRadians(spoke * 360.0 / spinnerSteps - 90.0);
        const QPointF direction(qCos(angle), qSin(angle));
        p.setPen(QPen(blend(head, tail, age / qreal(spinnerSteps - 1)), side * 0.09, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(centre + direction * side * 0.22, centre + direction * side * 0.42);
    }
}

void Pictures::drawTextLines(QPainter &p, QSize size, const QColor &ink, Qt::Alignment alignment)
{
    const int lines = 4;
    const int pitch = size.height() / lines;
    const int thickness = qMax(1, pitch / 2);
    for (int i = 0; i < lines; ++i) {
        // Short lines lose an equal indent at both ends, so centred ones sit
        // exactly in the middle.
        const int length = i % 2 == 0 ? size.width() : size.width() - 2 * (size.width() / 5);
        int x = 0;
        if (alignment & Qt::AlignRight)
            x = size.width() - length;
        else if (alignment & Qt::AlignHCenter)
            x = (size.width() - length) / 2;
        p.fillRect(x, i * pitch + (pitch - thickness) / 2, length, thickness, ink);
    }
}

void Pictures::drawMagnifier(QPainter &p, QSize size, const QColor &ink)
{
    const qreal side = qMin(size.width(), size.height());
    const qreal stroke = qMax(1.5, side * 0.12);
    const qreal radius = side * 0.3;
    const QPointF centre(stroke / 2 + radius, stroke / 2 + radius);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, stroke));
    p.drawEllipse(centre, radius, radius);
    // The handle starts on the ring, 45 degrees down to the right.
    const QPointF rim = centre + QPointF(radius, radius) / qSqrt(2.0);
    p.setPen(QPen(ink, stroke * 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(rim, QPointF(side - stroke * 0.75, side - stroke * 0.75));
    p.restore();
}

void Pictures::drawLegend(QPainter &p, QSize size, const QStringList &words, const QList<QColor> &squares,
                          const QColor &textInk)
{
    const int count = qMin(words.size(), squares.size());
    if (count == 0)
        return;
    const int slot = size.width() / count;
    const int side = qMax(6, size.height() / 2);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(qMax(8, size.height() * 9 / 20));
    p.save();
    p.setFont(font);
    for (int i = 0; i < count; ++i) {
        const int left = i * slot + slot / 8;
        const QRect square(left, (size.height() - side) / 2, side, side);
        p.setPen(Qt::NoPen);
        p.setBrush(squares.at(i));
        p.drawRoundedRect(square, 2, 2);
        p.setPen(textInk);
        const QRect text(square.right() + 5, 0, i * slot + slot - square.right() - 5, size.height());
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, words.at(i));
    }
    p.restore();
}
