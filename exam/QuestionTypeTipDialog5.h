#pragma once

#include <QDialog>

namespace Ui {
class QuestionTypeTipDialog5;
}

// The notice shown when the exam window refuses a move; "确定" closes it and
// it deletes itself when closed.
class QuestionTypeTipDialog5 : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionTypeTipDialog5(QWidget *parent = nullptr);
    ~QuestionTypeTipDialog5() override;

    void setText(const QString &text);

signals:
    // Declared for the family; the notice reports nothing.
    void sendSignal(int value);

public slots:
    void clickConfirm();

private:
    Ui::QuestionTypeTipDialog5 *ui;
};
