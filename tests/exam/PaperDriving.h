#pragma once

#include <QApplication>
#include <QList>
#include <QString>
#include <QStringList>

class NewTalkExamForm;
class QuestionTypeTipDialog3;

// Drives the timed exam window as a user does: answers the shown question,
// walks a paper through its parts and reads the notices it shows.

template<typename T>
QList<T *> visible()
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<T *>(widget)) {
            if (dialog->isVisible())
                found << dialog;
        }
    }
    return found;
}

template<typename T>
void closeAll()
{
    for (T *dialog : visible<T>())
        dialog->close();
}

// The text of the one notice on screen, which is closed; empty when none.
QString takeNotice();

// Clicks option row `row` of the shown choice question.
bool chooseRow(NewTalkExamForm *window, int row);

// One user step on the shown question: "row:N" clicks option row N,
// "combo:N" moves the shared-option box to item N with the arrow keys (item 0
// is "请选择答案"), "judge:N" clicks true/false choice N, "type:TEXT" types
// into the answer box and "erase:N" takes N characters back.
bool step(NewTalkExamForm *window, const QString &action);

// "row:N" steps for the given rows, in order.
QStringList rows(const QList<int> &numbers);

// Answers the shown question whatever its kind (choices: two rows, so that a
// multiple-choice question may be left).
bool answerShown(NewTalkExamForm *window);

// Answers every question, entering each part, up to the submit confirmation;
// null (with a warning) when a move is refused.
QuestionTypeTipDialog3 *answerWholePaper(NewTalkExamForm *window);
