#include "QuickBackQuestions.h"

#include "StandIn.h"

QuickBackQuestions::QuickBackQuestions(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("快速背题"));
    standInCall("QuickBackQuestions", "QuickBackQuestions");
}

QuickBackQuestions::~QuickBackQuestions() = default;

void QuickBackQuestions::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("QuickBackQuestions", "setSkinColor");
}
