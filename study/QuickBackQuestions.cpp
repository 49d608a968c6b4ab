#include "QuickBackQuestions.h"
#include "ui_QuickBackQuestions.h"

#include "DataToUiThreadClass.h"
#include "QuickBackQuestionsCell.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "ViewReport.h"

#include <QDebug>
#include <QHeaderView>

#include <memory>

namespace {

const int memorisationRowHeight = 42;

// Children of faId by ord (text 0 id, 1 name); a failed read is logged and
// leaves what was read.
QList<SqliteData *> childChapters(int faId)
{
    QList<SqliteData *> rows;
    if (DataToUiThreadClass::childChapters(rows, faId) == -1)
        qDebug().noquote() << QStringLiteral("error:") + SqliteClass::threadLastErrorText();
    return rows;
}

QTreeWidgetItem *memorisationTreeItem(const SqliteData &chapter)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, chapter.text1);
    item->setText(1, chapter.text0);
    item->setText(2, chapter.text2);
    return item;
}

} // namespace

QuickBackQuestions::QuickBackQuestions(QWidget *parent)
    : QWidget(parent), ui(new Ui::QuickBackQuestions)
{
    ui->setupUi(this);
    ui->treeWidget->setFocusPolicy(Qt::NoFocus);
    ui->tableWidget->setFocusPolicy(Qt::NoFocus);
    loadChapterTree();
}

QuickBackQuestions::~QuickBackQuestions()
{
    if (worker) {
        // Rows still queued to the page are freed by its slot, as stale.
        worker->releaseOwner(this);
        delete worker;
    }
    delete listingWindow.data();
    delete ui;
}

void QuickBackQuestions::setSkinColor(const QString &color)
{
    skinColor = color;
    ui->treeWidget->setStyleSheet(SqliteClass::treeWidgetStyle(color));
    ui->tableWidget->setStyleSheet(SqliteClass::tableWidgetStyle(color));
}

void QuickBackQuestions::loadChapterTree()
{
    QTreeWidget *tree = ui->treeWidget;
    tree->clear();
    if (!worker) {
        worker = new DataToUiThreadClass;
        // A child, so that it can be found; the destructor ends it first.
        worker->setParent(this);
        connect(worker, &DataToUiThreadClass::sendJobStarted, this,
                [this](int generation) { arrivingGeneration = generation; });
        // The store sends every page's rows: only this page's own are taken.
        worker->connectOwnRows(SqliteClass::instance(), &SqliteClass::sendQuickQuestionBycateId, this,
                               &QuickBackQuestions::receiveQuestionBycate_Id);
    }
    const QList<SqliteData *> chapters = childChapters(0);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setHeaderHidden(true);
    tree->setColumnCount(3);
    // Only the names show: the id columns are a pixel wide.
    tree->header()->setMinimumSectionSize(1);
    tree->header()->setStretchLastSection(false);
    tree->setColumnWidth(0, 220);
    tree->setColumnWidth(1, 1);
    tree->setColumnWidth(2, 1);
    // Long section names take the tree's free width rather than being cut at 220.
    tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (const SqliteData *chapter : chapters) {
        QTreeWidgetItem *chapterItem = memorisationTreeItem(*chapter);
        const QList<SqliteData *> sections = childChapters(chapter->text0.toInt());
        for (const SqliteData *section : sections) {
            QTreeWidgetItem *sectionItem = memorisationTreeItem(*section);
            sectionItem->setToolTip(0, section->text1);
            chapterItem->addChild(sectionItem);
        }
        qDeleteAll(sections);
        tree->addTopLevelItem(chapterItem);
        chapterItem->setExpanded(true);
    }
    qDeleteAll(chapters);
}

void QuickBackQuestions::on_treeWidget_clicked(const QModelIndex &index)
{
    if (index.parent().isValid()) {
        const QTreeWidgetItem *section = ui->treeWidget->currentItem();
        if (section)
            loadSets(section->text(1).toInt());
        return;
    }
    QTreeWidgetItem *chapter = ui->treeWidget->topLevelItem(index.row());
    if (chapter)
        chapter->setExpanded(!chapter->isExpanded());
}

void QuickBackQuestions::prepareTable()
{
    QTableWidget *table = ui->tableWidget;
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setVisible(false);
    table->setColumnCount(1);
    table->setRowCount(0);
    loadedSetCount = 0;
}

void QuickBackQuestions::loadSets(int sectionId)
{
    ui->tableWidget->clear();
    prepareTable();
    // A later section replaces a load under way: what the earlier one still
    // delivers is dropped, so its sets never show under the new section.
    worker->stop();
    worker->setJob(10, sectionId);
    worker->start(QThread::InheritPriority);
}

QString QuickBackQuestions::cellButtonStyle() const
{
    return QStringLiteral("QPushButton{max-width:80px;font: 75 12pt \"微软雅黑\";max-height:23px;border-radius:5px;"
                          "border:1px solid rgb(%1);color:rgb(%2);}"
                          "QPushButton:hover{color:rgb(255,255,255);background-color:rgb(%3);}")
        .arg(skinColor, skinColor, skinColor);
}

void QuickBackQuestions::receiveQuestionBycate_Id(SqliteData *data)
{
    const std::unique_ptr<SqliteData> owned(data);
    if (!worker || arrivingGeneration != worker->generation())
        return;
    auto *row = new QuickBackQuestionsCell;
    connect(row, &QuickBackQuestionsCell::sendQuickBackQuestionCateId, this,
            &QuickBackQuestions::receiveQuickBackQuestionCateId);
    row->setButtonStyle(cellButtonStyle());
    row->setTitle(loadedSetCount + 1, data->text1);
    row->setCateId(data->text0);
    QTableWidget *table = ui->tableWidget;
    const int index = loadedSetCount;
    table->insertRow(index);
    ++loadedSetCount;
    table->setCellWidget(index, 0, row);
    table->setRowHeight(index, memorisationRowHeight);
}

void QuickBackQuestions::receiveQuickBackQuestionCateId(int cateid, QString title)
{
    // The set's rows may still be arriving; a job 10 is short.
    if (worker && worker->isRunning())
        worker->wait();
    openListing(title, cateid);
}

void QuickBackQuestions::on_tableWidget_doubleClicked(const QModelIndex &index)
{
    const auto *row = qobject_cast<QuickBackQuestionsCell *>(ui->tableWidget->cellWidget(index.row(), 0));
    if (row)
        openListing(row->title(), row->cateIdText().toInt());
}

void QuickBackQuestions::openListing(const QString &title, int setId)
{
    if (!listingWindow)
        listingWindow = new ViewReport;
    listingWindow->setTitle(title);
    listingWindow->setSkinColor(skinColor);
    listingWindow->show();
    listingWindow->showChapterQuestions(setId);
}
