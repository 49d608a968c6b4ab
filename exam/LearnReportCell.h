#pragma once

#include <QString>
#include <QWidget>

class SqliteData;

namespace Ui {
class LearnReportCell;
}

// One row of the past-exam list: the record's save time and a delete icon.
class LearnReportCell : public QWidget
{
    Q_OBJECT
public:
    explicit LearnReportCell(QWidget *parent = nullptr);
    ~LearnReportCell() override;

    // Takes the record number (text 0) and the save time of a listed record.
    void setRecord(SqliteData *record);
    void setRow(int row);
    int row() const { return rowIndex; }
    int examId() const { return recordId; }
    QString dateText() const { return date; }

signals:
    // state 1: delete the record; the page asks for state 0 itself.
    void sendCellState(int state, int examid, int row);

private slots:
    void on_pushButton_clicked();

private:
    Ui::LearnReportCell *ui;
    int recordId = 0;
    int rowIndex = 0;
    QString date;
};
