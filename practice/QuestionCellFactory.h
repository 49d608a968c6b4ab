#pragma once

#include <QString>
#include <functional>

class QObject;
class QWidget;

// The one rule from a question type (queTypeId) to the cell that shows it,
// for every page that builds cells. Each caller fills the cell its own way.
class QuestionCellFactory
{
public:
    enum class Kind {
        None,           // 0, 5, 8, 9, 13, 15, above 16
        Choice,         // 1, 2, 3, 4, 6: QuestionCellForm
        SharedOption,   // 7: B1CellForm
        FillIn,         // 10: BLANKCellForm
        TrueFalse,      // 11: YNCellForm
        CaseAnalysis,   // 12, 14, 16: SIMPLE_CASE_EXPLAINECellForm
    };
    static Kind kindOf(int queTypeId);

    // (id, state, answer text) or (report kind, queId, question text).
    using Receiver = std::function<void(int, int, QString)>;

    // A new cell of the type, without parent; null for a type without one.
    // Its answer state goes to onState; the error report of the choice and
    // shared-option cells, the only ones that offer it, to onError. Either
    // may be empty. The connections end when context goes.
    static QWidget *create(int queTypeId, QObject *context, const Receiver &onState, const Receiver &onError);

    // What every cell takes alike; each does nothing for a null cell.
    static void setStyle(QWidget *cell, const QString &skin);
    static void setKeyword(QWidget *cell, const QString &keyword);
    // 0 none, 1 right, 2 wrong.
    static int answerState(const QWidget *cell);
    // Reveals the answer: every sub-question of a shared-option group.
    static void showAnswer(QWidget *cell);

    QuestionCellFactory() = delete;
};
