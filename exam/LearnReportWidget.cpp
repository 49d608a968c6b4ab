#include "LearnReportWidget.h"
#include "ui_LearnReportWidget.h"

#include "ChoiceDialog.h"
#include "ExamRecord.h"
#include "LearnReportCell.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QDebug>
#include <QHeaderView>

namespace {

const char *const selectedTabStyle =
    "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
    "\"微软雅黑\";color: rgb(255, 255, 255);background-color: rgb(%1);border:1px solid  rgb(%1);}";
const char *const otherTabStyle =
    "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;font: 75 11pt "
    "\"微软雅黑\";border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);}";

void logStoreError()
{
    qDebug().noquote() << QStringLiteral("[Error:]") + SqliteClass::instance()->lastErrorText();
}

} // namespace

LearnReportWidget::LearnReportWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LearnReportWidget)
{
    ui->setupUi(this);
    ui->tableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tableWidget->horizontalHeader()->setVisible(false);
    ui->tableWidget->verticalHeader()->setVisible(false);
    ui->tableWidget->setFocusPolicy(Qt::NoFocus);
    ui->widget_view->hideTitleBar();
    // Width the list does not need goes to the report.
    ui->splitter->setStretchFactor(1, 1);
}

LearnReportWidget::~LearnReportWidget()
{
    delete ui;
}

void LearnReportWidget::setSkinColor(const QString &color)
{
    skinColor = color;
    ui->widget_view->setComboSkinColor(color);
}

void LearnReportWidget::reload()
{
    on_pushButton_talk_clicked();
}

void LearnReportWidget::styleTabs(bool firstSelected)
{
    const QString selected = QString::fromUtf8(selectedTabStyle).arg(skinColor);
    const QString other = QString::fromUtf8(otherTabStyle);
    ui->pushButton_talk->setStyleSheet(firstSelected ? selected : other);
    ui->pushButton_noni->setStyleSheet(firstSelected ? other : selected);
}

void LearnReportWidget::on_pushButton_talk_clicked()
{
    styleTabs(true);
    showRecordList(ExamRecord::ManMachine);
    ui->widget_view->showReportHtml(QString());
}

void LearnReportWidget::on_pushButton_noni_clicked()
{
    styleTabs(false);
    showRecordList(ExamRecord::Simulated);
}

void LearnReportWidget::showRecordList(int kind)
{
    QList<SqliteData *> records;
    const int ret = SqliteClass::instance()->examRecordList(records, kind);
    if (ret == -1) {
        logStoreError();
        qDeleteAll(records);
        return;
    }
    QTableWidget *table = ui->tableWidget;
    table->clearContents();
    table->setColumnCount(1);
    table->setRowCount(records.size());
    for (int i = 0; i < records.size(); ++i) {
        auto *cell = new LearnReportCell;
        connect(cell, &LearnReportCell::sendCellState, this, &LearnReportWidget::receiveCellState);
        cell->setRecord(records.at(i));
        cell->setRow(i);
        table->setCellWidget(i, 0, cell);
        table->setRowHeight(i, 28);
    }
    qDeleteAll(records);
}

void LearnReportWidget::on_tableWidget_clicked(QModelIndex index)
{
    receiveCellState(0, 0, index.row());
}

void LearnReportWidget::receiveCellState(int state, int examid, int row)
{
    Q_UNUSED(examid)
    auto *cell = qobject_cast<LearnReportCell *>(ui->tableWidget->cellWidget(row, 0));
    if (!cell)
        return;
    if (state == 0) {
        QString report;
        QString counts;
        if (SqliteClass::instance()->readExamRecord(cell->examId(), report, counts) == -1) {
            logStoreError();
            return;
        }
        ui->label_title->setText(
            QStringLiteral("<html><head/><body><p><span style=\" font-size:14pt; font-weight:600;\">%1</span></p></body></html>")
                .arg(cell->dateText()));
        // Counts that are not "total/right/unanswered" show nothing rather than made-up numbers.
        ExamRecord record;
        if (record.readCounts(counts))
            ui->label_question->setText(
                QStringLiteral("总题：%1  正确：%2  错误：<font color=\"#FF0000\">%3</font> 未做:<font color=\"#FF0000\">%4</font>")
                    .arg(record.total)
                    .arg(record.right)
                    .arg(record.wrong())
                    .arg(record.unanswered));
        else
            ui->label_question->clear();
        ui->widget_view->setSkinColor(skinColor);
        ui->widget_view->showReportHtml(report);
    } else if (state == 1) {
        auto *dialog = new ChoiceDialog;
        connect(dialog, &ChoiceDialog::sendOk, this, &LearnReportWidget::receiveOK);
        dialog->setSkinColor(skinColor);
        dialog->setMessage(QStringLiteral("您确定要删除该学习记录吗？"));
        dialog->show();
        choiceDialog = dialog;
        pendingId = cell->examId();
        pendingRow = row;
    }
}

void LearnReportWidget::receiveOK()
{
    QTableWidget *table = ui->tableWidget;
    if (table->currentRow() == pendingRow)
        ui->widget_view->showReportHtml(QString());
    qDebug() << "pRow:" << table->currentRow() << pendingRow;
    // A record the store did not delete keeps its row.
    if (SqliteClass::instance()->deleteExamRecord(pendingId) == -1) {
        logStoreError();
        return;
    }
    table->removeRow(pendingRow);
    for (int i = 0; i < table->rowCount(); ++i) {
        if (auto *cell = qobject_cast<LearnReportCell *>(table->cellWidget(i, 0)))
            cell->setRow(i);
    }
}
