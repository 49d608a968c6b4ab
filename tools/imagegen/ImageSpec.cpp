#include "ImageSpec.h"

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
        {"glyph", ImageSpec::Shape::Glyph},
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
    ImageSpec spec;
    spec.path = f[0];
    bool okW = false, okH = false;
    spec.width = f[1].toInt(&okW);
    spec.height = f[2].toInt(&okH);
    if (!spec.path.startsWith(":/") || !spec.path.endsWith(".png"))
        *error = QStringLiteral("path must be a resource path ending in .png");
    else if (!okW || !okH || spec.width <= 0 || spec.height <= 0)
        *error = QStringLiteral("bad size");
    else if (!parseShape(f[3], &spec.shape))
        *error = QStringLiteral("unknown shape ") + f[3];
    else if (!parseFill(f[4], &spec.fillTop, &spec.fillBottom))
        *error = QStringLiteral("bad fill ") + f[4];
    else if (!(spec.ink = QColor(f[5])).isValid())
        *error = QStringLiteral("bad ink ") + f[5];
    if (!error->isEmpty())
        return std::nullopt;
    spec.caption = f.value(6);
    return spec;
}

QString ImageSpec::relativePath() const
{
    return path.mid(2);
}

QImage ImageSpec::draw() const
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
    case Shape::Frame: {
        // A soft shadow, then the card with a thin border in the ink colour.
        const qreal m = 6;
        for (int i = 0; i < int(m); ++i) {
            QColor shadow(0, 0, 0, 10 + i * 4);
            p.setPen(QPen(shadow, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(area.adjusted(i, i, -i, -i), 10, 10);
        }
        p.setPen(QPen(ink, 1.2));
        p.setBrush(gradient);
        p.drawRoundedRect(area.adjusted(m, m, -m, -m), 8, 8);
        break;
    }
    case Shape::Glyph:
        break;
    }

    if (!caption.isEmpty()) {
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(qMax(8, int(height * 0.45)));
        p.setFont(font);
        p.setPen(ink);
        p.drawText(image.rect(), Qt::AlignCenter, caption);
    }
    return image;
}
