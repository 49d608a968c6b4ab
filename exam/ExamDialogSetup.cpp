#include "ExamDialogSetup.h"

#include <QDialog>
#include <QIcon>

void setUpExamDialog(QDialog *dialog, Qt::WindowFlags hint)
{
    dialog->setWindowFlags(Qt::FramelessWindowHint | hint);
    dialog->setModal(true);
}

void setExamDialogIcon(QDialog *dialog)
{
    dialog->setWindowIcon(QIcon(QStringLiteral(":/logo/images/logo/ic_icon.png")));
}
