#include "ErrorReport.h"

#include <QDebug>

namespace {

ErrorReport::Opener &installed()
{
    static ErrorReport::Opener opener;
    return opener;
}

} // namespace

void ErrorReport::setOpener(Opener opener)
{
    installed() = std::move(opener);
}

bool ErrorReport::hasOpener()
{
    return bool(installed());
}

QWidget *ErrorReport::open(const QString &skinColor, int reportKind, int queId, const QString &queText)
{
    if (!installed()) {
        qDebug().noquote() << QStringLiteral("error report for question %1 not opened: no form installed").arg(queId);
        return nullptr;
    }
    return installed()(skinColor, reportKind, queId, queText);
}
