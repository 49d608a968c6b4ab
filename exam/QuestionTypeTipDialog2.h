#pragma once

#include <QDialog>

namespace Ui {
class QuestionTypeTipDialog2;
}

// Asks before the user enters the next part, after which the parts before
// it are closed; "确定" reports the part index. It deletes itself when closed.
class QuestionTypeTipDialog2 : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionTypeTipDialog2(QWidget *parent = nullptr);
    ~QuestionTypeTipDialog2() override;

    void setIndex(int index);
    void setTexts(const QString &description, const QString &currentPart, const QString &nextPart);

signals:
    void sendNextSignal(int index);

public slots:
    void clickConfirm();
    void clickCancel();

private:
    Ui::QuestionTypeTipDialog2 *ui;
    int partIndex = 0;
};
