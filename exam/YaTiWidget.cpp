#include "YaTiWidget.h"

#include "StandIn.h"

YaTiWidget::YaTiWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("考前押题"));
    standInCall("YaTiWidget", "YaTiWidget");
}

YaTiWidget::~YaTiWidget() = default;

void YaTiWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("YaTiWidget", "setSkinColor");
}

void YaTiWidget::initPage()
{
    standInCall("YaTiWidget", "initPage");
}
