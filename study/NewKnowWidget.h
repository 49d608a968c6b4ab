#pragma once

#include "ReviewPeriod.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

class DataToUiThreadClass;
class MainQuestion;
class PaintHold;
class QModelIndex;

namespace Ui {
class NewKnowWidget;
}

// Page 8 of the main window, review of answered questions: every answered
// question by answer time, narrowed to today, the last week or the last
// month by the buttons above the list. The question tab shows the chosen
// question to answer again; the chart tab counts the period's answers per
// time slot.
class NewKnowWidget : public QWidget
{
    Q_OBJECT
public:
    explicit NewKnowWidget(QWidget *parent = nullptr);
    // Stops a load still running and frees every record.
    ~NewKnowWidget() override;

    // For the chart, the list and the period buttons.
    void setSkinColor(const QString &color);
    // Stops a running load, drops its records and empties the list.
    void clearLists();
    // Starts a fresh load of every answered question; one still running is
    // stopped and its records dropped.
    void loadList();

    // The moment the periods are counted back from; an invalid one (the
    // default) means the clock's.
    void setNow(const QDateTime &now);
    // Whole calendar days from the time's date to now's (negative for a
    // later date); times of day play no part.
    static int daysSince(const QDateTime &time, const QDateTime &now = QDateTime::currentDateTime());

private slots:
    void receiveJobStarted(int generation);
    void receiveNewKnowQuestion(int index, MainQuestion *mainquestion);
    void on_tableWidget_clicked(const QModelIndex &index);
    void on_pushButton_day_clicked(bool checked);
    void on_pushButton_all_clicked(bool checked);
    void on_pushButton_week_clicked(bool checked);
    void on_pushButton_month_clicked(bool checked);
    void receiveThreadNewKnowQuestion(int ret);

private:
    void addReviewRow(int position, MainQuestion *record);
    void fileRecord(int position, const MainQuestion *record);
    const QList<int> &positionsOf(ReviewPeriod period) const;
    void showPeriod(ReviewPeriod period);
    // Row n of the period on show, for currentRecords' record n.
    void setPeriodRow(int row);
    void showFirstRow();
    // Chart and legend of the records.
    void showTotals(ReviewPeriod period, const QList<MainQuestion *> &records);
    // Position 1 to 4 from the left; 0 selects none.
    void selectPeriodButton(int position);
    QString periodButtonStyle(bool selected, int position) const;
    // Stops the load, empties the lists and the question view, frees the records.
    void dropRecords();
    bool currentLoad() const;
    QDateTime currentNow() const;

    Ui::NewKnowWidget *ui;
    PaintHold *tablePaint = nullptr;
    // A child of the page, ended and deleted first by its destructor.
    DataToUiThreadClass *worker = nullptr;
    // Owned; the period lists hold positions in it.
    QList<MainQuestion *> allRecords;
    QList<int> todayPositions;
    QList<int> weekPositions;
    QList<int> monthPositions;
    // The period on show, in the table's row order.
    QList<MainQuestion *> currentRecords;
    // The period chosen since the load began; none while the list grows in
    // arrival order.
    std::optional<ReviewPeriod> shownPeriod;
    QString skinColor;
    // Of the period button last selected; 0 before any.
    int selectedPosition = 0;
    QDateTime fixedNow;
    // "Now" for the load under way, taken once: the clock and time-zone
    // lookup per row cost more than the row.
    QDateTime loadNow;
    // Of the job whose rows arrive now; rows of a superseded load carry an
    // older one and are freed.
    int arrivingGeneration = -1;
};
