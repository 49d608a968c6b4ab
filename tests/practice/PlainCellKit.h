#pragma once

#include "MainQuestion.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

// Helpers of the tests of the true/false, fill-in and case-analysis cells.

inline QString cellSkin()
{
    return QStringLiteral("80,153,2,255");
}

enum class Fill { Practice, Browse, Exam };

// The question unanswered, its log rows gone, its stored answer as given.
QStringList freshAnswer(int queId, const QString &answer);
// The question's answer-log rows of type "001", oldest first: "state:answer" each.
QString answerLog(int queId);
// The question's user state and answer: "state|answer".
QString userColumns(int queId);
// Every call of a sendAnswerState spy: "id|state|answer", joined by ";".
QString signalCalls(const QSignalSpy &spy);

QLabel *label(QWidget *cell, const char *name);
QPushButton *button(QWidget *cell, const char *name);
QWidget *child(QWidget *cell, const char *name);
QTextEdit *answerBox(QWidget *cell);
// Types ASCII keys and '<' for Backspace into the cell's text box.
void typeInto(QWidget *cell, const QString &keys);
// Clicks the true/false option 'A' or 'B' on its mark, where a user clicks.
void clickOption(QWidget *cell, QChar letter);
// The checked true/false option, "A", "B" or "".
QString checkedOption(QWidget *cell);
// Whether the widget would be seen once its window shows.
bool shown(QWidget *cell, const char *name);

// Shows the window at a page's size and waits until it is active.
bool showActiveWindow(QWidget &window);

// A cell as the pages make it: styled, filled last, in an active window.
template <class Cell>
struct CellPage {
    QWidget window;
    Cell *cell = new Cell;

    explicit CellPage(const QString &keyword = QString(), bool atOnce = false)
    {
        (new QVBoxLayout(&window))->addWidget(cell);
        cell->setStyle(cellSkin());
        cell->setKeyword(keyword);
        cell->setShowAnswerAtOnce(atOnce);
    }
    Cell *fill(MainQuestion *group, Fill how, int number = 1)
    {
        if (how == Fill::Exam)
            cell->setExamData(number, group);
        else
            cell->setData(number, group, how == Fill::Browse ? 1 : 0);
        return cell;
    }
    bool showActive() { return showActiveWindow(window); }
};
