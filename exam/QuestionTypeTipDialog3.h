#pragma once

#include <QDialog>

namespace Ui {
class QuestionTypeTipDialog3;
}

// Asks before the paper is submitted; "确定" reports 0, "取消" nothing. It
// deletes itself when closed. The message scrolls when it is long; the
// question under it stays in view.
class QuestionTypeTipDialog3 : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionTypeTipDialog3(QWidget *parent = nullptr);
    ~QuestionTypeTipDialog3() override;

    void setText(const QString &text);
    // Shown below the message; none when empty.
    void setQuestion(const QString &question);

signals:
    void sendSignal(int value);

public slots:
    void clickConfirm();
    void clickCancel();

private:
    Ui::QuestionTypeTipDialog3 *ui;
    int value = 0;
};
