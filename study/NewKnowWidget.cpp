#include "NewKnowWidget.h"
#include "ui_NewKnowWidget.h"

#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "PaintHold.h"
#include "QuestionData.h"
#include "SqliteClass.h"

#include <QDebug>
#include <QHeaderView>
#include <QPixmap>
#include <QTableWidgetItem>

namespace {

const QColor totalGrey(107, 107, 107, 255);
const QColor rightGreen(119, 183, 51, 255);
const QColor wrongRed(255, 0, 0, 255);

QString legendStyle(const QColor &color)
{
    return QStringLiteral("border:0px;font: 75 12pt \"微软雅黑\";color: rgb(%1,%2,%3,%4);")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

void setLegend(QPushButton *button, const QColor &color)
{
    QPixmap icon(16, 16);
    icon.fill(color);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(16, 16));
    button->setStyleSheet(legendStyle(color));
}

QuestionData *questionOf(const MainQuestion *record)
{
    return record->questions.isEmpty() ? nullptr : record->questions.first();
}

QString questionText(const MainQuestion *record)
{
    const QuestionData *question = questionOf(record);
    return question ? question->queText : QString();
}

} // namespace

NewKnowWidget::NewKnowWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::NewKnowWidget)
{
    ui->setupUi(this);
    worker = new DataToUiThreadClass;
    worker->setParent(this);
    connect(worker, &DataToUiThreadClass::sendJobStarted, this, &NewKnowWidget::receiveJobStarted);
    connect(worker, &DataToUiThreadClass::sendNewKnowQuestion, this, &NewKnowWidget::receiveThreadNewKnowQuestion);
    // The store sends every loader's rows to every receiver: only those of
    // this page's own worker are taken (and queued to the page, where a
    // superseded load's are freed).
    connect(SqliteClass::instance(), &SqliteClass::sendNewKnowQuestion, this,
            [this](int index, MainQuestion *record) {
                if (QThread::currentThread() != worker)
                    return;
                QMetaObject::invokeMethod(
                    this, [this, index, record] { receiveNewKnowQuestion(index, record); }, Qt::QueuedConnection);
            },
            Qt::DirectConnection);

    QTableWidget *table = ui->tableWidget;
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setShowGrid(false);
    tablePaint = new PaintHold(table);

    setLegend(ui->pushButton, totalGrey);
    setLegend(ui->pushButton_2, rightGreen);
    setLegend(ui->pushButton_3, wrongRed);
    ui->widget_2->setCurveColors(totalGrey, rightGreen, wrongRed);
}

NewKnowWidget::~NewKnowWidget()
{
    worker->releaseOwner(this); // rows still queued to this page are freed, not lost
    delete worker;
    worker = nullptr;
    ui->widget_cell->clearCells();
    currentRecords.clear();
    qDeleteAll(allRecords);
    delete ui;
}

void NewKnowWidget::setSkinColor(const QString &color)
{
    skinColor = color;
    // Without a style of their own the buttons paint as black blocks.
    selectPeriodButton(selectedPosition);
    ui->widget_2->setSkinColor(color);
    ui->tableWidget->setStyleSheet(SqliteClass::tableWidgetStyle(color));
    ui->widget_cell->setStyle(color, 1);
}

void NewKnowWidget::setNow(const QDateTime &now)
{
    fixedNow = now;
}

QDateTime NewKnowWidget::currentNow() const
{
    return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
}

int NewKnowWidget::daysSince(const QDateTime &time, const QDateTime &now)
{
    return int(time.date().daysTo(now.date()));
}

void NewKnowWidget::dropRecords()
{
    // Rows of the stopped load still in the event queue are freed on arrival.
    worker->stop();
    // The view may show one of the records.
    ui->widget_cell->clearCells();
    tablePaint->release();
    todayPositions.clear();
    weekPositions.clear();
    monthPositions.clear();
    currentRecords.clear();
    shownPeriod.reset();
    qDeleteAll(allRecords);
    allRecords.clear();
}

void NewKnowWidget::clearLists()
{
    dropRecords();
    ui->tableWidget->clearContents();
    ui->tableWidget->setRowCount(0);
}

void NewKnowWidget::loadList()
{
    dropRecords();
    loadNow = currentNow();
    worker->setJob(9, -1);
    worker->start(QThread::InheritPriority);
}

void NewKnowWidget::receiveJobStarted(int generation)
{
    arrivingGeneration = generation;
}

bool NewKnowWidget::currentLoad() const
{
    return arrivingGeneration == worker->generation();
}

void NewKnowWidget::receiveNewKnowQuestion(int, MainQuestion *mainquestion)
{
    if (!currentLoad()) {
        delete mainquestion;
        return;
    }
    allRecords.append(mainquestion);
    addReviewRow(allRecords.size() - 1, mainquestion);
}

void NewKnowWidget::addReviewRow(int position, MainQuestion *record)
{
    QTableWidget *table = ui->tableWidget;
    tablePaint->changing();
    table->horizontalHeader()->setVisible(false);
    table->verticalHeader()->setVisible(false);
    table->setColumnCount(1);
    fileRecord(position, record);
    if (shownPeriod) {
        // A period button was pressed during the load: the record joins
        // that list when it belongs there.
        const bool belongs = *shownPeriod == ReviewAll || positionsOf(*shownPeriod).endsWith(position);
        if (!belongs)
            return;
        currentRecords.append(record);
        const int row = currentRecords.size() - 1;
        table->insertRow(row);
        setPeriodRow(row);
        if (row == 0)
            showFirstRow();
        return;
    }
    table->insertRow(position);
    const QString text = questionText(record);
    auto *item = new QTableWidgetItem(QStringLiteral("[%1]%2").arg(position + 1).arg(SqliteClass::stripImageRefs(text)));
    item->setToolTip(QStringLiteral("[%1]%2").arg(position + 1).arg(text));
    table->setItem(position, 0, item);
}

void NewKnowWidget::fileRecord(int position, const MainQuestion *record)
{
    const QuestionData *question = questionOf(record);
    // Without an answer time a record belongs to no span but the whole list.
    if (!question || !question->userTime.isValid())
        return;
    const int days = daysSince(question->userTime, loadNow);
    if (days == 0)
        todayPositions.append(position);
    if (days <= 7)
        weekPositions.append(position);
    // One calendar month back, not 30 days: the chart has a slot per day of
    // the month, and after a short month 30 days back would put two dates
    // into one slot.
    if (question->userTime.date() > loadNow.date().addMonths(-1))
        monthPositions.append(position);
}

const QList<int> &NewKnowWidget::positionsOf(ReviewPeriod period) const
{
    return period == ReviewToday ? todayPositions : period == ReviewWeek ? weekPositions : monthPositions;
}

void NewKnowWidget::receiveThreadNewKnowQuestion(int ret)
{
    if (!currentLoad())
        return;
    // Emitted from inside run(): the thread may still be returning.
    worker->wait();
    tablePaint->release();
    if (ret == -1)
        qDebug().noquote() << worker->lastErrorText();
    if (allRecords.isEmpty()) {
        ui->widget_cell->hide();
        showTotals(ReviewToday, {});
        return;
    }
    // Only the period on show is filled; the others are built when chosen.
    on_pushButton_day_clicked(false);
}

void NewKnowWidget::showTotals(ReviewPeriod period, const QList<MainQuestion *> &records)
{
    const QStringList totals = ui->widget_2->setQuestions(period, records).split(QLatin1Char(','));
    ui->pushButton->setText(QStringLiteral("已做总题数:%1").arg(totals.value(0)));
    ui->pushButton_2->setText(QStringLiteral("正确题数:%1").arg(totals.value(1)));
    ui->pushButton_3->setText(QStringLiteral("错误题数:%1").arg(totals.value(2)));
}

void NewKnowWidget::showPeriod(ReviewPeriod period)
{
    shownPeriod = period;
    if (allRecords.isEmpty())
        return;
    currentRecords.clear();
    if (period == ReviewAll) {
        currentRecords = allRecords;
    } else {
        for (int position : positionsOf(period))
            currentRecords.append(allRecords.at(position));
    }
    showTotals(period, currentRecords);

    QTableWidget *table = ui->tableWidget;
    table->horizontalHeader()->setVisible(false);
    table->verticalHeader()->setVisible(false);
    // The rows are shown in one repaint, not one per row.
    tablePaint->release();
    table->setUpdatesEnabled(false);
    table->setRowCount(currentRecords.size());
    table->setColumnCount(1);
    for (int row = 0; row < currentRecords.size(); ++row)
        setPeriodRow(row);
    table->setUpdatesEnabled(true);
    if (currentRecords.isEmpty()) {
        ui->widget_cell->hide();
        return;
    }
    showFirstRow();
}

void NewKnowWidget::setPeriodRow(int row)
{
    const QString text = QStringLiteral("  [%1]%2").arg(row + 1).arg(questionText(currentRecords.at(row)));
    QTableWidget *table = ui->tableWidget;
    if (table->item(row, 0)) {
        // The row's item is kept: a long list is not freed and built again.
        table->model()->setItemData(table->model()->index(row, 0), {{Qt::DisplayRole, text}, {Qt::ToolTipRole, text}});
        return;
    }
    auto *item = new QTableWidgetItem(text);
    item->setToolTip(text);
    table->setItem(row, 0, item);
}

void NewKnowWidget::showFirstRow()
{
    ui->widget_cell->show();
    ui->tableWidget->selectRow(0);
    emit ui->tableWidget->clicked(ui->tableWidget->currentIndex());
}

QString NewKnowWidget::periodButtonStyle(bool selected, int position) const
{
    QString corners;
    if (position == 1)
        corners = QStringLiteral("border-top-left-radius:5px;border-bottom-left-radius:5px;");
    else if (position == 4)
        corners = QStringLiteral("border-top-right-radius:5px;border-bottom-right-radius:5px;");
    const QString fill = selected ? QStringLiteral("color:rgb(255,255,255);background-color: rgb(%1);")
                                  : QStringLiteral("color:rgb(%1);");
    return (QStringLiteral("QPushButton{width:70px;height:23px;") + corners + QStringLiteral("border:1px solid rgb(%1);")
            + fill + QStringLiteral("}QPushButton:hover{color:rgb(255,255,255);background-color: rgb(%1);}"))
        .arg(skinColor);
}

void NewKnowWidget::selectPeriodButton(int position)
{
    QPushButton *const buttons[] = {ui->pushButton_all, ui->pushButton_day, ui->pushButton_week,
                                    ui->pushButton_month};
    selectedPosition = position;
    for (int i = 1; i <= 4; ++i)
        buttons[i - 1]->setStyleSheet(periodButtonStyle(i == position, i));
}

void NewKnowWidget::on_pushButton_all_clicked(bool)
{
    selectPeriodButton(1);
    showPeriod(ReviewAll);
}

void NewKnowWidget::on_pushButton_day_clicked(bool)
{
    selectPeriodButton(2);
    showPeriod(ReviewToday);
}

void NewKnowWidget::on_pushButton_week_clicked(bool)
{
    selectPeriodButton(3);
    showPeriod(ReviewWeek);
}

void NewKnowWidget::on_pushButton_month_clicked(bool)
{
    selectPeriodButton(4);
    showPeriod(ReviewMonth);
}

void NewKnowWidget::on_tableWidget_clicked(const QModelIndex &index)
{
    const int row = index.row();
    if (row < 0 || row >= currentRecords.size())
        return;
    MainQuestion *record = currentRecords.at(row);
    if (QuestionData *question = questionOf(record)) {
        QList<OptionData *> options;
        if (SqliteClass::instance()->loadOptions(options, question->queId) == -1)
            qDebug().noquote() << SqliteClass::instance()->lastErrorText();
        qDeleteAll(question->options);
        question->options = options;
    }
    ui->widget_cell->showQuestion(record, row, 0);
}
