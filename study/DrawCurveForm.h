#pragma once

#include "CurveBucket.h"
#include "ReviewPeriod.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class MainQuestion;


namespace Ui {
class DrawCurveForm;
}

// The review page's chart: one period's answers counted into time slots
// (hours, weekdays, days of the month or months) and painted as three filled
// curves, all answers, wrong and right, over a grid with a fixed scale per
// period.
class DrawCurveForm : public QWidget
{
    Q_OBJECT
public:
    explicit DrawCurveForm(QWidget *parent = nullptr);
    ~DrawCurveForm() override;

    void setCurveColors(const QColor &total, const QColor &right, const QColor &wrong);
    // "r,g,b,a" for the axes, grid and labels; takes effect at the next paint.
    void setSkinColor(const QString &color);
    // Replaces the slots with the period's and counts the records into them
    // (each through its first question); returns "total,right,wrong". The
    // records stay the caller's.
    QString setQuestions(ReviewPeriod period, const QList<MainQuestion *> &records);

    // The slots on show, left to right.
    QList<CurveBucket> bucketList() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void clearBuckets();

    Ui::DrawCurveForm *ui;
    QList<CurveBucket *> buckets;
    float slotCount = 0;
    // Its scale is shown before the first records arrive.
    ReviewPeriod period = ReviewToday;
    QString skinColor;
    QColor totalColor;
    QColor rightColor;
    QColor wrongColor;
};
