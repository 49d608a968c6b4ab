#include "CollectionWidget.h"

#include "StandIn.h"

CollectionWidget::CollectionWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("我的收藏"));
    standInCall("CollectionWidget", "CollectionWidget");
}

CollectionWidget::~CollectionWidget() = default;

void CollectionWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("CollectionWidget", "setSkinColor");
}

void CollectionWidget::loadList()
{
    standInCall("CollectionWidget", "loadList");
}

void CollectionWidget::clearList()
{
    standInCall("CollectionWidget", "clearList");
}
