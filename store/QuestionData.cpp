#include "QuestionData.h"

#include "OptionData.h"

QuestionData::~QuestionData()
{
    while (!options.isEmpty())
        delete options.takeFirst();
}
