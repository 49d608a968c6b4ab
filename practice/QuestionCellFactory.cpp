#include "QuestionCellFactory.h"

#include "B1CellForm.h"
#include "BLANKCellForm.h"
#include "QuestionCellForm.h"
#include "SIMPLE_CASE_EXPLAINECellForm.h"
#include "YNCellForm.h"

QuestionCellFactory::Kind QuestionCellFactory::kindOf(int queTypeId)
{
    switch (queTypeId) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
        return Kind::Choice;
    case 7:
        return Kind::SharedOption;
    case 10:
        return Kind::FillIn;
    case 11:
        return Kind::TrueFalse;
    case 12:
    case 14:
    case 16:
        return Kind::CaseAnalysis;
    default:
        return Kind::None;
    }
}

namespace {

template <class Cell, class Signal>
void link(Cell *cell, Signal signal, QObject *context, const QuestionCellFactory::Receiver &receiver)
{
    if (receiver)
        QObject::connect(cell, signal, context, receiver);
}

template <class Cell>
Cell *plainCell(QObject *context, const QuestionCellFactory::Receiver &onState)
{
    auto *cell = new Cell;
    link(cell, &PlainCellBase::sendAnswerState, context, onState);
    return cell;
}

} // namespace

QWidget *QuestionCellFactory::create(int queTypeId, QObject *context, const Receiver &onState,
                                     const Receiver &onError)
{
    switch (kindOf(queTypeId)) {
    case Kind::Choice: {
        auto *cell = new QuestionCellForm;
        link(cell, &QuestionCellForm::sendState, context, onState);
        link(cell, &QuestionCellBase::sendChangeError, context, onError);
        return cell;
    }
    case Kind::SharedOption: {
        auto *cell = new B1CellForm;
        link(cell, &B1CellForm::sendB1State, context, onState);
        link(cell, &B1CellForm::sendChangeError, context, onError);
        return cell;
    }
    case Kind::FillIn:
        return plainCell<BLANKCellForm>(context, onState);
    case Kind::TrueFalse:
        return plainCell<YNCellForm>(context, onState);
    case Kind::CaseAnalysis:
        return plainCell<SIMPLE_CASE_EXPLAINECellForm>(context, onState);
    case Kind::None:
        break;
    }
    return nullptr;
}

void QuestionCellFactory::setStyle(QWidget *cell, const QString &skin)
{
    if (auto *question = qobject_cast<QuestionCellBase *>(cell))
        question->setStyle(skin);
    else if (auto *group = qobject_cast<B1CellForm *>(cell))
        group->setStyle(skin);
}

void QuestionCellFactory::setKeyword(QWidget *cell, const QString &keyword)
{
    if (auto *question = qobject_cast<QuestionCellBase *>(cell))
        question->setKeyword(keyword);
    else if (auto *group = qobject_cast<B1CellForm *>(cell))
        group->setKeyword(keyword);
}

int QuestionCellFactory::answerState(const QWidget *cell)
{
    if (auto *question = qobject_cast<const QuestionCellBase *>(cell))
        return question->answerState();
    if (auto *group = qobject_cast<const B1CellForm *>(cell))
        return group->answerState();
    return 0;
}

void QuestionCellFactory::showAnswer(QWidget *cell)
{
    if (auto *choice = qobject_cast<QuestionCellForm *>(cell))
        choice->showAnswer();
    else if (auto *plain = qobject_cast<PlainCellBase *>(cell))
        plain->showAnswer();
    else if (auto *group = qobject_cast<B1CellForm *>(cell))
        group->showAllAnswers();
}
