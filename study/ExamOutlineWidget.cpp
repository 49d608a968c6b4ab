#include "ExamOutlineWidget.h"

#include "StandIn.h"

ExamOutlineWidget::ExamOutlineWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("考试大纲"));
    standInCall("ExamOutlineWidget", "ExamOutlineWidget");
}

ExamOutlineWidget::~ExamOutlineWidget() = default;

void ExamOutlineWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("ExamOutlineWidget", "setSkinColor");
}

void ExamOutlineWidget::loadTree()
{
    standInCall("ExamOutlineWidget", "loadTree");
}
