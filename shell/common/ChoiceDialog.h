#pragma once

#include "FramelessDialog.h"

namespace Ui {
class ChoiceDialog;
}

// Asks for a confirmation. OK emits sendOk and closes; cancel and the close
// button only close. It deletes itself when it closes, so a caller makes a
// new one for each question.
class ChoiceDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit ChoiceDialog(QWidget *parent = nullptr);
    ~ChoiceDialog() override;

    void setTitle(const QString &title);
    void setMessage(const QString &message);
    // An empty text keeps the form's green buttons.
    void setSkinColor(const QString &color);

signals:
    void sendOk();

private slots:
    void on_pushButton_save_clicked();
    void on_pushButton_exit_clicked();
    void on_pushButton_save_2_clicked();

private:
    Ui::ChoiceDialog *ui;
};
