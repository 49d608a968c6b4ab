#pragma once

#include <QString>

// One syllabus row (an examOutline row).
class ExamOutlineData
{
public:
    QString content;
    QString id;
    // The row's third column, which the syllabus page reads to decide
    // whether a node's children get children of their own.
    QString thirdColumn;
};
