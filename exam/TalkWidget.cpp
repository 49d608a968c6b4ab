#include "TalkWidget.h"

#include "StandIn.h"

TalkWidget::TalkWidget(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("机考模拟"));
    standInCall("TalkWidget", "TalkWidget");
}

TalkWidget::~TalkWidget() = default;

void TalkWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("TalkWidget", "setSkinColor");
}
