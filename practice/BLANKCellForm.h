#pragma once

#include "PlainCellBase.h"

namespace Ui {
class BLANKCellForm;
}

// One fill-in question (type 10): the user types an answer and presses
// "显示答案", which shows the stored answer and records the text, right when
// it reads as the stored answer, else wrong. Filled with setData or
// setExamData; the saved text comes back in the box.
class BLANKCellForm : public PlainCellBase
{
    Q_OBJECT
public:
    explicit BLANKCellForm(QWidget *parent = nullptr);
    ~BLANKCellForm() override;

    // The stored answer as the answer line shows it: its parts, split at
    // "||" or else at ideographic spaces, joined by commas.
    static QString answerLine(const QString &stored);

private slots:
    void on_pushButton_showanswer_clicked();

private:
    void takeAnswers(const QuestionData &question) override;

    Ui::BLANKCellForm *ui;
};
