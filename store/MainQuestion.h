#pragma once

#include <QList>
#include <QString>

class QuestionData;
class QueTypeData;

// One question group (a tCateList or ytCateList row, or one question on its
// own for some loaders); owns its questions, never its type record.
class MainQuestion
{
public:
    MainQuestion() = default;
    ~MainQuestion();
    Q_DISABLE_COPY(MainQuestion)

    // Derives how an answer is marked from the question type.
    void setQueType(int queTypeId);

    int cateListId = 0;
    int cateId = 0;
    int queTypeId = 0;
    QString publicQueText;
    QList<QuestionData *> questions;
    // 0 one option (radio marks), 1 any number of options (check boxes),
    // 3 a typed answer.
    int kind = 0;
    // The store's record of the type; null when the bank has no such type.
    QueTypeData *queType = nullptr;
};
