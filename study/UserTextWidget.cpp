#include "UserTextWidget.h"

#include "StandIn.h"

UserTextWidget::UserTextWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("我的笔记"));
    standInCall("UserTextWidget", "UserTextWidget");
}

UserTextWidget::~UserTextWidget() = default;

void UserTextWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("UserTextWidget", "setSkinColor");
}

void UserTextWidget::loadList()
{
    standInCall("UserTextWidget", "loadList");
}

void UserTextWidget::clearList()
{
    standInCall("UserTextWidget", "clearList");
}
