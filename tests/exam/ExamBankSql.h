#pragma once

#include <QList>
#include <QString>
#include <QVector>

// SQL for a schema-only bank with exactly the questions a test asks for:
// the question types 1, 2, 3, 4, 6, 7 and 11, a ticked chapter 1 and an
// unticked chapter 2, groups of given sizes per type, and prediction papers.
// Every question has the options A and B and the answer A.
class ExamBankSql
{
public:
    ExamBankSql();

    // One group per size, in chapter cateId.
    ExamBankSql &groups(int queTypeId, const QList<int> &sizes, int cateId = 1);
    // n groups of one question each (the form of a stand-alone question).
    ExamBankSql &singles(int queTypeId, int n, int cateId = 1);
    // A prediction paper (ytCate) and its groups of one type.
    ExamBankSql &paper(int paperId);
    ExamBankSql &paperGroups(int paperId, int queTypeId, const QList<int> &sizes);
    ExamBankSql &raw(const QString &sql);

    QString text() const { return sql; }

private:
    QString sql;
    int nextGroup = 1000;
    int nextQuestion = 100000;
};
