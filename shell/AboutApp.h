#pragma once

#include "FramelessDialog.h"

namespace Ui {
class AboutApp;
}

// The about box: logo, contact text and program version. Its owner fills it
// before each showing; closing only hides it.
class AboutApp : public FramelessDialog
{
    Q_OBJECT
public:
    explicit AboutApp(QWidget *parent = nullptr);
    ~AboutApp() override;

    // Shown as given, one line per line break.
    void setMessage(const QString &message);
    void setVersion(const QString &version);
    // type 1: the brand logo; otherwise the agent logo file at path, when
    // there is one. With neither the current logo stays.
    void setLogo(int type, const QString &path);

private slots:
    void on_pushButton_exit_clicked();

private:
    Ui::AboutApp *ui;
};
