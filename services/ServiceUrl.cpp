#include "ServiceUrl.h"

#include <QCryptographicHash>

namespace {

const char hostVariable[] = "VELMORA_SERVICE_HOST";

// The value of the placeholder starting at text[at] ('%'), and its length;
// two digits are taken when the template has that many values.
int placeholderAt(const QString &text, int at, int valueCount, int &length)
{
    length = 0;
    int number = 0;
    for (int i = at + 1; i < text.size() && i <= at + 2 && text.at(i).isDigit(); ++i) {
        const int longer = number * 10 + text.at(i).digitValue();
        if (longer > valueCount && length > 0)
            break;
        number = longer;
        length = i - at + 1;
    }
    return number >= 1 && number <= valueCount ? number : 0;
}

} // namespace

QString ServiceUrl::host()
{
    const QString fromEnvironment = qEnvironmentVariable(hostVariable);
    return fromEnvironment.isEmpty() ? QStringLiteral(VELMORA_SERVICE_HOST_DEFAULT)
                                     : fromEnvironment;
}

QString ServiceUrl::accessKey()
{
    return QStringLiteral("Vq7R2mKx9TfL4wPz");
}

QString ServiceUrl::md5Hex(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

QString ServiceUrl::key(const QString &material)
{
    return md5Hex(accessKey() + material);
}

QString ServiceUrl::query(const QString &queryTemplate, const QStringList &values)
{
    QString filled;
    filled.reserve(queryTemplate.size());
    for (int i = 0; i < queryTemplate.size(); ++i) {
        int length = 0;
        const int number = queryTemplate.at(i) == QLatin1Char('%')
                               ? placeholderAt(queryTemplate, i, values.size(), length)
                               : 0;
        if (number == 0) {
            filled += queryTemplate.at(i);
            continue;
        }
        filled += QString::fromLatin1(QUrl::toPercentEncoding(values.at(number - 1)));
        i += length - 1;
    }
    return filled;
}

QUrl ServiceUrl::url(const QString &path, const QString &query)
{
    QString text = QStringLiteral("http://") + host() + path;
    if (!query.isEmpty())
        text += QLatin1Char('?') + query;
    const QUrl parsed(text, QUrl::TolerantMode);
    return QUrl::fromEncoded(parsed.toEncoded(QUrl::FullyEncoded));
}
