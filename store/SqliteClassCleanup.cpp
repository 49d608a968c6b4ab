#include "SqliteClass.h"

#include <QSqlQuery>
#include <QtDebug>

namespace {

// Ids are written into these statements as quoted text, as the chapter
// tree's node ids were always compared; a failed statement's logged text
// then names its node.
const QString parentSql = QStringLiteral("select faId from tCate where cateId='%1' ");

// clearChapterRecords' flags: a part counts only when it reads as 1.
bool isFlagSet(const QStringList &parts, int index)
{
    return parts.value(index).toInt() == 1;
}

// The update of clearChapterRecords for one group, without its where clause.
QString clearStatement(const QString &flags)
{
    const QStringList parts = flags.split(QLatin1Char(','));
    const bool answers = isFlagSet(parts, 0);
    const bool favourites = isFlagSet(parts, 1);
    const bool notes = isFlagSet(parts, 2);
    if (answers) {
        QString sql = QStringLiteral("update tQue set userStatus = '0' , userAnswer = NULL , userTime = NULL  ");
        if (favourites)
            sql = QStringLiteral("%1 ,userFav ='0' ").arg(sql);
        if (notes)
            sql = QStringLiteral("%1 ,userNote =NULL ").arg(sql);
        return sql;
    }
    QString sql = QStringLiteral("update tQue set ");
    if (favourites) {
        sql = QStringLiteral("%1 userFav ='0' ").arg(sql);
        if (notes)
            sql = QStringLiteral("%1 , userNote =NULL ").arg(sql);
    } else if (notes) {
        sql = QStringLiteral("%1   userNote =NULL ").arg(sql);
    }
    // With no part set this is "update tQue set ", which the engine rejects.
    return sql;
}

} // namespace

int SqliteClass::removeBrokenChapters()
{
    const StoreLocker locker(storeMutex);
    const int result = runInTransaction([this] {
        QList<int> ids;
        {
            QSqlQuery query = newQuery();
            if (!runQuery(query, QStringLiteral("select cateId from tCate ")))
                return -1;
            while (query.next())
                ids << query.value(0).toInt();
        }
        // Every node is judged on the tree as it was before the first delete.
        QList<int> marked;
        for (int cateId : qAsConst(ids)) {
            const int broken = isBrokenChapter(cateId);
            if (broken < 0)
                return -1;
            if (broken)
                marked << cateId;
        }
        for (int cateId : qAsConst(marked)) {
            if (runStatement(QStringLiteral("delete  from tCate where cateId='%1' ").arg(cateId)) < 0)
                return -1;
        }
        return 0;
    });
    if (result < 0)
        qDebug().noquote() << lastError;
    return result;
}

// 1 when a node has no place in the three-level tree, 0 when it stays, -1
// on a failed query. Levels 1 and 2 stay only with children, level 3 always.
int SqliteClass::isBrokenChapter(int cateId)
{
    int parent = 0;
    if (selectInt(parentSql.arg(cateId), parent) < 0)
        return -1;
    if (parent == 0)
        return isChildlessChapter(cateId);
    int grandparent = 0;
    const int parentFound = selectInt(parentSql.arg(parent), grandparent);
    if (parentFound <= 0)
        return parentFound < 0 ? -1 : 1;
    if (grandparent == 0)
        return isChildlessChapter(cateId);
    int greatGrandparent = 0;
    const int grandparentFound = selectInt(parentSql.arg(grandparent), greatGrandparent);
    if (grandparentFound < 0)
        return -1;
    return grandparentFound == 1 && greatGrandparent == 0 ? 0 : 1;
}

int SqliteClass::isChildlessChapter(int cateId)
{
    const int children = firstInt(QStringLiteral("select count(cateId) from tCate where faId='%1' ").arg(cateId),
                                  QVariantList(), 0);
    if (children < 0)
        return -1;
    if (children > 0)
        return 0;
    qDebug() << "delete:cateId" << cateId;
    return 1;
}

int SqliteClass::selectInt(const QString &sql, int &value)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    if (!runQuery(query, sql))
        return -1;
    if (!query.next())
        return 0;
    value = query.value(0).toInt();
    return 1;
}

int SqliteClass::removeOrphanRows(int step)
{
    static const QStringList statements = {
        QStringLiteral("delete from tCateList where cateId not in (select cateId from tCate )"),
        QStringLiteral("delete from tQueOpt where queId in (select a.queId from tQue as a left join tCateList "
                       "as b on a.cateListId=b.cateListId where b.cateId is null)"),
        QStringLiteral("delete from tQue where queId in (select a.queId from tQue as a left join tCateList "
                       "as b on a.cateListId=b.cateListId where b.cateId is null)"),
    };
    if (step < 1 || step > statements.size())
        return -1;
    const StoreLocker locker(storeMutex);
    const int result = runInTransaction([&] { return runStatement(statements.at(step - 1)); });
    if (result < 0)
        qDebug().noquote() << lastError;
    return result;
}

int SqliteClass::clearChapterRecords(const QString &flags, int cateId)
{
    QList<int> groups;
    int result = 0;
    {
        const StoreLocker locker(storeMutex);
        QSqlQuery query = newQuery();
        if (!runQuery(query, QStringLiteral("SELECT cateListId from tCateList WHERE cateId = '%1' ").arg(cateId)))
            return -1;
        while (query.next())
            groups << query.value(0).toInt();
        query.finish();
        const QString update = clearStatement(flags);
        if (!groups.isEmpty()) {
            result = runInTransaction([&] {
                for (int group : qAsConst(groups)) {
                    if (runStatement(QStringLiteral("%1 where cateListId='%2'").arg(update, QString::number(group)))
                        < 0)
                        return -1;
                }
                return 0;
            });
        }
    }
    // Progress only for groups that stay cleared (a rollback shows none),
    // sent once the lock is let go.
    for (int i = 0; result == 0 && i < groups.size(); ++i)
        emit sendClearQuestions(groups.size(), i + 1);
    return result;
}
