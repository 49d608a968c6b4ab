#include "StudyBank.h"

#include "ClearQuestionsRecord.h"
#include "SqliteClass.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QWidget>

StudyBank::StudyBank(const QString &sql)
{
    if (!sql.isEmpty())
        bank.addSql(sql);
    opened = bank.open()
             && SqliteClass::instance()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0)
                    == 2;
}

StudyBank::~StudyBank()
{
    SqliteClass::instance()->closeDatabase();
}

QMap<int, QStringList> userColumns()
{
    QMap<int, QStringList> rows;
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select queId, userStatus, userAnswer, userTime, userFav, userNote from tQue"));
    while (query.next()) {
        QStringList columns;
        for (int i = 1; i <= 5; ++i)
            columns << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
        rows.insert(query.value(0).toInt(), columns);
    }
    return rows;
}

QList<int> questionsOfSet(int cateId)
{
    QList<int> ids;
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select q.queId from tQue q join tCateList l on l.cateListId = q.cateListId "
                              "where l.cateId = %1")
                   .arg(cateId));
    while (query.next())
        ids << query.value(0).toInt();
    return ids;
}

QString shownTime(const QString &stored)
{
    const QDateTime time = QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return QLocale::system().toString(time, QStringLiteral("yyyy-MM-dd hh:mm:ss ddd"));
}

ClearQuestionsRecord *shownClearDialog()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        auto *dialog = qobject_cast<ClearQuestionsRecord *>(window);
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

QColor paintedColor(QWidget *widget, const QPoint &pos, bool hovered)
{
    // The mouse over the widget, or off it in its window's corner.
    QTest::mouseMove(hovered ? widget : widget->window(), hovered ? pos : QPoint(0, 0));
    QCoreApplication::processEvents();
    return widget->grab().toImage().pixelColor(pos);
}

QColor skinColour(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    return QColor(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt(), parts.value(3).toInt());
}
