#include "ExamBankSql.h"

ExamBankSql::ExamBankSql()
{
    sql = QStringLiteral(
        "INSERT INTO tQueType (queTypeId, queTypeName, memo) VALUES "
        "(1, 'A1型题', 'A1说明'), (2, 'A2型题', 'A2说明'), (3, 'A3型题', 'A3说明'), (4, 'A4型题', 'A4说明'), "
        "(6, 'X型题', 'X说明'), (7, 'B1型题', 'B1说明'), (11, '判断题', '判断说明');\n"
        "INSERT INTO tCate (cateId, cateName, faId, ord, choose) VALUES "
        "(1, '已选章节', 0, 1, '1'), (2, '未选章节', 0, 2, '0');\n");
}

ExamBankSql &ExamBankSql::groups(int queTypeId, const QList<int> &sizes, int cateId)
{
    for (const int size : sizes) {
        const int group = nextGroup++;
        sql += QStringLiteral("INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) "
                              "VALUES (%1, %2, %3, '%4', %1);\n")
                   .arg(group).arg(cateId).arg(queTypeId)
                   .arg(size > 1 ? QStringLiteral("共用题干%1").arg(group) : QString());
        for (int k = 0; k < size; ++k) {
            const int question = nextQuestion++;
            sql += QStringLiteral("INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord) "
                                  "VALUES (%1, %2, '题目%1', 'A', '', '0', %3);\n"
                                  "INSERT INTO tQueOpt (optName, optText, queId) VALUES "
                                  "('A', '甲', %1), ('B', '乙', %1);\n")
                       .arg(question).arg(group).arg(k + 1);
        }
    }
    return *this;
}

ExamBankSql &ExamBankSql::singles(int queTypeId, int n, int cateId)
{
    return groups(queTypeId, QVector<int>(n, 1).toList(), cateId);
}

ExamBankSql &ExamBankSql::paper(int paperId)
{
    sql += QStringLiteral("INSERT INTO ytCate (cateId, cateName, faId, ord, H_type) VALUES (%1, '押题卷%1', 0, %1, '1');\n")
               .arg(paperId);
    return *this;
}

ExamBankSql &ExamBankSql::paperGroups(int paperId, int queTypeId, const QList<int> &sizes)
{
    for (const int size : sizes) {
        const int group = nextGroup++;
        sql += QStringLiteral("INSERT INTO ytCateList (cateListId, cateId, queTypeId, publicQueText) "
                              "VALUES (%1, %2, %3, '');\n")
                   .arg(group).arg(paperId).arg(queTypeId);
        for (int k = 0; k < size; ++k) {
            const int question = nextQuestion++;
            sql += QStringLiteral("INSERT INTO ytQue (queId, cateListId, queText, answer, prompt, IsDel, ord) "
                                  "VALUES (%1, %2, '押题%1', 'A', '', '0', %3);\n"
                                  "INSERT INTO ytQueOpt (optName, optText, queId) VALUES "
                                  "('A', '甲', %1), ('B', '乙', %1);\n")
                       .arg(question).arg(group).arg(k + 1);
        }
    }
    return *this;
}

ExamBankSql &ExamBankSql::raw(const QString &text)
{
    sql += text + QLatin1Char('\n');
    return *this;
}
