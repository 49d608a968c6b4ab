#pragma once

#include "B1CellForm.h"
#include "B1CellOptionForm.h"
#include "ErrorReport.h"
#include "PlainCellKit.h"
#include "QuestionCellForm.h"
#include "ScrollAreaCellForm.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLayout>
#include <QTableWidget>
#include <QTest>

// Helpers of the question view tests.

inline QLayout *cellLayout(ScrollAreaCellForm &view)
{
    return view.findChild<QLayout *>(QStringLiteral("verticalLayout_add"));
}

// The one cell in the view, null when there is none.
inline QWidget *viewCell(ScrollAreaCellForm &view)
{
    QLayoutItem *item = cellLayout(view)->itemAt(0);
    return item ? item->widget() : nullptr;
}

inline QString cellClass(QWidget *cell)
{
    return cell ? QString::fromLatin1(cell->metaObject()->className()) : QStringLiteral("none");
}

inline QList<B1CellOptionForm *> subQuestions(QWidget *group)
{
    QList<B1CellOptionForm *> subs;
    QLayout *layout = group->findChild<QLayout *>(QStringLiteral("verticalLayout_questiontile"));
    for (int i = 0; i < layout->count(); ++i)
        subs << qobject_cast<B1CellOptionForm *>(layout->itemAt(i)->widget());
    return subs;
}

// The question cells a user answers in: the cell itself, or the sub-questions of a group.
inline QList<QuestionCellBase *> answeringCells(QWidget *cell)
{
    if (auto *group = qobject_cast<B1CellForm *>(cell)) {
        QList<QuestionCellBase *> subs;
        for (B1CellOptionForm *sub : subQuestions(group))
            subs << sub;
        return subs;
    }
    if (auto *question = qobject_cast<QuestionCellBase *>(cell))
        return {question};
    return {};
}

// Whether every answer line of the cell shows.
inline bool answersShown(QWidget *cell)
{
    const QList<QLabel *> lines = cell->findChildren<QLabel *>(QStringLiteral("label_rigthanswer"));
    if (lines.isEmpty())
        return false;
    for (QLabel *line : lines) {
        if (!line->isVisibleTo(cell))
            return false;
    }
    return true;
}

// Picks the letter in the sub-question's box as a user does: a click opens
// the list, the arrow keys walk to it, Return takes it.
inline bool chooseLetter(QWidget *sub, const QString &letter)
{
    auto *combo = sub->findChild<QComboBox *>(QStringLiteral("comboBox_answer"));
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView *list = combo->view();
    if (!list->isVisible())
        return false;
    const int target = combo->findText(letter);
    if (target < 0)
        return false;
    for (int item = list->currentIndex().row(); item != target; item += item < target ? 1 : -1)
        QTest::keyClick(list, item < target ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    return QTest::qWaitFor([list] { return !list->isVisible(); });
}

// Answers the shown cell as a user would: the first option, the letter "A",
// option A of a true/false question or a typed text. False when the cell
// offers no way to answer.
inline bool answerCell(QWidget *cell)
{
    if (auto *choice = qobject_cast<QuestionCellForm *>(cell)) {
        auto *table = choice->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
        QWidget *row = table && table->rowCount() > 0 ? table->cellWidget(0, 0) : nullptr;
        auto *text = row ? row->findChild<QLabel *>(QStringLiteral("label_text")) : nullptr;
        if (!text)
            return false;
        QTest::mouseClick(text, Qt::LeftButton);
        // The click reaches the cell once the release is done with.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        return true;
    }
    if (auto *group = qobject_cast<B1CellForm *>(cell)) {
        const QList<B1CellOptionForm *> subs = subQuestions(group);
        return !subs.isEmpty() && chooseLetter(subs.first(), QStringLiteral("A"));
    }
    if (answerBox(cell)) {
        answerBox(cell)->setFocus();
        typeInto(cell, QStringLiteral("abc"));
        return true;
    }
    if (child(cell, "radioButton")) {
        clickOption(cell, QLatin1Char('A'));
        return true;
    }
    return false;
}

// Takes the error reports while it lives, in place of the form.
struct RecordingOpener {
    struct Report {
        QString skin;
        int kind;
        int queId;
        QString text;
    };
    QList<Report> reports;

    RecordingOpener()
    {
        ErrorReport::setOpener([this](const QString &skin, int kind, int queId, const QString &text) {
            reports.append({skin, kind, queId, text});
            return static_cast<QWidget *>(nullptr);
        });
    }
    ~RecordingOpener() { ErrorReport::setOpener(nullptr); }
    RecordingOpener(const RecordingOpener &) = delete;
    RecordingOpener &operator=(const RecordingOpener &) = delete;
};
