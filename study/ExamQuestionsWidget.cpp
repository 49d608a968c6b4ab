#include "ExamQuestionsWidget.h"
#include "ui_ExamQuestionsWidget.h"

#include "ClearQuestionsRecord.h"
#include "DataToUiThreadClass.h"
#include "ExamCellForm.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QDebug>
#include <QHeaderView>
#include <QLocale>

#include <memory>

namespace {

const int setRowHeight = 54;

// The day name in the user's language.
QString lastTimeText(const QDateTime &time)
{
    return time.isValid() ? QLocale::system().toString(time, QStringLiteral("yyyy-MM-dd hh:mm:ss ddd")) : QString();
}

// Texts 2 questions, 3 right, 4 answered, date-time newest answer.
void showCounts(ExamCellForm *row, const SqliteData &counts)
{
    row->setTotal(counts.text2);
    row->setProgress(counts.text4, counts.text3);
    row->setLastTime(lastTimeText(counts.dateTime));
}

// Children of faId by ord (text 0 id, 1 name); a failed read is logged and
// leaves what was read.
QList<SqliteData *> childChapters(int faId, const QString &errorPrefix)
{
    QList<SqliteData *> rows;
    if (DataToUiThreadClass::childChapters(rows, faId) == -1)
        qDebug().noquote() << errorPrefix + SqliteClass::threadLastErrorText();
    return rows;
}

QTreeWidgetItem *treeItem(const SqliteData &chapter)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, chapter.text1);
    item->setText(1, chapter.text0);
    return item;
}

} // namespace

ExamQuestionsWidget::ExamQuestionsWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ExamQuestionsWidget)
{
    ui->setupUi(this);
    worker = new DataToUiThreadClass;
    worker->setParent(this);
    connect(worker, &DataToUiThreadClass::sendJobStarted, this, &ExamQuestionsWidget::receiveJobStarted);
    connect(worker, &DataToUiThreadClass::sendSqliteClass, this, &ExamQuestionsWidget::receiveSqliteClass);
    connect(worker, &DataToUiThreadClass::sendQuestionBycateId, this,
            &ExamQuestionsWidget::receiveQuestionBycateId);
    loadChapterTree();
    ui->tableWidget->setFocusPolicy(Qt::NoFocus);
    ui->treeWidget->setFocusPolicy(Qt::NoFocus);
}

ExamQuestionsWidget::~ExamQuestionsWidget()
{
    worker->releaseOwner(this); // rows still queued to this page are freed, not lost
    delete worker;
    delete ui;
}

void ExamQuestionsWidget::setSkinColor(const QString &color)
{
    skinColor = color;
}

int ExamQuestionsWidget::selectedRow() const
{
    return selectedSetRow;
}

void ExamQuestionsWidget::loadChapterTree()
{
    QTreeWidget *tree = ui->treeWidget;
    tree->clear();
    const QList<SqliteData *> chapters = childChapters(0, QString());
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setHeaderHidden(true);
    tree->setColumnCount(2);
    tree->setColumnWidth(0, 220);
    tree->setColumnHidden(1, true);
    for (const SqliteData *chapter : chapters) {
        QTreeWidgetItem *chapterItem = treeItem(*chapter);
        const QList<SqliteData *> sections = childChapters(chapter->text0.toInt(), QStringLiteral("error:"));
        for (const SqliteData *section : sections) {
            QTreeWidgetItem *sectionItem = treeItem(*section);
            sectionItem->setToolTip(0, section->text1);
            chapterItem->addChild(sectionItem);
        }
        tree->addTopLevelItem(chapterItem);
        qDeleteAll(sections);
    }
    qDeleteAll(chapters);
}

void ExamQuestionsWidget::on_treeWidget_clicked(const QModelIndex &index)
{
    const QModelIndex parent = index.parent();
    QTreeWidgetItem *item = parent.isValid() ? ui->treeWidget->topLevelItem(parent.row())->child(index.row())
                                             : ui->treeWidget->topLevelItem(index.row());
    openTreeItem(item);
}

void ExamQuestionsWidget::openTreeItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (!item->parent()) {
        item->setExpanded(!item->isExpanded());
        return;
    }
    sectionName = item->text(0);
    loadSets(item->text(1).toInt());
}

void ExamQuestionsWidget::loadSets(int sectionId)
{
    // A new section replaces a load under way: what the old one still
    // delivers is dropped, so its sets never show under the new name.
    worker->stop();
    QTableWidget *table = ui->tableWidget;
    table->clearContents();
    table->setRowCount(0);
    selectedSetRow = -1;
    table->setColumnCount(1);
    table->horizontalHeader()->setVisible(false);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    loadedSetCount = 0;
    table->setColumnWidth(0, table->width());
    listedSectionId = sectionId;
    startSetJob();
}

void ExamQuestionsWidget::refreshRows()
{
    if (listedSectionId == -1)
        return;
    worker->stop();
    startSetJob();
}

void ExamQuestionsWidget::startSetJob()
{
    worker->setJob(8, listedSectionId);
    worker->start(QThread::InheritPriority);
}

void ExamQuestionsWidget::receiveJobStarted(int generation)
{
    arrivingGeneration = generation;
    arrivedSetCount = 0;
}

bool ExamQuestionsWidget::currentLoad() const
{
    return arrivingGeneration == worker->generation();
}

void ExamQuestionsWidget::receiveQuestionBycateId(SqliteData *data)
{
    const std::unique_ptr<SqliteData> owned(data);
    if (!currentLoad())
        return;
    // A refresh, or a load that a refresh took over, meets its rows here.
    if (ExamCellForm *listed = rowAt(arrivedSetCount++)) {
        showCounts(listed, *data);
        listed->update();
        return;
    }
    auto *row = new ExamCellForm(this, skinColor);
    connect(row, &ExamCellForm::sendSingle, this, &ExamQuestionsWidget::receiveSingle);
    connect(row, &ExamCellForm::sendclear, this, &ExamQuestionsWidget::receiveClear);
    ++loadedSetCount;
    row->setRow(loadedSetCount);
    row->setCateId(data->text0.toInt());
    row->setTitle(data->text1);
    showCounts(row, *data);
    const int index = loadedSetCount - 1;
    ui->tableWidget->insertRow(index);
    ui->tableWidget->setCellWidget(index, 0, row);
    ui->tableWidget->setRowHeight(index, setRowHeight);
}

void ExamQuestionsWidget::receiveSqliteClass(int ret)
{
    if (!currentLoad())
        return;
    // Emitted from inside run(): the thread may still be returning.
    worker->wait();
    if (ret == -1)
        qDebug().noquote() << worker->lastErrorText();
}

ExamCellForm *ExamQuestionsWidget::rowAt(int row) const
{
    return qobject_cast<ExamCellForm *>(ui->tableWidget->cellWidget(row, 0));
}

void ExamQuestionsWidget::receiveSingle(int index)
{
    const ExamCellForm *row = rowAt(index);
    if (!row)
        return;
    selectedSetRow = index;
    // The practice page starts at the answered count: the row's may still
    // wait for a refresh under way.
    refreshSelectedRow();
    const auto set = std::make_unique<SqliteData>();
    set->text0 = QString::number(row->cateId());
    set->text1 = row->title();
    set->text4 = row->lastTimeText();
    set->text5 = row->totalText();
    set->text6 = QString::number(row->doneCount());
    set->text7 = QString::number(row->rightCount());
    emit sendDataToSingleQuestionForm(set.get(), selectedSetRow >= loadedSetCount - 1 ? 1 : 0, sectionName);
}

void ExamQuestionsWidget::on_tableWidget_doubleClicked(const QModelIndex &index)
{
    receiveSingle(index.row());
}

void ExamQuestionsWidget::enterPage()
{
    // Sets may have been practised anywhere since: in a chain of next sets,
    // on the review pages, from the home page.
    if (ui->tableWidget->rowCount() > 0 || firstVisitDone) {
        refreshRows();
        return;
    }
    firstVisitDone = true;
    QTreeWidgetItem *chapter = ui->treeWidget->topLevelItem(0);
    if (!chapter)
        return;
    chapter->setExpanded(true);
    QTreeWidgetItem *section = chapter->child(0);
    if (!section)
        return;
    ui->treeWidget->setCurrentItem(section);
    openTreeItem(section);
}

void ExamQuestionsWidget::refreshSelectedRow()
{
    ExamCellForm *row = rowAt(selectedSetRow);
    if (!row)
        return;
    SqliteData *summary = nullptr;
    if (SqliteClass::instance()->chapterSummary(summary, row->cateId()) == -1)
        qDebug().noquote() << SqliteClass::threadLastErrorText();
    const std::unique_ptr<SqliteData> owned(summary);
    if (!summary)
        return;
    showCounts(row, *summary);
    row->update();
}

void ExamQuestionsWidget::receiveClear(int cateId, int index)
{
    selectedSetRow = index;
    clearDialog = new ClearQuestionsRecord;
    connect(clearDialog, &ClearQuestionsRecord::sendUpdateClear, this, &ExamQuestionsWidget::receiveUpdateClear);
    clearDialog->setSkinColor(skinColor);
    clearDialog->setCateId(cateId);
    clearDialog->setModal(true);
    clearDialog->show();
}

void ExamQuestionsWidget::receiveUpdateClear()
{
    refreshSelectedRow();
}

void ExamQuestionsWidget::receivePressValue(int)
{
}

void ExamQuestionsWidget::receiveQuestionsFormCloseEvent()
{
}
