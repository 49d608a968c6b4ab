#include "QuestionsForm.h"
#include "ui_QuestionsForm.h"

#include "ClockText.h"
#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "MarkForm.h"
#include "MyMessageBox.h"
#include "PlainCellBase.h"
#include "QuestionCellFactory.h"
#include "QuestionCellForm.h"
#include "QuestionData.h"
#include "SqliteData.h"

#include <QCloseEvent>
#include <QDebug>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int questionRowHeight = 391;
constexpr int barHeight = 35;
constexpr int headerHeight = 30;

// Free-text questions have no options: a choice cell could never take an
// answer, and by the in-order rule every later question would be refused.
bool hasOwnCell(int queTypeId)
{
    const QuestionCellFactory::Kind kind = QuestionCellFactory::kindOf(queTypeId);
    return kind == QuestionCellFactory::Kind::FillIn || kind == QuestionCellFactory::Kind::CaseAnalysis;
}

// These cells show the first question of the group they are given; a view
// of the group that holds only this question shows any of its questions.
void fillPlainCell(PlainCellBase *cell, int number, const MainQuestion &group, QuestionData *question)
{
    MainQuestion view;
    view.cateListId = group.cateListId;
    view.cateId = group.cateId;
    view.queTypeId = group.queTypeId;
    view.publicQueText = group.publicQueText;
    view.kind = group.kind;
    view.queType = group.queType;
    view.questions.append(question);
    cell->setData(number, &view, 0);
    view.questions.clear(); // borrowed: the group owns it
}

} // namespace

QuestionsForm::QuestionsForm(QWidget *parent)
    : QDialog(parent), ui(new Ui::QuestionsForm), messageBox(new MyMessageBox)
{
    ui->setupUi(this);
    qRegisterMetaType<SqliteData *>("SqliteData*");
    ui->tableWidget_button->setFocusPolicy(Qt::NoFocus);
    ui->tableWidget_questions->setFocusPolicy(Qt::NoFocus);
    messageBox->setTitle(QStringLiteral("提示"));
    ui->tableWidget_button->hide();
    // Below the bar and the header one whole question row must fit, or its
    // buttons are cut off and no scrolling brings them back.
    ui->tableWidget_questions->horizontalHeader()->setFixedHeight(headerHeight);
    ui->tableWidget_button->horizontalHeader()->setFixedHeight(headerHeight);
    setMinimumHeight(barHeight + headerHeight + questionRowHeight);
}

QuestionsForm::~QuestionsForm()
{
    if (worker) {
        worker->releaseOwner(this); // a load still queued here is freed, not lost
        delete worker;
    }
    clearTables();
    qDeleteAll(records);
    delete messageBox;
    delete ui;
}

void QuestionsForm::setSkinColor(const QString &color)
{
    skinColor = color;
    messageBox->setSkinColor(color);
}

void QuestionsForm::startQuestionSet(SqliteData *set)
{
    if (!set)
        return;
    if (!worker) {
        worker = new DataToUiThreadClass;
        worker->setParent(this); // found as the dialog's child; still deleted first by the destructor
        connect(worker, &DataToUiThreadClass::sendJobStarted, this, &QuestionsForm::receiveJobStarted);
        connect(worker, &DataToUiThreadClass::sendQuestion, this, &QuestionsForm::receiveQuestion);
    } else {
        // The set being left: whatever its load still delivers is dropped,
        // so it never shows under the new set's name.
        worker->stop();
    }
    const int cateId = set->text0.toInt(nullptr, 10);
    initTables(set->text1);
    worker->setJob(1, cateId);
    progressBase = 10;
    emit sendPressValue(progressBase);
    worker->start(QThread::InheritPriority);

    // One clock for the dialog's life: a second start restarts it, never
    // adds another. The counters run on.
    if (!clock) {
        clock = new QTimer(this);
        clock->setObjectName(QStringLiteral("clock"));
        connect(clock, &QTimer::timeout, this, &QuestionsForm::receiveTimeOut);
    }
    clock->start(1000);
}

void QuestionsForm::initTables(const QString &setName)
{
    QTableWidget *questions = ui->tableWidget_questions;
    questions->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    questions->setSelectionBehavior(QAbstractItemView::SelectRows);
    questions->setHorizontalHeaderLabels({setName});
    ui->tableWidget_button->setHorizontalHeaderLabels({QStringLiteral("题目列表")});
    questions->setShowGrid(false);
    ui->tableWidget_button->setShowGrid(false);
}

void QuestionsForm::receiveJobStarted(int generation)
{
    arrivingGeneration = generation;
}

void QuestionsForm::receiveQuestion(int ret, QList<MainQuestion *> questions)
{
    if (!worker || arrivingGeneration != worker->generation()) {
        qDeleteAll(questions); // a load that was replaced or left
        return;
    }
    // Emitted from inside run(): the thread may still be returning.
    worker->wait();
    // The cells copied what they show: they may go after their records.
    clearTables();
    qDeleteAll(records);
    records.clear();
    if (ret == -1) {
        qDebug().noquote() << QStringLiteral("receiveQuestion:") + worker->lastErrorText();
        qDeleteAll(questions); // groups read before the failure
        fillTables({});        // the previous set must not stand under the new name
        return;
    }
    records = questions;
    fillTables(records);
}

void QuestionsForm::clearTables()
{
    ui->tableWidget_questions->clearContents();
    ui->tableWidget_questions->setRowCount(0);
    ui->tableWidget_button->clear();
    ui->tableWidget_button->setRowCount(0);
}

void QuestionsForm::fillTables(const QList<MainQuestion *> &groups)
{
    QTableWidget *side = ui->tableWidget_button;
    QTableWidget *questions = ui->tableWidget_questions;
    clearTables();
    side->setSelectionBehavior(QAbstractItemView::SelectRows);
    side->setColumnCount(1);
    questions->setColumnCount(1);
    side->setHorizontalHeaderLabels({QStringLiteral("题目列表")});
    // The list is at most 300 wide and its scroll bar always shows: a
    // column of 300 would hide the end of every title under the bar.
    side->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    questions->setContentsMargins(0, 0, 0, 0);

    int row = 0;
    int lastAnswered = 0;
    for (MainQuestion *group : groups) {
        for (QuestionData *question : qAsConst(group->questions)) {
            addQuestion(row, group, question);
            if (question->userStatus != 0)
                lastAnswered = row;
            emit sendPressValue(progressBase + row);
            ++row;
        }
    }
    // The question after the last one answered; past the last row nothing
    // is selected and the table shows its top.
    side->selectRow(lastAnswered > 0 ? lastAnswered + 1 : 0);
    emit side->clicked(side->currentIndex());
}

void QuestionsForm::addQuestion(int row, MainQuestion *group, QuestionData *question)
{
    QTableWidget *questions = ui->tableWidget_questions;
    QWidget *cell = newCell(group->queTypeId);
    questions->insertRow(row);
    if (auto *choice = qobject_cast<QuestionCellForm *>(cell))
        choice->setQuestion(row + 1, group, question, question->options, 0);
    else if (auto *plain = qobject_cast<PlainCellBase *>(cell))
        fillPlainCell(plain, row + 1, *group, question);
    questions->setCellWidget(row, 0, cell);
    questions->setRowHeight(row, questionRowHeight);
    keepInOrder(row);

    const QString title = QStringLiteral("【%1】.%2").arg(QString::number(row + 1), question->queText);
    ui->tableWidget_button->insertRow(row);
    auto *mark = new MarkForm;
    mark->setFavoriteIcon(question->userFav);
    mark->setNoteIcon(!question->userNote.isEmpty());
    mark->setStateIcon(question->userStatus);
    mark->setTitle(title);
    ui->tableWidget_button->setCellWidget(row, 0, mark);
}

// A styled, connected cell, not yet filled.
QWidget *QuestionsForm::newCell(int queTypeId)
{
    if (hasOwnCell(queTypeId)) {
        // Answered in the cell itself: nothing to forward.
        QWidget *cell = QuestionCellFactory::create(
            queTypeId, this, [this](int id, int state, QString) { receiveState(id, state); }, {});
        QuestionCellFactory::setStyle(cell, skinColor);
        return cell;
    }
    auto *cell = new QuestionCellForm;
    cell->setStyle(skinColor);
    connect(cell, &QuestionCellForm::sendMark, this, &QuestionsForm::receiveMark);
    connect(cell, &QuestionCellForm::sendNote, this, &QuestionsForm::receiveNote);
    connect(cell, &QuestionCellForm::sendState, this, [this](int id, int state, QString) { receiveState(id, state); });
    connect(cell, &QuestionCellForm::sendUpQuestion, this, &QuestionsForm::receiveUpQestion);
    connect(cell, &QuestionCellForm::sendDownQuestion, this, &QuestionsForm::receiveDownQestion);
    connect(cell, &QuestionCellForm::sendClicked, this, &QuestionsForm::receiveQuestionCellClicked);
    cell->setForwardClicks(1);
    return cell;
}

MarkForm *QuestionsForm::markRow(int row) const
{
    return qobject_cast<MarkForm *>(ui->tableWidget_button->cellWidget(row, 0));
}

void QuestionsForm::showMessage(const QString &text)
{
    messageBox->setMessage(text);
    messageBox->show();
}

void QuestionsForm::receiveTimeOut()
{
    if (++seconds > 59) {
        seconds = 0;
        if (++minutes > 59) {
            minutes = 0;
            ++hours;
        }
    }
    ui->label_time->setText(clockText(hours, minutes, seconds));
}

void QuestionsForm::receiveMark(int id, bool state)
{
    if (MarkForm *mark = markRow(id))
        mark->setFavoriteIcon(state);
}

void QuestionsForm::receiveNote(int id, bool state)
{
    if (MarkForm *mark = markRow(id))
        mark->setNoteIcon(state);
}

void QuestionsForm::receiveState(int id, int state)
{
    ui->tableWidget_button->setCurrentCell(id, 0);
    if (MarkForm *mark = markRow(id))
        mark->setStateIcon(state);
    keepInOrder(id + 1);
}

void QuestionsForm::keepInOrder(int row)
{
    QTableWidget *questions = ui->tableWidget_questions;
    auto *cell = qobject_cast<PlainCellBase *>(questions->cellWidget(row, 0));
    if (!cell || row == 0)
        return;
    cell->setInputOpen(QuestionCellFactory::answerState(questions->cellWidget(row - 1, 0)) != 0);
    cell->installEventFilter(this);
}

// A closed input lets the press through to its cell.
bool QuestionsForm::eventFilter(QObject *watched, QEvent *event)
{
    auto *cell = qobject_cast<PlainCellBase *>(watched);
    if (cell && event->type() == QEvent::MouseButtonPress) {
        const QWidget *pressed = cell->childAt(static_cast<QMouseEvent *>(event)->pos());
        if (pressed && !pressed->isEnabled())
            showMessage(QStringLiteral("上有未做的题,请按顺序答题."));
    }
    return QDialog::eventFilter(watched, event);
}

void QuestionsForm::goToRow(int row)
{
    QTableWidget *side = ui->tableWidget_button;
    side->selectRow(row);
    emit side->clicked(side->currentIndex());
}

void QuestionsForm::receiveUpQestion()
{
    const int current = ui->tableWidget_button->currentRow();
    if (current <= 0)
        return;
    goToRow(current - 1);
}

void QuestionsForm::receiveDownQestion()
{
    const int current = ui->tableWidget_button->currentRow();
    if (current < 0)
        return;
    const MarkForm *mark = markRow(current);
    if (!mark || mark->state() == 0) {
        showMessage(QStringLiteral("请选择答案."));
        return;
    }
    goToRow(qMin(current + 1, ui->tableWidget_button->rowCount() - 1));
}

void QuestionsForm::receiveQuestionCellClicked(int id, int clickedid)
{
    QTableWidget *questions = ui->tableWidget_questions;
    const int row = qMax(id, 0);
    // Only the question directly before counts, whatever its cell.
    if (row > 0 && QuestionCellFactory::answerState(questions->cellWidget(row - 1, 0)) == 0) {
        showMessage(QStringLiteral("上有未做的题,请按顺序答题."));
        return;
    }
    if (auto *cell = qobject_cast<QuestionCellForm *>(questions->cellWidget(row, 0)))
        cell->chooseOption(clickedid);
}

void QuestionsForm::on_tableWidget_button_clicked(const QModelIndex &index)
{
    ui->tableWidget_questions->verticalScrollBar()->setValue(index.row());
}

void QuestionsForm::on_pushButton_showbutton_clicked(bool)
{
    QTableWidget *side = ui->tableWidget_button;
    if (side->isHidden()) {
        ui->pushButton_showbutton->setText(QStringLiteral("<<"));
        side->show();
    } else {
        ui->pushButton_showbutton->setText(QStringLiteral(">>"));
        side->hide();
    }
}

void QuestionsForm::reject()
{
    if (isWindow())
        QDialog::reject();
}

void QuestionsForm::closeEvent(QCloseEvent *event)
{
    emit sendQuestionsFormCloseEvent();
    QDialog::closeEvent(event);
}
