#include "ChineseDesktop.h"

#include <QDateTime>
#include <QFont>
#include <QLocale>

void ChineseDesktop::apply()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Faces with Latin letters and digits drawn to match the Chinese ones.
    const QStringList sans{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    const QStringList serif{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    for (const QString &family : {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")})
        QFont::insertSubstitutions(family, sans);
    for (const QString &family : {QStringLiteral("宋体"), QStringLiteral("SimSun")})
        QFont::insertSubstitutions(family, serif);
}

QString ChineseDesktop::textDate(const QDateTime &time)
{
    return QLocale().toString(time, QStringLiteral("yyyy年M月d日 dddd HH:mm:ss"));
}
