#include "FindQuestionWidget.h"
#include "ui_FindQuestionWidget.h"

#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "MyMessageBox.h"
#include "QuestionData.h"
#include "Skin.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QDebug>
#include <QEvent>
#include <QHeaderView>

#include <memory>

namespace {

// Without it the corner above the row numbers stays unpainted (black).
const char cornerStyle[] = "QTableCornerButton::section{background-color: transparent;border:0px;}";
// The count header is longer than its column: a size smaller and read from
// the left, the count stays in view.
const char headerStyle[] = "QHeaderView::section:horizontal{font: 75 10pt \"微软雅黑\";padding-left:4px;}";
// The chapter column, wider for long chapter names where the row has room;
// the question column takes the rest, so that the count in its header is not
// cut off. Where the list is narrow (a hit shown beside it) the chapter
// column gives up width to the count, down to its least.
const int chapterColumnWidth = 90;
const int chapterColumnLeast = 40;
// With the question view's own least width, the page still fits the main
// window at its smallest.
const int listPaneMinimumWidth = 340;

} // namespace

FindQuestionWidget::FindQuestionWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::FindQuestionWidget)
{
    ui->setupUi(this);
    worker = new DataToUiThreadClass;
    worker->setParent(this);
    connect(worker, &DataToUiThreadClass::sendJobStarted, this, &FindQuestionWidget::receiveJobStarted);
    connect(worker, &DataToUiThreadClass::sendFindQuestions, this, &FindQuestionWidget::receiveFindQuestions);
    connect(worker, &DataToUiThreadClass::sendFindQuestion, this, &FindQuestionWidget::recieveFindQuestion);
    ui->tableWidget->setFocusPolicy(Qt::NoFocus);
    ui->tableWidget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->tableWidget->setShowGrid(false);
    ui->tableWidget->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui->widget_cell->hide();
    // Room for the hits' two columns and the count in the header.
    ui->widget->setMinimumWidth(listPaneMinimumWidth);
    ui->tableWidget->viewport()->installEventFilter(this);
}

FindQuestionWidget::~FindQuestionWidget()
{
    worker->releaseOwner(this); // hits still queued to this page are freed, not lost
    delete worker;
    ui->widget_cell->clearCells();
    delete shownRecord;
    qDeleteAll(hits);
    delete ui;
}

void FindQuestionWidget::setSkinColor(const QString &color)
{
    ui->tableWidget->setStyleSheet(SqliteClass::tableWidgetStyle(color) + QLatin1String(cornerStyle)
                                   + QLatin1String(headerStyle));
    skinColor = color;
    ui->btnSearch->setStyleSheet(QStringLiteral("QPushButton{background-color: rgb(%1);border-top-right-radius:5px;"
                                                "border-bottom-right-radius:5px;}QPushButton:hover{ "
                                                "background-color: rgb(%2);};")
                                     .arg(color, skinHoverColor(color)));
    ui->label->setStyleSheet(QStringLiteral("font: 75 12pt \"微软雅黑\";color: rgb(%1);").arg(color));
    ui->widget_cell->setStyle(color, 1);
}

void FindQuestionWidget::on_btnSearch_clicked()
{
    const QString keyword = ui->lineEdit->text().simplified();
    if (keyword.isEmpty()) {
        const std::unique_ptr<MyMessageBox> box(new MyMessageBox);
        box->setSkinColor(skinColor);
        box->setMessage(QStringLiteral("查找的关健字不能为空."));
        box->exec();
        return;
    }
    if (worker->isRunning())
        return;
    // The last search's hits may still be queued: they are dropped by generation.
    worker->stop();
    ui->widget_cell->hide();
    QTableWidget *table = ui->tableWidget;
    table->clear();
    qDeleteAll(hits);
    hits.clear();
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({QStringLiteral("正在查找..."), QString()});
    table->setRowCount(0);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    fitChapterColumn();
    searchedKeyword = keyword;
    worker->setKeywordJob(6, keyword);
    worker->start(QThread::InheritPriority);
}

void FindQuestionWidget::receiveJobStarted(int generation)
{
    arrivingGeneration = generation;
}

bool FindQuestionWidget::currentSearch() const
{
    return arrivingGeneration == worker->generation();
}

void FindQuestionWidget::recieveFindQuestion(SqliteData *data)
{
    if (!currentSearch()) {
        delete data;
        return;
    }
    hits << data;
    QTableWidget *table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    const QString text = SqliteClass::stripImageRefs(data->text1);
    auto *question = new QTableWidgetItem(text);
    question->setToolTip(SqliteClass::highlightKeyword(text, searchedKeyword));
    table->setItem(row, 0, question);
    table->setItem(row, 1, new QTableWidgetItem(QStringLiteral("【%1】").arg(data->text0)));
}

void FindQuestionWidget::receiveFindQuestions(int ret)
{
    if (!currentSearch())
        return;
    // Emitted from inside run(): the thread may still be returning.
    worker->wait();
    if (ret == -1)
        qDebug().noquote() << worker->lastErrorText();
    // One arg call: a keyword such as "%2" must not take the count's place.
    const QString header = QStringLiteral("关键字【%1】:搜索到[%2]个相关项")
                               .arg(searchedKeyword, QString::number(ui->tableWidget->rowCount()));
    if (QTableWidgetItem *item = ui->tableWidget->horizontalHeaderItem(0))
        item->setText(header);
    else
        ui->tableWidget->setHorizontalHeaderItem(0, new QTableWidgetItem(header));
    fitChapterColumn();
}

bool FindQuestionWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tableWidget->viewport() && event->type() == QEvent::Resize)
        fitChapterColumn();
    return QWidget::eventFilter(watched, event);
}

void FindQuestionWidget::fitChapterColumn()
{
    QTableWidget *table = ui->tableWidget;
    if (table->columnCount() < 2)
        return;
    const int room = table->viewport()->width() - table->horizontalHeader()->sectionSizeHint(0);
    const QAbstractItemView *view = table;
    const int wanted = qMax(chapterColumnWidth, view->sizeHintForColumn(1));
    table->setColumnWidth(1, qBound(chapterColumnLeast, room, wanted));
}

void FindQuestionWidget::on_tableWidget_clicked(const QModelIndex &index)
{
    receiveClicked(index.row());
}

void FindQuestionWidget::receiveClicked(int row)
{
    if (handlingClick || row < 0 || row >= hits.size())
        return;
    handlingClick = true;
    const SqliteData *hit = hits.at(row);
    ui->widget_cell->clearCells();
    delete shownRecord;
    shownRecord = new MainQuestion;
    shownRecord->publicQueText = hit->text4;
    QuestionData *question = nullptr;
    if (SqliteClass::instance()->loadQuestionState(question, hit->text5.toInt()) == -1 || !question) {
        qDebug().noquote() << SqliteClass::threadLastErrorText();
        delete question;
        handlingClick = false;
        return;
    }
    question->queText = hit->text1;
    question->prompt = hit->text7;
    // The type map is read at start-up; a bank swapped in since may use a
    // type it lacks: the hit's own code stands, and the view shows no cell.
    const int queTypeId = hit->text6.toInt();
    SqliteClass::instance()->questionType(shownRecord->queType, queTypeId);
    shownRecord->queTypeId = queTypeId;
    shownRecord->questions << question;
    ui->widget_cell->setKeyword(searchedKeyword);
    ui->widget_cell->showQuestion(shownRecord, row, 1);
    ui->widget_cell->show();
    handlingClick = false;
}

void FindQuestionWidget::resetPage()
{
    ui->widget_cell->clearCells();
    qDeleteAll(hits);
    hits.clear();
    // A search under way goes on to its end; nothing ends it by force.
    worker->wait();
    delete shownRecord;
    shownRecord = nullptr;
    ui->widget_cell->hide();
    ui->tableWidget->clearContents();
    ui->tableWidget->setRowCount(0);
}
