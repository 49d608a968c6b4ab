#include "ImageSpec.h"
#include "Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

bool parseShape(const QString &text, ImageSpec::Shape *shape)
{
    static const QHash<QString, ImageSpec::Shape> shapes = {
        {"rect", ImageSpec::Shape::Rect},   {"round", ImageSpec::Shape::Round},
        {"circle", ImageSpec::Shape::Circle}, {"frame", ImageSpec::Shape::Frame},
        {"callout", ImageSpec::Shape::Callout}, {"glyph", ImageSpec::Shape::Glyph},
        {"infobox", ImageSpec::Shape::InfoBox}, {"arrowup", ImageSpec::Shape::ArrowUp},
        {"arrowdown", ImageSpec::Shape::ArrowDown}, {"spinner", ImageSpec::Shape::Spinner},
        {"arrow", ImageSpec::Shape::Arrow},
        {"swatch", ImageSpec::Shape::Swatch}, {"ring", ImageSpec::Shape::Ring},
        {"bold", ImageSpec::Shape::Bold}, {"italic", ImageSpec::Shape::Italic},
        {"underline", ImageSpec::Shape::Underline}, {"alignleft", ImageSpec::Shape::AlignLeft},
        {"alignright", ImageSpec::Shape::AlignRight}, {"aligncenter", ImageSpec::Shape::AlignCenter},
        {"magnifier", ImageSpec::Shape::Magnifier},
        {"legend", ImageSpec::Shape::Legend},
    };
    auto it = shapes.find(text);
    if (it == shapes.end())
        return false;
    *shape = *it;
    return true;
}

// "none", "#rrggbb", "#aarrggbb" or a vertical gradient "#top-#bottom".
bool parseFill(const QString &text, QColor *top, QColor *bottom)
{
    if (text == "none") {
        *top = *bottom = QColor(Qt::transparent);
        return true;
    }
    const QStringList parts = text.split('-');
    if (parts.size() > 2)
        return false;
    *top = QColor(parts.first());
    *bottom = QColor(parts.last());
    return top->isValid() && bottom->isValid();
}

// A soft drop shadow under a shape: stacked translucent strokes that darken
// towards the shape's edge.
void drawShadow(QPainter &p, const QPainterPath &shape, int spread)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = spread; i > 0; --i) {
        p.setPen(QPen(QColor(0, 0, 0, 40 / spread + 2), 2.0 * i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shape.translated(0, 1.5));
    }
    p.restore();
}

// The dialog card: rounded, on a shadow margin that stays transparent at
// the image edge, with a hairline border.
void drawFrame(QPainter &p, const QRectF &area, const QBrush &fill, const QColor &ink)
{
    const qreal margin = 14;
    QPainterPath card;
    card.addRoundedRect(area.adjusted(margin, margin, -margin, -margin), 10, 10);
    drawShadow(p, card, int(margin) - 4);
    p.setPen(QPen(ink, 1));
    p.setBrush(fill);
    p.drawPath(card);
}

// A pop-up body with a small pointer on its top edge, near the right.
void drawCallout(QPainter &p, const QRectF &area, const QBrush &fill, const QColor &ink)
{
    const QRectF body = area.adjusted(6, 14, -8, -7);
    const qreal tipX = area.right() - 44;
    QPainterPath shape;
    shape.addRoundedRect(body, 6, 6);
    QPainterPath pointer;
    pointer.moveTo(tipX - 8, body.top() + 1);
    pointer.lineTo(tipX, area.top() + 6);
    pointer.lineTo(tipX + 8, body.top() + 1);
    pointer.closeSubpath();
    shape = shape.united(pointer);
    drawShadow(p, shape, 5);
    p.setPen(QPen(ink, 1));
    p.setBrush(fill);
    p.drawPath(shape);
}

// A narrow slide tab: a fully rounded bar with a chevron pointing right, so
// the handle reads as "open this way" even a few pixels wide.
void drawArrowTab(QPainter &p, const QRectF &area, const QBrush &fill, const QColor &ink)
{
    const qreal radius = qMin(area.width(), area.height()) / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(area, radius, radius);
    const qreal half = qMin(area.width(), area.height()) * 0.25;
    const QPointF c = area.center();
    const QPointF chevron[] = {c + QPointF(-half, -2 * half), c + QPointF(half, 0), c + QPointF(-half, 2 * half)};
    p.setPen(QPen(ink, qMax(1.0, half * 0.6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(chevron, 3);
}

// Captions may hold several lines, written "\n" in the table.
QString captionText(const QString &field)
{
    return QString(field).replace(QLatin1String("\\n"), QLatin1String("\n"));
}

// The largest font, up to the caption's natural size, whose text fits the
// box; a null box takes the natural size.
QFont fittedFont(int pixelSize, const QRect &box, int flags, const QString &text)
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    for (; pixelSize > 8 && !box.isNull(); --pixelSize) {
        font.setPixelSize(pixelSize);
        const QRect needed = QFontMetrics(font).boundingRect(box, flags, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            break;
    }
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

std::optional<ImageSpec> ImageSpec::parse(const QString &line, QString *error)
{
    error->clear();
    if (line.trimmed().isEmpty() || line.startsWith('#'))
        return std::nullopt;
    const QStringList f = line.split('\t');
    if (f.size() < 6 || f.size() > 7) {
        *error = QStringLiteral("expected 6 or 7 tab-separated fields");
        return std::nullopt;
    }
    ImageSpec row;
    row.path = f[0];
    bool okW = false, okH = false;
    row.width = f[1].toInt(&okW);
    row.height = f[2].toInt(&okH);
    // The file name picks the format: ".jpg" rows are written as JPEG, ".gif" as GIF.
    if (!row.path.startsWith(":/")
        || !(row.path.endsWith(".png") || row.path.endsWith(".jpg") || row.path.endsWith(".gif")))
        *error = QStringLiteral("path must be a resource path ending in .png, .jpg or .gif");
    else if (!okW || !okH || row.width <= 0 || row.height <= 0)
        *error = QStringLiteral("bad size");
    else if (!parseShape(f[3], &row.shape))
        *error = QStringLiteral("unknown shape ") + f[3];
    else if (!parseFill(f[4], &row.fillTop, &row.fillBottom))
        *error = QStringLiteral("bad fill ") + f[4];
    else if (!parseFill(f[5], &row.ink, &row.textInk))   // "#line-#text" or one colour
        *error = QStringLiteral("bad ink ") + f[5];
    if (!error->isEmpty())
        return std::nullopt;
    row.caption = captionText(f.value(6));
    return row;
}

QString ImageSpec::relativePath() const
{
    return path.mid(2);
}

int ImageSpec::frameCount() const
{
    return shape == Shape::Spinner ? Pictures::spinnerSteps : 1;
}

int ImageSpec::frameDelayMs() const
{
    return shape == Shape::Spinner ? Pictures::spinnerStepMs : 0;
}

QImage ImageSpec::draw(int frame) const
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, fillTop);
    gradient.setColorAt(1, fillBottom);
    const QRectF area(0.5, 0.5, width - 1.0, height - 1.0);
    const qreal radius = qMin(width, height) / 8.0;

    switch (shape) {
    case Shape::Rect:
        p.fillRect(image.rect(), gradient);
        break;
    case Shape::Round:
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        p.drawRoundedRect(area, radius, radius);
        break;
    case Shape::Circle:
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        p.drawEllipse(area);
        break;
    case Shape::Frame:
        drawFrame(p, area, gradient, ink);
        break;
    case Shape::Callout:
        drawCallout(p, area, gradient, ink);
        break;
    case Shape::Arrow:
        drawArrowTab(p, area, gradient, ink);
        break;
    case Shape::InfoBox:
        Pictures::drawInfoBox(p, size(), gradient, ink);
        break;
    case Shape::ArrowUp:
    case Shape::ArrowDown:
        Pictures::drawArrow(p, size(), ink, shape == Shape::ArrowUp);
        break;
    case Shape::Spinner:
        Pictures::drawSpinner(p, size(), ink, fillTop, frame);
        break;
    case Shape::Swatch:
        p.fillRect(image.rect(), ink);
        p.fillRect(image.rect().adjusted(1, 1, -1, -1), gradient);
        break;
    case Shape::Ring:
        p.setPen(QPen(ink, 1));
        p.setBrush(gradient);
        p.drawEllipse(area.adjusted(0.5, 0.5, -0.5, -0.5));
        break;
    case Shape::Glyph:
    case Shape::Bold:
    case Shape::Italic:
    case Shape::Underline:
        break;
    case Shape::AlignLeft:
        Pictures::drawTextLines(p, size(), ink, Qt::AlignLeft);
        break;
    case Shape::AlignRight:
        Pictures::drawTextLines(p, size(), ink, Qt::AlignRight);
        break;
    case Shape::AlignCenter:
        Pictures::drawTextLines(p, size(), ink, Qt::AlignHCenter);
        break;
    case Shape::Magnifier:
        Pictures::drawMagnifier(p, size(), ink);
        break;
    case Shape::Legend:
        Pictures::drawLegend(p, size(), caption.split(QLatin1Char('|')), {fillTop, fillBottom, ink}, textInk);
        return image;
    }

    if (!caption.isEmpty()) {
        // A glyph is the whole picture, drawn at full height; elsewhere the
        // caption fits on the shape, inside a frame's card, and several
        // lines read from the left.
        const bool glyph = shape == Shape::Glyph || shape == Shape::Bold || shape == Shape::Italic
                           || shape == Shape::Underline;
        QRect textArea = image.rect();
        if (shape == Shape::Underline) {
            // A font's underline falls below a glyph that fills the picture:
            // the letter moves up and the line is drawn under it.
            textArea.setHeight(height * 4 / 5);
            const int thickness = qMax(1, height / 12);
            p.fillRect(width / 5, height - thickness - 1, width - 2 * (width / 5), thickness, ink);
        }
        const int natural = qMax(8, int(textArea.height() * (glyph ? 1.0 : 0.45)));
        const int inset = shape == Shape::Frame ? 32 : 0;
        const QRect box = textArea.adjusted(inset, inset, -inset, -inset);
        const int flags = caption.contains(QLatin1Char('\n')) ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                              : int(Qt::AlignCenter);
        QFont font = fittedFont(natural, glyph ? QRect() : box, flags, caption);
        font.setBold(shape == Shape::Bold);
        font.setItalic(shape == Shape::Italic);
        p.setFont(font);
        p.setPen(textInk);
        p.drawText(box, flags, caption);
    }
    return image;
}
