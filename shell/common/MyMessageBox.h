#pragma once

#include "FramelessDialog.h"

namespace Ui {
class MyMessageBox;
}

// The program's message box: a title, a message and one OK button. Closing
// only hides it; its creator keeps, reuses or deletes it.
class MyMessageBox : public FramelessDialog
{
    Q_OBJECT
public:
    explicit MyMessageBox(QWidget *parent = nullptr);
    ~MyMessageBox() override;

    void setTitle(const QString &title);
    void setMessage(const QString &message);
    // An empty text keeps the form's green button.
    void setSkinColor(const QString &color);

private slots:
    void on_pushButton_save_clicked();
    void on_pushButton_exit_clicked();

private:
    Ui::MyMessageBox *ui;
};
