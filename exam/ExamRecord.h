#pragma once

#include <QString>

// One saved exam result, kept as a ConfigTable row: Key and V5 the record
// number, V1 the time it was saved, V2 the kind, V3 the report's HTML and
// V4 the counts. Wrong answers are not stored; they are what the total
// leaves after the right and the unanswered ones.
class ExamRecord
{
public:
    // The kinds that keep a record: the exam modes of the same numbers.
    enum Kind { ManMachine = 0, Simulated = 1 };

    int kind = ManMachine;
    QString report;
    int total = 0;
    int right = 0;
    int unanswered = 0;

    int wrong() const { return total - right - unanswered; }
    // V4: "total/right/unanswered" in decimal.
    QString countsText() const;
    // Reads V4 back; false, with the counts left alone, unless the text is
    // three "/"-separated whole numbers.
    bool readCounts(const QString &text);
    // Stores the row under the next record number, timed now: 0, or -1 with
    // the store's error written to the debug log.
    int insert() const;
};
