#include "NewKnowWidget.h"

#include "StandIn.h"

NewKnowWidget::NewKnowWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("已做题回顾"));
    standInCall("NewKnowWidget", "NewKnowWidget");
}

NewKnowWidget::~NewKnowWidget() = default;

void NewKnowWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("NewKnowWidget", "setSkinColor");
}

void NewKnowWidget::loadList()
{
    standInCall("NewKnowWidget", "loadList");
}

void NewKnowWidget::clearLists()
{
    standInCall("NewKnowWidget", "clearLists");
}
