#pragma once

#include "FramelessDialog.h"

// The data-repair dialog. It stands in until it is built: it shows its title and logs each call.
// Deletes itself when closed.
class DataRecoveryWidget : public FramelessDialog
{
    Q_OBJECT
public:
    explicit DataRecoveryWidget(QWidget *parent = nullptr);
    ~DataRecoveryWidget() override;

    void setSkinColor(const QString &color);

signals:
    // The repaired bank is in place; the dialog is still open.
    void sendDataRecovery();
};
