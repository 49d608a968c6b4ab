#include "LearnReportWidget.h"

#include "StandIn.h"

LearnReportWidget::LearnReportWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("学习报告"));
    standInCall("LearnReportWidget", "LearnReportWidget");
}

LearnReportWidget::~LearnReportWidget() = default;

void LearnReportWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("LearnReportWidget", "setSkinColor");
}

void LearnReportWidget::reload()
{
    standInCall("LearnReportWidget", "reload");
}
