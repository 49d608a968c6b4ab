#include "Skin.h"

#include <QStringList>

namespace {

// Only an edited Config.ini gives fewer parts; reading past them is no option.
QStringList colourParts(const QString &skinColor)
{
    const QStringList parts = skinColor.split(QLatin1Char(','));
    return parts.size() >= 4 ? parts : QString::fromLatin1(defaultSkinColor).split(QLatin1Char(','));
}

QString raised(const QString &part)
{
    return QString::number(qMin(255, part.toInt() + 20));
}

} // namespace

QString skinHoverColor(const QString &skinColor)
{
    const QStringList parts = colourParts(skinColor);
    return QStringLiteral("%1,%2,%3,%4").arg(raised(parts[0]), raised(parts[1]), parts[2], parts[3]);
}

QString skinButtonStyle(const QString &skinColor)
{
    return QStringLiteral("QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";"
                          "color: rgb(255, 255, 255);background-color: rgb(%1);}"
                          "QPushButton:hover{background-color: rgb(%2);}")
        .arg(colourParts(skinColor).join(QLatin1Char(',')), skinHoverColor(skinColor));
}
