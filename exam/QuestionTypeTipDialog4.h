#pragma once

#include <QDialog>

namespace Ui {
class QuestionTypeTipDialog4;
}

// The result box after grading; every button closes it and it deletes
// itself when closed.
class QuestionTypeTipDialog4 : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionTypeTipDialog4(QWidget *parent = nullptr);
    ~QuestionTypeTipDialog4() override;

    void setText(const QString &text);

signals:
    // Declared for the family; the result box reports nothing.
    void sendSignal(int value);

public slots:
    void clickConfirm();
    void clickCancel();

private:
    Ui::QuestionTypeTipDialog4 *ui;
};
