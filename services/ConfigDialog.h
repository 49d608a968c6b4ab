#pragma once

#include "FramelessDialog.h"

// The backup and restore dialog. It stands in until it is built: it shows its title and logs each call.
// Deletes itself when closed.
class ConfigDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit ConfigDialog(QWidget *parent = nullptr);
    ~ConfigDialog() override;

    void setSkinColor(const QString &color);
};
