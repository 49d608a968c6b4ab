#include "FindQuestionWidget.h"

#include "StandIn.h"

FindQuestionWidget::FindQuestionWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("搜索题目"));
    standInCall("FindQuestionWidget", "FindQuestionWidget");
}

FindQuestionWidget::~FindQuestionWidget() = default;

void FindQuestionWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("FindQuestionWidget", "setSkinColor");
}

void FindQuestionWidget::resetPage()
{
    standInCall("FindQuestionWidget", "resetPage");
}
