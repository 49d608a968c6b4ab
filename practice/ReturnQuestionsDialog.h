#pragma once

#include "FramelessDialog.h"

namespace Ui {
class ReturnQuestionsDialog;
}

// The summary at the end of a question set: the next set (sendReturnQuestions(0)),
// back to the question bank (1), or just close. It deletes itself when closed.
class ReturnQuestionsDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit ReturnQuestionsDialog(QWidget *parent = nullptr);
    ~ReturnQuestionsDialog() override;

    // Mode 0 an ordinary set, 1 the last set of its chapter (the left button
    // reads "取消" and only closes), 2 a set opened from the home page.
    void setMode(const QString &text, int mode);
    void setSkinColor(const QString &color);

signals:
    void sendReturnQuestions(int target);

private slots:
    void on_pushButton_next_clicked();
    void on_pushButton_returnquestions_clicked();
    void on_pushButton_exit_clicked();

private:
    Ui::ReturnQuestionsDialog *ui;
    int mode = 0;
};
