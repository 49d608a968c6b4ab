#pragma once

#include "FramelessDialog.h"

#include <QPointer>

class ChoiceDialog;

namespace Ui {
class ConfigDialog;
}

// Backs the open subject's bank "MedicalDB.db" up to "BKMedicalDB.db" beside
// it, and after a confirmation puts the backup back. Neither step can cost a
// file: the backup is replaced only by a complete, checked copy, and the live
// bank only by a checked backup (the store stays on the old bank otherwise).
// Every result shows in the dialog's text line. It deletes itself when
// closed, so an opener makes a new one each time:
//
//   auto *dialog = new ConfigDialog;
//   dialog->setSkinColor(skinColor);
//   dialog->show();
class ConfigDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit ConfigDialog(QWidget *parent = nullptr);
    ~ConfigDialog() override;

    // "r,g,b,a", passed on to the restore confirmation only.
    void setSkinColor(const QString &color);

private slots:
    void on_pushButton_databk_clicked();
    void on_pushButton_Reduction_clicked();
    void receiveChoiceDialog();
    void on_pushButton_clicked();

private:
    Ui::ConfigDialog *ui;
    // Deletes itself when it closes.
    QPointer<ChoiceDialog> confirmation;
    // The backup's modification time when the restore was asked for.
    QString backupTime;
    QString skinColor;
};
