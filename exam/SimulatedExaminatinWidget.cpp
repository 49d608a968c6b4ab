#include "SimulatedExaminatinWidget.h"

#include "StandIn.h"

SimulatedExaminatinWidget::SimulatedExaminatinWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("模拟考试"));
    standInCall("SimulatedExaminatinWidget", "SimulatedExaminatinWidget");
}

SimulatedExaminatinWidget::~SimulatedExaminatinWidget() = default;

void SimulatedExaminatinWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("SimulatedExaminatinWidget", "setSkinColor");
}
