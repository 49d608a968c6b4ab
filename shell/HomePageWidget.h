#pragma once

#include <QDate>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <memory>

class DataToUiThreadClass;
class MyMessageBox;
class QModelIndex;
class SqliteData;

namespace Ui {
class HomePageWidget;
}

// Page 0 of the main window: progress over the whole bank, the study streak,
// the chapters studied last (each with a button to go on there), the exam
// date countdown and three service links. Its constructor tidies a newly
// installed bank once.
class HomePageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HomePageWidget(QWidget *parent = nullptr);
    ~HomePageWidget() override;

    // Refreshes the counts and starts loading the recent chapters; does
    // nothing while a load is still under way. Always 0.
    int initData();
    void setSkinColor(const QString &color);

signals:
    void sendStartlearn();
    // Mode is always 2. The record stays the page's: use it during the call.
    void sendSqliteData(SqliteData *record, int mode, QString parentName);

public slots:
    // A row was chosen; a row whose record is no longer held is ignored.
    void receiveTableCellData(int row);

private slots:
    void receivetQueLogAnswerHistory(int index, SqliteData *record, QString parentName, QString questionText);
    void receiveThreadRet(int result);
    void receiveDateTime(QDate date);
    void on_pushButton_startlearn_clicked();
    void on_pushbutton_examtime_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_tableWidget_doubleClicked(const QModelIndex &index);

private:
    int updateStudyState();
    // Whole days from today to date: negative in the past.
    static int daysFromToday(const QDate &date);
    int removeExtraData();

    void dressServiceLinks();
    void openServiceLink(int link);
    // The stored exam date, null when there is none or it is no
    // "yyyy-MM-dd" date; -1 (logged) when the read failed.
    static int readExamDate(QDate &date);
    void showCountdown(int days);
    void releaseRecords();

    Ui::HomePageWidget *ui;
    // Entry i belongs to table row i.
    QList<SqliteData *> records;
    QStringList parentNames;
    QString skinColor;
    std::unique_ptr<DataToUiThreadClass> worker;
    // From the start of a load until its end has been received, so that no
    // second load mixes its rows with the rows still queued.
    bool loading = false;
    std::unique_ptr<MyMessageBox> messageBox;
};
