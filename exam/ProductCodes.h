#pragma once

#include <QString>
#include <QStringList>

// Product-type codes of the question banks (sysConfig "sysTypeGoods"),
// compared whole and case-sensitively.
namespace ProductCodes {

// Products whose computer-based exam page notes that it is no simulated exam.
inline const QStringList &noteCodes()
{
    static const QStringList codes{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    return codes;
}

// Products for the senior titles: the candidate chooses the title level.
inline const QStringList &seniorTitleCodes()
{
    static const QStringList codes{QStringLiteral("A"), QStringLiteral("H"), QStringLiteral("J"),
                                   QStringLiteral("K"), QStringLiteral("L")};
    return codes;
}

// The senior-title product whose prediction papers come in two variants.
inline QString predictionVariantCode() { return QStringLiteral("A"); }

} // namespace ProductCodes
