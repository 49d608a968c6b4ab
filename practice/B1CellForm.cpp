#include "B1CellForm.h"
#include "ui_B1CellForm.h"

#include "B1CellOptionForm.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionCellBase.h"
#include "QuestionData.h"
#include "SqliteClass.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>

namespace {

// Room above and below an option's text within its row.
constexpr int rowPadding = 6;

} // namespace

B1CellForm::B1CellForm(QWidget *parent) : QWidget(parent), ui(new Ui::B1CellForm)
{
    ui->setupUi(this);
    // Rows take the height of their wrapped text and pictures, and the table
    // (no scroll bars, fixed at its size hint) the height of its rows: no
    // option is cut off.
    QTableWidget *table = ui->tableWidget_questions;
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->viewport()->installEventFilter(this);
}

// The sub-questions are children of the form and go with it.
B1CellForm::~B1CellForm()
{
    delete ui;
}

void B1CellForm::setStyle(const QString &skin)
{
    QuestionCellBase::styleHeading(ui->label_id, ui->label_typename, skin);
    skinColor = skin;
}

void B1CellForm::setKeyword(const QString &word)
{
    keyword = word;
}

void B1CellForm::setData(int sourceKind, const QString &numberText, int number, MainQuestion *group, int mode)
{
    fillMode = mode;
    ui->label_id->setText(numberText);
    QString stem = group->publicQueText;
    if (fillMode == 1) {
        ui->label_id->hide();
        ui->textEdit_questiontypename->hide();
        stem.clear();
    }
    QString stemHtml = SqliteClass::instance()->questionTextToHtml(stem);
    if (fillMode == 2)
        stemHtml = SqliteClass::highlightKeyword(stemHtml, keyword);
    ui->label_typename->setText(QStringLiteral("[%1]").arg(group->queType ? group->queType->queTypeName : QString()));
    ui->textEdit_questiontypename->setText(stemHtml);

    // A group without questions shows its number and stem only.
    fillOptionTable(group->questions.isEmpty() ? QList<OptionData *>() : group->questions.first()->options);
    for (QuestionData *question : qAsConst(group->questions)) {
        auto *sub = new B1CellOptionForm;
        connect(sub, &B1CellOptionForm::sendAnswerState, this, &B1CellForm::receiveAnswerState);
        connect(sub, &B1CellOptionForm::sendChangeError, this, &B1CellForm::receiveChangeError);
        sub->setLetters(letters);
        sub->setStyle(skinColor);
        sub->setKeyword(keyword);
        sub->setData(sourceKind, numberText, number, question, fillMode);
        ui->verticalLayout_questiontile->addWidget(sub);
    }
}

void B1CellForm::fillOptionTable(const QList<OptionData *> &options)
{
    QTableWidget *table = ui->tableWidget_questions;
    letters.clear();
    table->setColumnCount(1);
    table->setRowCount(options.size());
    for (int i = 0; i < options.size(); ++i) {
        const OptionData *option = options[i];
        auto *text = new QLabel(SqliteClass::instance()->questionTextToHtml(
            QStringLiteral("%1. %2").arg(option->optName, option->optText)));
        text->setWordWrap(true);
        table->setCellWidget(i, 0, text);
        letters << option->optName;
    }
    table->setVisible(!options.isEmpty());
    fitOptionRows();
}

// The one column fills the table: its width is the viewport's.
bool B1CellForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tableWidget_questions->viewport() && event->type() == QEvent::Resize)
        fitOptionRows();
    return QWidget::eventFilter(watched, event);
}

void B1CellForm::fitOptionRows()
{
    QTableWidget *table = ui->tableWidget_questions;
    const int width = table->viewport()->width();
    const int least = table->verticalHeader()->defaultSectionSize();
    for (int row = 0; row < table->rowCount(); ++row) {
        const QWidget *text = table->cellWidget(row, 0);
        table->setRowHeight(row, qMax(least, text->heightForWidth(width) + rowPadding));
    }
}

void B1CellForm::showAllAnswers()
{
    for (int i = 0; i < ui->verticalLayout_questiontile->count(); ++i) {
        if (auto *sub = qobject_cast<B1CellOptionForm *>(ui->verticalLayout_questiontile->itemAt(i)->widget()))
            sub->showAnswer();
    }
}

void B1CellForm::receiveAnswerState(int id, int newState, QString answer)
{
    state = newState;
    emit sendB1State(id, newState, answer);
}

void B1CellForm::receiveChangeError(int titletype, int queid, QString quetext)
{
    emit sendChangeError(titletype, queid, quetext);
}
