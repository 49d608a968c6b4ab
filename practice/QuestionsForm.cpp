#include "QuestionsForm.h"

#include "StandIn.h"

QuestionsForm::QuestionsForm(QWidget *parent)
    : QWidget(parent)
{
    standInTitle(this, QStringLiteral("题目列表"));
    standInCall("QuestionsForm", "QuestionsForm");
}

QuestionsForm::~QuestionsForm() = default;

void QuestionsForm::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("QuestionsForm", "setSkinColor");
}

void QuestionsForm::startQuestionSet(SqliteData *set)
{
    Q_UNUSED(set)
    standInCall("QuestionsForm", "startQuestionSet");
}
