#pragma once

#include <QList>
#include <QString>

class MainQuestion;

// One part of an exam paper. The exam window that holds it owns it and the
// drawn questions; the record itself deletes nothing.
class ExamSection
{
public:
    // Questions, or groups for a group type, to draw for the part.
    int count = 0;
    QString name;
    int queTypeId = 0;
    QString description;
    QList<MainQuestion *> questions;
};
