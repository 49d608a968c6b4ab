#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class OptionData;

// One question (a tQue or ytQue row); owns its options.
class QuestionData
{
public:
    QuestionData() = default;
    ~QuestionData();
    Q_DISABLE_COPY(QuestionData)

    int queId = 0;
    int cateListId = 0;
    QString queText;
    QString answer;
    // Empty but never null, so the cells can show it without a check.
    QString prompt = QLatin1String("");
    bool IsDel = false;
    QList<OptionData *> options;
    QString userAnswer;
    bool userFav = false;
    QString userNote;
    QDateTime userTime;
    // 0 not answered, 1 right, 2 wrong.
    int userStatus = 0;
};
