#pragma once

#include <QWidget>

namespace Ui {
class QuestionAnswerCellForm;
}

// One option row of a choice question: the answer mark, the selection mark
// and the option text. It shows what its cell tells it and reports a click
// on the mark or the text as sendclick(row).
class QuestionAnswerCellForm : public QWidget
{
    Q_OBJECT
public:
    explicit QuestionAnswerCellForm(QWidget *parent = nullptr);
    ~QuestionAnswerCellForm() override;

    void setRow(int row);
    // 0 radio marks, 1 check boxes; shows at the next setChecked.
    void setChoiceKind(int kind);
    // 1 selected, 0 not; any other value is kept and leaves the picture.
    void setChecked(int checked);
    int isChecked() const;
    // 1 right, 2 wrong (drawn only when paint is true); any other mark clears.
    void setMark(int mark, bool paint);
    // Shows the text as rich text; returns the height of the last distinct
    // picture in it, 0 without any.
    int setOptionText(const QString &text);

signals:
    void sendclick(int row);

private slots:
    void receiveclick();

private:
    Ui::QuestionAnswerCellForm *ui;
    int checked = 0;
    int row = 0;
    int choiceKind = 0;
};
