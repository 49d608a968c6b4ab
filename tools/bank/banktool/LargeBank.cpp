#include "LargeBank.h"

#include "BankFile.h"
#include "BankSql.h"
#include "BuiltinPassphrase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <iterator>

#include <sqlite3.h>

namespace {

const int chapters = 20;
const int sectionsPerChapter = 5;
const int setsPerSection = 4;

// Question types in rough exam proportions; 3, 4 and 7 come as groups of three.
const int typeCycle[] = {1, 1, 1, 1, 2, 2, 2, 3, 4, 6, 7, 10, 11, 12, 14, 16};

const char16_t words[] =
    u"患者男性女性岁反复发作咳嗽咳痰胸痛气促心悸发热乏力腹痛腹泻恶心呕吐头痛头晕水肿"
    u"血压心率呼吸体温查体双肺湿啰音心脏杂音肝脾肿大实验室检查白细胞血红蛋白血小板"
    u"最可能的诊断首选治疗药物机制不良反应禁忌证适应证剂量病理生理解剖组织细胞";

QString randomText(QRandomGenerator &random, int minLength, int maxLength)
{
    const int wordsLength = int(sizeof(words) / sizeof(words[0])) - 1;
    const int length = random.bounded(minLength, maxLength + 1);
    QString text;
    text.reserve(length + length / 12);
    for (int i = 0; i < length; ++i) {
        text += QChar(words[random.bounded(wordsLength)]);
        if (i % 12 == 11)
            text += QChar(0xFF0C);   // full-width comma
    }
    return text;
}

class Statement
{
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool valid() const { return stmt != nullptr; }
    Statement &bind(int column, int value) { sqlite3_bind_int(stmt, column, value); return *this; }
    Statement &bind(int column, const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(stmt, column, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        return *this;
    }
    bool run()
    {
        const bool done = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        return done;
    }

private:
    sqlite3_stmt *stmt = nullptr;
};

class Generator
{
public:
    Generator(sqlite3 *db, const LargeBankPlan &plan)
        : plan(plan), random(plan.seed),
          cate(db, "INSERT INTO tCate VALUES (?, ?, ?, ?, '1')"),
          group(db, "INSERT INTO tCateList VALUES (?, ?, ?, ?, ?)"),
          question(db, "INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime, "
                       "userStatus, userAnswer, userTime, userFav, userNote) "
                       "VALUES (?, ?, ?, ?, ?, '0', ?, ?, '2024-03-01 08:00:00', ?, ?, ?, ?, ?)"),
          option(db, "INSERT INTO tQueOpt (optName, optText, queId) VALUES (?, ?, ?)"),
          log(db, "INSERT INTO tQueLog (queId, type, userStatus, userAnswer, userTime) VALUES (?, '001', ?, ?, ?)")
    {
    }

    bool valid() const { return cate.valid() && group.valid() && question.valid() && option.valid() && log.valid(); }

    bool run()
    {
        const int sets = chapters * sectionsPerChapter * setsPerSection;
        const int perSet = (plan.questions + sets - 1) / sets;
        int setIndex = 0;
        for (int c = 1; c <= chapters; ++c) {
            const int chapterId = c;
            if (!cate.bind(1, chapterId).bind(2, QStringLiteral("第%1章 %2").arg(c).arg(randomText(random, 4, 8)))
                     .bind(3, 0).bind(4, c).run())
                return false;
            for (int s = 1; s <= sectionsPerChapter; ++s) {
                const int sectionId = c * 100 + s;
                if (!cate.bind(1, sectionId).bind(2, QStringLiteral("第%1节 %2").arg(s).arg(randomText(random, 4, 10)))
                         .bind(3, chapterId).bind(4, s).run())
                    return false;
                for (int t = 1; t <= setsPerSection; ++t) {
                    const int setId = sectionId * 100 + t;
                    if (!cate.bind(1, setId).bind(2, QStringLiteral("练习%1").arg(t)).bind(3, sectionId).bind(4, t).run()
                        || !fillSet(setId, qMin(perSet, plan.questions - setIndex * perSet)))
                        return false;
                    ++setIndex;
                }
            }
        }
        return true;
    }

private:
    bool fillSet(int setId, int count)
    {
        int groupOrd = 0;
        while (count > 0) {
            const int type = typeCycle[random.bounded(int(std::size(typeCycle)))];
            const bool shared = type == 3 || type == 4 || type == 7;
            const int size = qMin(shared ? 3 : 1, count);
            const int groupId = ++groups;
            const QString stem = shared ? randomText(random, 80, 300) : QString();
            if (!group.bind(1, groupId).bind(2, setId).bind(3, type).bind(4, stem).bind(5, ++groupOrd).run())
                return false;
            for (int i = 1; i <= size; ++i) {
                if (!addQuestion(groupId, type, i))
                    return false;
            }
            count -= size;
        }
        return true;
    }

    bool addQuestion(int groupId, int type, int ord)
    {
        const int queId = ++questions;
        const int optionCount = type == 11 ? 2 : (type >= 10 ? 0 : 5);
        const QString answer = optionCount ? answerFor(type, optionCount) : randomText(random, 20, 200);
        question.bind(1, queId).bind(2, groupId).bind(3, randomText(random, 20, 120)).bind(4, answer)
            .bind(5, randomText(random, 50, 300)).bind(6, ord).bind(7, QStringLiteral("L%1").arg(queId));
        // Spread the answered ones evenly over the bank.
        const bool isAnswered = plan.answered > 0 && queId % qMax(1, plan.questions / plan.answered) == 0
                                && answeredCount < plan.answered;
        if (isAnswered && !answerQuestion(queId, answer))
            return false;
        if (!isAnswered)
            question.bind(8, QStringLiteral("0")).bind(11, QStringLiteral("0"));
        if (!question.run())
            return false;
        for (int i = 0; i < optionCount; ++i) {
            const QString text = type == 11 ? (i == 0 ? QStringLiteral("正确") : QStringLiteral("错误"))
                                            : randomText(random, 4, 20);
            if (!option.bind(1, QString(QChar('A' + i))).bind(2, text).bind(3, queId).run())
                return false;
        }
        return true;
    }

    // Fills the user's columns of the pending question and logs the answer.
    bool answerQuestion(int queId, const QString &answer)
    {
        ++answeredCount;
        const bool right = random.bounded(100) < 65;
        const QString given = right ? answer : (answer == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A"));
        const QString status = right ? QStringLiteral("1") : QStringLiteral("2");
        const QString time = answerEpoch.addSecs(-qint64(random.bounded(60 * 24 * 3600))).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        question.bind(8, status).bind(9, given).bind(10, time)
            .bind(11, random.bounded(10) == 0 ? QStringLiteral("1") : QStringLiteral("0"));
        if (random.bounded(20) == 0)
            question.bind(12, randomText(random, 10, 60));
        return log.bind(1, queId).bind(2, status).bind(3, given).bind(4, time).run();
    }

    QString answerFor(int type, int optionCount)
    {
        if (type != 6)
            return QString(QChar('A' + random.bounded(optionCount)));
        QString letters;
        for (int i = 0; i < optionCount; ++i) {
            if (random.bounded(2) == 0 || (i == optionCount - 1 && letters.size() < 2))
                letters += QChar('A' + i);
        }
        return letters;
    }

    const LargeBankPlan &plan;
    QRandomGenerator random;
    Statement cate, group, question, option, log;
    const QDateTime answerEpoch = QDateTime(QDate(2015, 10, 1), QTime(12, 0));
    int groups = 0;
    int questions = 0;
    int answeredCount = 0;
};

// What the pages beside the question bank show: a syllabus, past exam
// records and prediction papers, so that every page has work on this bank.
// Paper ids start far above the practice ids, clear of any other paper.
class PageWork
{
public:
    PageWork(sqlite3 *db, quint32 seed)
        : random(seed + 1),
          outline(db, "INSERT INTO examOutline VALUES (?, ?, ?)"),
          record(db, "INSERT INTO ConfigTable VALUES (?, ?, ?, ?, ?, ?)"),
          paper(db, "INSERT INTO ytCate VALUES (?, ?, 0, ?, '1')"),
          group(db, "INSERT INTO ytCateList VALUES (?, ?, ?, ?)"),
          question(db, "INSERT INTO ytQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime, "
                       "userStatus, userFav) VALUES (?, ?, ?, ?, ?, '0', ?, ?, '2024-03-01 08:00:00', '0', '0')"),
          option(db, "INSERT INTO ytQueOpt (optName, optText, queId) VALUES (?, ?, ?)")
    {
    }

    bool run()
    {
        return outline.valid() && record.valid() && paper.valid() && group.valid() && question.valid()
               && option.valid() && addSyllabus() && addExamRecords() && addPapers();
    }

private:
    // Nine units ("001".."009"), ten topics each, eight points per topic.
    bool addSyllabus()
    {
        for (int u = 1; u <= 9; ++u) {
            const QString unit = QStringLiteral("%1").arg(u, 3, 10, QLatin1Char('0'));
            if (!outline.bind(1, unit).bind(2, QStringLiteral("第%1单元 %2").arg(u).arg(randomText(random, 6, 12)))
                     .bind(3, QString()).run())
                return false;
            for (int t = 1; t <= 10; ++t) {
                const QString topic = unit + QStringLiteral("%1").arg(t, 3, 10, QLatin1Char('0'));
                if (!outline.bind(1, topic).bind(2, randomText(random, 8, 30)).bind(3, QString()).run())
                    return false;
                for (int p = 1; p <= 8; ++p) {
                    const QString point = topic + QStringLiteral("%1").arg(p, 3, 10, QLatin1Char('0'));
                    if (!outline.bind(1, point).bind(2, randomText(random, 20, 120)).bind(3, QStringLiteral("1")).run())
                        return false;
                }
            }
        }
        return true;
    }

    // Thirty reports of each exam kind, each the size of a whole paper.
    bool addExamRecords()
    {
        for (int n = 1; n <= 60; ++n) {
            QString report = QStringLiteral("<html><body><h2>考试报告</h2>");
            for (int q = 1; q <= 120; ++q)
                report += QStringLiteral("<p>%1. %2</p>").arg(q).arg(randomText(random, 60, 200));
            report += QStringLiteral("</body></html>");
            const QString time = QDateTime(QDate(2015, 9, 1), QTime(9, 0)).addSecs(qint64(n) * 86400)
                                     .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            const int right = random.bounded(40, 110);
            if (!record.bind(1, QString::number(n)).bind(2, time).bind(3, QString::number(n % 2))
                     .bind(4, report).bind(5, QStringLiteral("120/%1/%2").arg(right).arg(random.bounded(0, 120 - right)))
                     .bind(6, QString::number(n)).run())
                return false;
        }
        return true;
    }

    // Twelve papers of 120 questions in exam proportions.
    bool addPapers()
    {
        const struct { int type; int count; } parts[] = {{1, 40}, {2, 30}, {3, 15}, {4, 9}, {6, 10}, {7, 9}, {11, 7}};
        int groupId = 900000;
        int queId = 900000;
        for (int p = 1; p <= 12; ++p) {
            const int paperId = 9000 + p;
            if (!paper.bind(1, paperId).bind(2, QStringLiteral("押题密卷%1").arg(p)).bind(3, p).run())
                return false;
            for (const auto &part : parts) {
                const bool shared = part.type == 3 || part.type == 4 || part.type == 7;
                for (int left = part.count; left > 0;) {
                    const int size = qMin(shared ? 3 : 1, left);
                    if (!group.bind(1, ++groupId).bind(2, paperId).bind(3, part.type)
                             .bind(4, shared ? randomText(random, 80, 300) : QString()).run())
                        return false;
                    for (int i = 1; i <= size; ++i) {
                        const int options = part.type == 11 ? 2 : 5;
                        const QString answer = QString(QChar('A' + random.bounded(options)));
                        ++queId;
                        if (!question.bind(1, queId).bind(2, groupId).bind(3, randomText(random, 20, 120))
                                 .bind(4, answer).bind(5, randomText(random, 50, 300)).bind(6, i)
                                 .bind(7, QStringLiteral("Y%1").arg(queId)).run())
                            return false;
                        for (int o = 0; o < options; ++o) {
                            const QString text = part.type == 11 ? (o == 0 ? QStringLiteral("正确") : QStringLiteral("错误"))
                                                                 : randomText(random, 4, 20);
                            if (!option.bind(1, QString(QChar('A' + o))).bind(2, text).bind(3, queId).run())
                                return false;
                        }
                    }
                    left -= size;
                }
            }
        }
        return true;
    }

    QRandomGenerator random;
    Statement outline, record, paper, group, question, option;
};

const char bankSettings[] =
    "INSERT INTO tQueType VALUES (1, 'A1型题', '单句型最佳选择题。', 1, 1, 40), (2, 'A2型题', '病例摘要型最佳选择题。', 2, 1, 30),"
    " (3, 'A3型题', '病例组型最佳选择题。', 3, 1, 6), (4, 'A4型题', '病例串型最佳选择题。', 4, 1, 6),"
    " (6, 'X型题', '多项选择题。', 5, 1, 10), (7, 'B1型题', '标准配伍题。', 6, 1, 6), (10, '填空题', '填空题。', 7, 1, 5),"
    " (11, '判断题', '判断题。', 8, 1, 10), (12, '简答题', '简答题。', 9, 5, 2), (14, '病例分析题', '病例分析题。', 10, 10, 1),"
    " (16, '论述题', '论述题。', 11, 10, 1);"
    "INSERT INTO sysConfig VALUES ('sysTypeISN', '9001', '大题库（基准测试）'), ('sysTypeGoods', 'A', '');"
    "INSERT INTO ConfigTable VALUES ('ExamTime', '2016-09-10', '', '', '', '');";

} // namespace

bool writeLargeBank(const QString &dir, const LargeBankPlan &plan, QString *error)
{
    const QString path = QDir(dir).filePath(QStringLiteral("MedicalDB.db"));
    if (!QDir().mkpath(QDir(dir).filePath(QStringLiteral("images"))) || (QFile::exists(path) && !QFile::remove(path))) {
        *error = QStringLiteral("cannot prepare %1").arg(dir);
        return false;
    }
    BankFile bank;
    if (!bank.open(path, QByteArray(builtinPassphrase, builtinPassphraseLength)) || !bank.exec(bankSchemaSql())
        || !bank.exec(QStringLiteral("BEGIN;")) || !bank.exec(QString::fromUtf8(bankSettings))) {
        *error = bank.error();
        return false;
    }
    Generator generator(bank.handle(), plan);
    PageWork pageWork(bank.handle(), plan.seed);
    if (!generator.valid() || !generator.run() || !pageWork.run() || !bank.exec(QStringLiteral("COMMIT;"))) {
        *error = QString::fromUtf8(sqlite3_errmsg(bank.handle()));
        return false;
    }
    return true;
}
