#include "LearnReportCell.h"
#include "ui_LearnReportCell.h"

#include "SqliteData.h"

#include <QLocale>

LearnReportCell::LearnReportCell(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LearnReportCell)
{
    ui->setupUi(this);
}

LearnReportCell::~LearnReportCell()
{
    delete ui;
}

void LearnReportCell::setRecord(SqliteData *record)
{
    // ddd follows the system locale, as the rest of the program's dates.
    date = QLocale::system().toString(record->dateTime, QStringLiteral("yyyy-MM-dd hh:mm:ss ddd"));
    ui->label_text->setText(date);
    recordId = record->text0.toInt();
}

void LearnReportCell::setRow(int row)
{
    rowIndex = row;
}

void LearnReportCell::on_pushButton_clicked()
{
    emit sendCellState(1, recordId, rowIndex);
}
