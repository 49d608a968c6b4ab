#include "CRoundProcessBar.h"

#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace {

// Missing parts read as 0 and each part is kept within 0..255, so an odd
// text never makes an invalid colour (which Qt paints black).
QColor colourFromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    auto part = [&parts](int i) { return qBound(0, parts.value(i).toInt(nullptr, 10), 255); };
    QColor colour;
    colour.setRgb(part(0), part(1), part(2), part(3));
    return colour;
}

QRectF squareAbout(const QPointF &centre, double half)
{
    return QRectF(QPointF(centre.x() - half, centre.y() - half), QPointF(centre.x() + half, centre.y() + half));
}

// Sixteenths of a degree the pie turns, clockwise negative; 0 for no pie.
// A total of 0 or a share that is no number draws nothing; a share beyond
// one whole turn draws the whole disc.
int pieSpan(const QString &valueText, float total)
{
    if (!(total > 0))
        return 0;
    const double share = double(valueText.toFloat()) / double(total);
    if (!std::isfinite(share))
        return 0;
    return int(-qBound(-1.0, share, 1.0) * 5760);
}

} // namespace

CRoundProcessBar::CRoundProcessBar(QWidget *parent, const QString &color)
    : QProgressBar(parent), colorText(color.isEmpty() ? QStringLiteral("0,0,0,0") : color)
{
    computeGeometry();
    setFixedSize(52, 52);
    repaint();
}

CRoundProcessBar::~CRoundProcessBar() = default;

void CRoundProcessBar::setValueText(const QString &text)
{
    valueText = text;
    repaint();
}

void CRoundProcessBar::setColor(const QString &color)
{
    colorText = color;
}

void CRoundProcessBar::setTotal(float newTotal)
{
    total = newTotal;
}

// The circles sit about ((w - 1) div 2, (h - 1) div 2) with radius min(w, h) div 2.
void CRoundProcessBar::computeGeometry()
{
    const QRect r = rect();
    const int dx = r.right() - r.left();
    const int dy = r.bottom() - r.top();
    radius = double((qMin(dx, dy) + 1) / 2);
    backgroundRadius = radius * 0.8;
    pieRadius = radius * 0.7;
    centreRadius = pieRadius * 0.7;
    centre = QPointF(dx / 2, dy / 2);
}

void CRoundProcessBar::paintEvent(QPaintEvent *)
{
    computeGeometry();
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintBackground(painter);
    paintPie(painter);
    paintCentre(painter);
}

void CRoundProcessBar::paintBackground(QPainter &painter) const
{
    painter.save();
    painter.setPen(Qt::NoPen);
    QRadialGradient gradient(centre, backgroundRadius, centre);
    gradient.setColorAt(0, QColor(240, 240, 240, 255));
    gradient.setColorAt(1, QColor(220, 220, 220, 255));
    painter.setBrush(gradient);
    painter.drawEllipse(squareAbout(centre, backgroundRadius));
    painter.restore();
}

void CRoundProcessBar::paintPie(QPainter &painter)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    pieRect = squareAbout(centre, pieRadius);
    painter.setBrush(QBrush(colourFromText(colorText), Qt::SolidPattern));
    const int span = pieSpan(valueText, total);
    if (span != 0)
        painter.drawPie(pieRect, 1440, span);
    painter.restore();
}

void CRoundProcessBar::paintCentre(QPainter &painter) const
{
    painter.save();
    painter.setOpacity(0.7);
    const QRectF textRect = squareAbout(centre, centreRadius);
    QRadialGradient gradient(centre, centreRadius);
    gradient.setColorAt(0, QColor(220, 220, 220, 255));
    gradient.setColorAt(0.5, QColor(220, 220, 220, 255));
    gradient.setColorAt(0.8, QColor(240, 240, 240, 255));
    gradient.setColorAt(1, QColor(220, 220, 220, 255));
    painter.setPen(QPen(QColor(200, 200, 200, 255), 1));
    painter.setBrush(gradient);
    painter.drawEllipse(textRect);
    painter.setOpacity(1.0);
    painter.setPen(QColor(120, 120, 120, 255));
    painter.setFont(QFont(QStringLiteral("\"微软雅黑\""), 11));
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignVCenter, valueText);
    painter.restore();
}
