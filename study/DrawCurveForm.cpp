#include "DrawCurveForm.h"
#include "ui_DrawCurveForm.h"

#include "CurveBucket.h"
#include "MainQuestion.h"
#include "QuestionData.h"
#include "Skin.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStringList>

#include <climits>
#include <cmath>

namespace {

// "-" at both ends, matched by nothing, so every curve starts and ends on the axis.
QStringList slotLabels(ReviewPeriod period)
{
    QStringList labels{QStringLiteral("-")};
    auto numbered = [&labels](int first, int last) {
        for (int i = first; i <= last; ++i)
            labels << (i < 10 ? QStringLiteral("0%1").arg(i) : QStringLiteral("%1").arg(i));
    };
    switch (period) {
    case ReviewToday: numbered(0, 23); break;
    case ReviewWeek:
        labels << QStringLiteral("周日") << QStringLiteral("周一") << QStringLiteral("周二") << QStringLiteral("周三")
               << QStringLiteral("周四") << QStringLiteral("周五") << QStringLiteral("周六");
        break;
    case ReviewMonth: numbered(1, 31); break;
    case ReviewAll: numbered(1, 12); break;
    }
    labels << QStringLiteral("-");
    return labels;
}

int yMaximum(ReviewPeriod period)
{
    switch (period) {
    case ReviewToday: return 100;
    case ReviewWeek: return 500;
    case ReviewMonth: return 2000;
    case ReviewAll: return 8000;
    }
    return 100;
}

// The slot of an answer time among the period's slot labels (the first and
// the last are the axis ends, "-"); -1 (no slot) for an invalid time. The
// weekday comes from the date itself, not from the locale's day name, so that
// the week's slots fill under any system language.
int slotIndex(ReviewPeriod period, const QDateTime &time)
{
    if (!time.isValid())
        return -1;
    switch (period) {
    case ReviewToday: return 1 + time.time().hour();
    case ReviewWeek: return 1 + time.date().dayOfWeek() % 7; // from Sunday
    case ReviewMonth: return time.date().day();
    case ReviewAll: return time.date().month();
    }
    return -1;
}

QColor parsedSkin(const QString &text)
{
    QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 4)
        parts = QString::fromLatin1(defaultSkinColor).split(QLatin1Char(','));
    return QColor(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt(), parts.at(3).toInt());
}

QPen solidPen(const QColor &color, qreal width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
}

} // namespace

DrawCurveForm::DrawCurveForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::DrawCurveForm)
{
    ui->setupUi(this);
}

DrawCurveForm::~DrawCurveForm()
{
    clearBuckets();
    delete ui;
}

void DrawCurveForm::setCurveColors(const QColor &total, const QColor &right, const QColor &wrong)
{
    totalColor = total;
    rightColor = right;
    wrongColor = wrong;
}

void DrawCurveForm::setSkinColor(const QString &color)
{
    skinColor = color;
}

void DrawCurveForm::clearBuckets()
{
    qDeleteAll(buckets);
    buckets.clear();
}

QString DrawCurveForm::setQuestions(ReviewPeriod period, const QList<MainQuestion *> &records)
{
    clearBuckets();
    this->period = period;
    const QStringList labels = slotLabels(period);
    for (const QString &label : labels) {
        auto *bucket = new CurveBucket;
        bucket->slotLabel = label;
        buckets.append(bucket);
    }
    slotCount = buckets.size();

    for (const MainQuestion *record : records) {
        if (!record || record->questions.isEmpty())
            continue;
        const QuestionData *question = record->questions.first();
        const int slot = slotIndex(period, question->userTime);
        if (slot < 0)
            continue;
        CurveBucket *bucket = buckets.at(slot);
        if (question->userStatus == 2)
            ++bucket->wrongCount;
        else if (question->userStatus == 1)
            ++bucket->rightCount;
        ++bucket->totalCount;
    }

    int total = 0;
    int right = 0;
    int wrong = 0;
    for (const CurveBucket *bucket : qAsConst(buckets)) {
        total += bucket->totalCount;
        right += bucket->rightCount;
        wrong += bucket->wrongCount;
    }
    update();
    return QStringLiteral("%1,%2,%3").arg(total).arg(right).arg(wrong);
}

QList<CurveBucket> DrawCurveForm::bucketList() const
{
    QList<CurveBucket> copies;
    for (const CurveBucket *bucket : buckets)
        copies.append(*bucket);
    return copies;
}

void DrawCurveForm::paintEvent(QPaintEvent *)
{
    const QColor skin = parsedSkin(skinColor);
    QPainter painter(this);
    const QFontMetrics metrics = painter.fontMetrics();
    const int h = metrics.ascent() + metrics.descent();
    const int left = metrics.horizontalAdvance(QStringLiteral("200")) + 5;
    const int right = metrics.horizontalAdvance(QStringLiteral("(日)"));
    const int plotW = width() - left - right - 20;
    const int axisTop = height() - 3 * h;
    const int plotH = axisTop - 10;
    const int max = yMaximum(period);

    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen = solidPen(skin, 1.0);
    painter.setPen(pen);
    painter.translate(QPointF(left, 1.75 * h + plotH));

    const float xStep = slotCount > 0 ? plotW / slotCount : 0.0f;
    const float gridStep = plotH / 20.0f;
    const float yScale = float(plotH) / max;

    painter.drawLine(20, -10, 20, -axisTop);
    // On a low chart the grid lines lie closer than a line of text: then
    // only every second (third …) line is labelled, counted from the top.
    const int labelEvery = gridStep > 0 ? qMax(1, int(std::ceil(h / gridStep))) : 1;
    for (int i = 1; i <= 20; ++i) {
        const QString label = QString::number(max * i / 20);
        const int y = int(-i * gridStep - 10);
        painter.drawLine(16, y, plotW, y);
        if ((20 - i) % labelEvery == 0)
            painter.drawText(16 - metrics.horizontalAdvance(label),
                             int(-10 - (i * gridStep + h / 2 - metrics.ascent())), label);
    }
    painter.drawLine(20, -10, plotW, -10);

    const int count = buckets.size();
    QPolygon totals;
    QPolygon wrongs;
    QPolygon rights;
    int nextLabelX = INT_MIN;
    for (int i = 0; i < count; ++i) {
        const CurveBucket *bucket = buckets.at(i);
        if (i + 1 < count) {
            pen.setWidthF(0.5);
            painter.setPen(pen);
            const int tick = int((i + 1) * xStep + 20);
            painter.drawLine(tick, -10, tick, -6);
        }
        // Narrow slots (the month's 33 at the page's size) would run their
        // labels together: a label that would touch the last one drawn is left out.
        const int labelX = 20 + int(i * xStep);
        if (labelX >= nextLabelX) {
            painter.drawText(labelX, h, bucket->slotLabel);
            nextLabelX = labelX + metrics.horizontalAdvance(bucket->slotLabel) + metrics.averageCharWidth();
        }
        const int x = int((i + 1) * xStep + 20 - xStep);
        totals << QPoint(x, int(-(bucket->totalCount * yScale + 10)));
        wrongs << QPoint(x, int(-(bucket->wrongCount * yScale + 10)));
        rights << QPoint(x, int(-(bucket->rightCount * yScale + 10)));
    }

    const std::pair<const QPolygon *, QColor> curves[] = {
        {&totals, totalColor}, {&wrongs, wrongColor}, {&rights, rightColor}};
    for (const auto &curve : curves) {
        if (curve.first->isEmpty())
            continue;
        painter.setPen(solidPen(curve.second, 1.0));
        painter.setBrush(QBrush(curve.second));
        painter.drawConvexPolygon(*curve.first);
    }
}
