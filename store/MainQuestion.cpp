#include "MainQuestion.h"

#include "QuestionData.h"

MainQuestion::~MainQuestion()
{
    while (!questions.isEmpty())
        delete questions.takeFirst();
}

void MainQuestion::setQueType(int queTypeId)
{
    switch (queTypeId) {
    case 3:
    case 4:
    case 6:
        kind = 1;
        break;
    case 10:
    case 15:
        kind = 3;
        break;
    default:
        // Single choice, matching, true/false and free-text case analysis
        // (and any unknown type) are marked like a single choice.
        kind = 0;
        break;
    }
}
