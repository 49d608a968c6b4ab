#include "ErrorReportOpener.h"

#include "ErrorReport.h"
#include "FeedBaceDialog.h"

void installErrorReportOpener()
{
    ErrorReport::setOpener([](const QString &skinColor, int reportKind, int queId, const QString &queText) {
        auto *dialog = new FeedBaceDialog;
        dialog->setSkinColor(skinColor);
        dialog->setReportMode(1);
        dialog->setErrorReportData(reportKind, queId, queText);
        dialog->show();
        return static_cast<QWidget *>(dialog);
    });
}
