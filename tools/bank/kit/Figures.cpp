#include "Figures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <iterator>

namespace {

void drawPlain(QPainter &p, const QSize &size)
{
    p.fillRect(QRect(QPoint(), size), QColor(225, 238, 250));
    p.setPen(QPen(QColor(70, 110, 160), 1));
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    p.drawLine(0, 0, size.width() - 1, size.height() - 1);
}

void drawGrid(QPainter &p, const QSize &size)
{
    p.fillRect(QRect(QPoint(), size), QColor(255, 246, 246));
    p.setPen(QPen(QColor(245, 190, 190), 1));
    for (int x = 0; x < size.width(); x += 10)
        p.drawLine(x, 0, x, size.height());
    for (int y = 0; y < size.height(); y += 10)
        p.drawLine(0, y, size.width(), y);
}

// One beat's deflection at phase t (0..1 of the beat): QRS spike and T wave,
// with a P wave in sinus rhythm.
qreal beatShape(qreal t, bool withP)
{
    if (withP && t > 0.1 && t < 0.2)
        return 0.15 * qSin((t - 0.1) / 0.1 * M_PI);
    if (t > 0.3 && t < 0.33)
        return -0.2;
    if (t >= 0.33 && t < 0.37)
        return 1.0;
    if (t >= 0.37 && t < 0.4)
        return -0.35;
    if (t > 0.55 && t < 0.75)
        return 0.25 * qSin((t - 0.55) / 0.2 * M_PI);
    return 0;
}

// A rhythm strip on grid paper. Sinus rhythm: regular beats with P waves.
// Atrial fibrillation: no P waves, a wavy baseline and irregular RR intervals.
void drawEcg(QPainter &p, const QSize &size, bool fibrillation)
{
    drawGrid(p, size);
    static const int irregular[] = {62, 95, 70, 110, 58, 84, 101, 66};
    const qreal base = size.height() * 0.6;
    const qreal amp = size.height() * 0.4;
    QPainterPath path(QPointF(0, base));
    int beatStart = 0;
    int beat = 0;
    int beatLength = fibrillation ? irregular[0] : 80;
    for (int x = 0; x < size.width(); ++x) {
        if (x - beatStart >= beatLength) {
            beatStart = x;
            beatLength = fibrillation ? irregular[++beat % int(std::size(irregular))] : 80;
        }
        qreal y = beatShape(qreal(x - beatStart) / beatLength, !fibrillation);
        if (fibrillation)
            y += 0.06 * qSin(x * 1.3) + 0.04 * qSin(x * 0.7);
        path.lineTo(x, base - y * amp);
    }
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    p.drawPath(path);
}

// A frontal chest film: dark field, two lung fields, the heart shadow and ribs.
void drawChestFilm(QPainter &p, const QSize &size)
{
    const qreal w = size.width();
    const qreal h = size.height();
    p.fillRect(QRect(QPoint(), size), QColor(25, 25, 25));
    p.setBrush(QColor(70, 70, 70));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(w * 0.12, h * 0.12, w * 0.33, h * 0.72));
    p.drawEllipse(QRectF(w * 0.55, h * 0.12, w * 0.33, h * 0.72));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QRectF(w * 0.42, h * 0.45, w * 0.25, h * 0.35));
    p.setPen(QPen(QColor(150, 150, 150), 2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const qreal y = h * (0.2 + 0.1 * i);
        p.drawArc(QRectF(w * 0.1, y, w * 0.38, h * 0.12), 20 * 16, 140 * 16);
        p.drawArc(QRectF(w * 0.52, y, w * 0.38, h * 0.12), 20 * 16, 140 * 16);
    }
}

// A bar chart with axes, as in a drug concentration or lab value figure.
void drawBars(QPainter &p, const QSize &size)
{
    const int w = size.width();
    const int h = size.height();
    p.fillRect(QRect(QPoint(), size), Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(10, h - 10, w - 5, h - 10);
    p.drawLine(10, 5, 10, h - 10);
    static const qreal heights[] = {0.3, 0.8, 0.6, 0.45, 0.2};
    const int slot = (w - 20) / 5;
    p.setBrush(QColor(80, 140, 200));
    for (int i = 0; i < 5; ++i) {
        const int barHeight = int((h - 20) * heights[i]);
        p.drawRect(15 + i * slot, h - 10 - barHeight, slot - 8, barHeight);
    }
}

} // namespace

QImage drawFigure(Figure figure, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (figure) {
    case Figure::Plain: drawPlain(painter, size); break;
    case Figure::Ecg: drawEcg(painter, size, false); break;
    case Figure::EcgFibrillation: drawEcg(painter, size, true); break;
    case Figure::ChestFilm: drawChestFilm(painter, size); break;
    case Figure::Bars: drawBars(painter, size); break;
    }
    return image;
}

bool saveFigure(const QString &path, Figure figure, const QSize &size, QString *error)
{
    if (drawFigure(figure, size).save(path, "PNG"))
        return true;
    *error = QStringLiteral("cannot write %1").arg(path);
    return false;
}

bool figureFromName(const QString &name, Figure *figure)
{
    static const struct { const char *name; Figure figure; } names[] = {
        {"plain", Figure::Plain}, {"ecg", Figure::Ecg}, {"ecg-af", Figure::EcgFibrillation}, {"chest", Figure::ChestFilm}, {"bars", Figure::Bars}};
    for (const auto &entry : names) {
        if (name == QLatin1String(entry.name)) {
            *figure = entry.figure;
            return true;
        }
    }
    return false;
}
