#pragma once

#include "PlainCellBase.h"

namespace Ui {
class YNCellForm;
}

// One true/false question (type 11): two options as radio buttons, judged
// at once against the stored answer, the name of the right option. Filled
// with setData or setExamData; a saved choice comes back checked.
class YNCellForm : public PlainCellBase
{
    Q_OBJECT
public:
    explicit YNCellForm(QWidget *parent = nullptr);
    ~YNCellForm() override;

private slots:
    void on_pushButton_showanswer_clicked();
    void on_radioButton_clicked(bool checked);
    void on_radioButton_2_clicked(bool checked);

private:
    void takeAnswers(const QuestionData &question) override;
    void choose(const QString &optName);

    Ui::YNCellForm *ui;
    QString userAnswer;
    QString optionAName;
    QString optionBName;
};
