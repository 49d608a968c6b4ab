#pragma once

#include "PlainCellBase.h"

namespace Ui {
class SIMPLE_CASE_EXPLAINECellForm;
}

// One free-text question of the case-analysis kinds (types 12, 14, 16):
// "显示答案" shows the stored answer (pictures and line breaks included) and,
// in practice mode, records a typed text, judged against the stored answer.
// Filled with setData or setExamData; the saved text comes back in the box.
class SIMPLE_CASE_EXPLAINECellForm : public PlainCellBase
{
    Q_OBJECT
public:
    explicit SIMPLE_CASE_EXPLAINECellForm(QWidget *parent = nullptr);
    ~SIMPLE_CASE_EXPLAINECellForm() override;

    // The text box takes the skin colour for its border.
    void setStyle(const QString &skin) override;
    // Shows the answer; in practice mode a typed text is recorded and
    // reported with its state and an empty answer text.
    void showAnswer() override;

private slots:
    void on_pushButton_showanswer_clicked();

private:
    void takeAnswers(const QuestionData &question) override;

    Ui::SIMPLE_CASE_EXPLAINECellForm *ui;
};
