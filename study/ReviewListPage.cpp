#include "ReviewListPage.h"

#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "PaintHold.h"
#include "QuestionData.h"
#include "ScrollAreaCellForm.h"
#include "SqliteClass.h"

#include <QDebug>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>

ReviewListPage::ReviewListPage(int code, QWidget *parent)
    : QWidget(parent), jobCode(code)
{
    loader = new DataToUiThreadClass;
    loader->setParent(this);
    connect(loader, &DataToUiThreadClass::sendJobStarted, this, &ReviewListPage::receiveJobStarted);
}

ReviewListPage::~ReviewListPage()
{
    releaseWorker();
    if (form.view)
        form.view->clearCells();
    qDeleteAll(records);
}

void ReviewListPage::releaseWorker()
{
    if (!loader)
        return;
    loader->releaseOwner(this); // rows still queued to this page are freed, not lost
    delete loader;
    loader = nullptr;
}

void ReviewListPage::attachForm(const Form &parts)
{
    form = parts;
    QTableWidget *table = form.table;
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setShowGrid(false);
    tablePaint = new PaintHold(table);
    if (auto *splitter = qobject_cast<QSplitter *>(form.view->parentWidget()))
        splitter->setStretchFactor(splitter->indexOf(form.view), 3);
    form.message->hide();
}

void ReviewListPage::setSkinColor(const QString &color)
{
    form.table->setStyleSheet(SqliteClass::tableWidgetStyle(color));
    form.view->setStyle(color, 1);
}

void ReviewListPage::emptyList()
{
    // The view lets go of the shown record before it is deleted.
    form.view->clearCells();
    qDeleteAll(records);
    records.clear();
    tablePaint->release();
    form.table->clearContents();
    form.table->setRowCount(0);
}

void ReviewListPage::clearList()
{
    // What a load under way still sends is dropped by generation.
    loader->stop();
    emptyList();
}

void ReviewListPage::loadList()
{
    QTableWidget *table = form.table;
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setVisible(false);
    emptyList();
    table->setColumnCount(1);
    loader->stop();
    loader->setJob(jobCode, -1);
    loader->start(QThread::InheritPriority);
}

void ReviewListPage::receiveJobStarted(int generation)
{
    arrivingGeneration = generation;
}

bool ReviewListPage::currentLoad() const
{
    return loader && arrivingGeneration == loader->generation();
}

void ReviewListPage::takeRow(int queindex, MainQuestion *mainquestion)
{
    if (!currentLoad() || !mainquestion || mainquestion->questions.isEmpty()) {
        delete mainquestion;
        return;
    }
    records << mainquestion;
    tablePaint->changing();
    const int row = form.table->rowCount();
    form.table->insertRow(row);
    const QString text = QStringLiteral("[%1]%2").arg(QString::number(queindex + 1), mainquestion->questions.first()->queText);
    form.table->setItem(row, 0, new QTableWidgetItem(SqliteClass::stripImageRefs(text)));
}

void ReviewListPage::takeEnd(int ret)
{
    if (!currentLoad())
        return;
    if (ret == -1)
        qDebug().noquote() << loader->lastErrorText();
    // Emitted from inside run(): the thread may still be returning.
    loader->wait();
    tablePaint->release();
    if (records.isEmpty()) {
        form.message->show();
        form.listPane->hide();
        form.view->hide();
        return;
    }
    form.view->show();
    form.table->selectRow(0);
    emit form.table->clicked(form.table->currentIndex());
    form.message->hide();
    form.listPane->show();
}

void ReviewListPage::on_tableWidget_clicked(const QModelIndex &index)
{
    const int row = index.row();
    if (row < 0 || row >= records.size())
        return;
    MainQuestion *record = records.at(row);
    QuestionData *question = record->questions.first();
    QList<OptionData *> options;
    if (SqliteClass::instance()->loadOptions(options, question->queId) == -1)
        qDebug().noquote() << SqliteClass::threadLastErrorText();
    // The old options go only once no cell shows them.
    form.view->clearCells();
    qDeleteAll(question->options);
    question->options = options;
    form.view->showQuestion(record, row, 0);
}
