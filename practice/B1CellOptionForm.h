#pragma once

#include "QuestionCellBase.h"

#include <QStringList>

class QuestionData;

namespace Ui {
class B1CellOptionForm;
}

// One sub-question of a shared-option group: its text and a combo box of the
// group's option letters. A chosen letter is judged against the stored
// answer, recorded in practice mode and reported with sendAnswerState.
class B1CellOptionForm : public QuestionCellBase
{
    Q_OBJECT
public:
    explicit B1CellOptionForm(QWidget *parent = nullptr);
    ~B1CellOptionForm() override;

    // The group's option letters, after the placeholder item.
    void setLetters(const QStringList &letters);
    // Also gives the combo box the skin colour.
    void setStyle(const QString &skin) override;
    // Fill mode 0 practice, 1 exam, 2 browse; only source kind 2 offers the
    // error report. number is the first argument of every signal.
    void setData(int sourceKind, const QString &numberText, int number, QuestionData *question, int fillMode);
    // Opens the answer panel; in exam mode the question then takes no further choice.
    void showAnswer();

signals:
    void sendAnswerState(int id, int state, QString answer);

protected:
    // The closed box leaves the wheel to the view that scrolls the question.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_pushButton_showanswer_clicked();
    void receiveIndexChange(int item);

private:
    enum class Choice { ByUser, Restore };
    void choose(int item, Choice how);
    void restoreAnswer(const QString &saved);

    Ui::B1CellOptionForm *ui;
    // The text of the item chosen last; empty while the placeholder stands.
    QString userAnswer;
};
