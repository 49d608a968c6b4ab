#include "ErrorQuestionWidget.h"

#include "StandIn.h"

ErrorQuestionWidget::ErrorQuestionWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("错题本"));
    standInCall("ErrorQuestionWidget", "ErrorQuestionWidget");
}

ErrorQuestionWidget::~ErrorQuestionWidget() = default;

void ErrorQuestionWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("ErrorQuestionWidget", "setSkinColor");
}

void ErrorQuestionWidget::loadList()
{
    standInCall("ErrorQuestionWidget", "loadList");
}

void ErrorQuestionWidget::clearList()
{
    standInCall("ErrorQuestionWidget", "clearList");
}
