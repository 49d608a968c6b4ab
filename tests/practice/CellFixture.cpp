#include "CellFixture.h"

#include "MainQuestion.h"
#include "QuestionData.h"
#include "SqlRow.h"
#include "SqliteClass.h"

#include <QDir>

CellFixture::CellFixture(const QStringList &extraSql)
{
    for (const QString &sql : extraSql)
        bank.addSql(sql);
    SqliteClass *store = SqliteClass::instance();
    open = bank.open()
        && store->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0) == 2
        && store->loadQuestionTypes() == 0;
}

CellFixture::~CellFixture()
{
    SqliteClass::instance()->closeDatabase();
}

std::unique_ptr<MainQuestion> CellFixture::group(int cateListId)
{
    SqliteClass *store = SqliteClass::instance();
    auto group = std::make_unique<MainQuestion>();
    group->cateListId = cateListId;
    if (store->groupHeader(group->queType, group->publicQueText, cateListId) != 0
        || store->loadGroupQuestions(group->questions, cateListId, 0) != 0 || group->questions.isEmpty())
        return nullptr;
    group->queTypeId = sqlRow(QStringLiteral("select queTypeId from tCateList where cateListId = ?"), {cateListId})
                           .value(0)
                           .toInt();
    return group;
}

QString CellFixture::userData()
{
    return sqlRow(QStringLiteral(
                   "select (select group_concat(queId || '|' || ifnull(userStatus, '') || '|' || ifnull(userAnswer, '')"
                   " || '|' || ifnull(userTime, '') || '|' || ifnull(userFav, '') || '|' || ifnull(userNote, ''), ';')"
                   " from tQue), (select group_concat(ifnull(queId, '') || '|' || type || '|' || ifnull(userAnswer, ''),"
                   " ';') from tQueLog)"))
        .join(QLatin1Char('#'));
}

QString CellFixture::userColumns(int queId)
{
    return sqlRow(QStringLiteral("select userStatus, userAnswer from tQue where queId = ?"), {queId})
        .join(QLatin1Char('|'));
}

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QFileInfo &entry : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

bool CellFixture::openCopy(const QString &subjectDir, const QString &to)
{
    SqliteClass *store = SqliteClass::instance();
    return copyTree(subjectDir, to)
        && store->openDatabase(to, QString::fromLatin1(FixtureBank::builtinPhrase()), 0) == 2
        && store->loadQuestionTypes() == 0;
}
