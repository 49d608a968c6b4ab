#include "SingleQuestionModelFrom.h"

#include "StandIn.h"

SingleQuestionModelFrom::SingleQuestionModelFrom(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("章节练习"));
    standInCall("SingleQuestionModelFrom", "SingleQuestionModelFrom");
}

SingleQuestionModelFrom::~SingleQuestionModelFrom() = default;

void SingleQuestionModelFrom::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("SingleQuestionModelFrom", "setSkinColor");
}

void SingleQuestionModelFrom::startPractice(SqliteData *set, int type, const QString &sectionName)
{
    Q_UNUSED(set)
    Q_UNUSED(type)
    Q_UNUSED(sectionName)
    standInCall("SingleQuestionModelFrom", "startPractice");
}
