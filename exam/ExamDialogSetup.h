#pragma once

#include <Qt>

class QDialog;

// The exam window's tip and help dialogs: no frame, one more window hint,
// and modal, so that while one is shown the program's other windows wait.
void setUpExamDialog(QDialog *dialog, Qt::WindowFlags hint);
// The program's icon, carried by the paper description and the help.
void setExamDialogIcon(QDialog *dialog);
