#pragma once

#include <QString>

// One option of a question (a tQueOpt or ytQueOpt row).
class OptionData
{
public:
    int optId = 0;
    int queId = 0;
    QString optName;
    QString optText;
    // Set by the question cells while the user answers.
    bool selected = false;
};
