#pragma once

#include <QString>

// One time slot of the review chart and the answers counted into it.
struct CurveBucket
{
    // Shown under the slot; also what an answer time is matched against.
    QString slotLabel;
    qint32 wrongCount = 0;
    qint32 rightCount = 0;
    // Every answer of the slot, whatever its state.
    qint32 totalCount = 0;
};
