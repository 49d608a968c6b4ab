#pragma once

#include <QPointF>
#include <QProgressBar>
#include <QRectF>
#include <QString>

// A ring gauge: a grey disc, a pie in the colour "r,g,b,a" that fills
// clockwise from twelve o'clock with value ÷ total, and a centre disc with
// the value text. Only paints; the progress bar's own value is not shown.
class CRoundProcessBar : public QProgressBar
{
    Q_OBJECT
public:
    // An empty colour gives "0,0,0,0" (no visible pie).
    explicit CRoundProcessBar(QWidget *parent = nullptr, const QString &color = QString());
    ~CRoundProcessBar() override;

    // Repaints at once.
    void setValueText(const QString &text);
    // Both show at the next paint.
    void setColor(const QString &color);
    void setTotal(float total);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void computeGeometry();
    void paintBackground(QPainter &painter) const;
    void paintPie(QPainter &painter);
    void paintCentre(QPainter &painter) const;

    QString valueText = QStringLiteral("90");
    QString colorText;
    float total = 100.0f;
    double radius = 0;
    double backgroundRadius = 0;
    double pieRadius = 0;
    double centreRadius = 0;
    QPointF centre;
    QRectF pieRect;
};
