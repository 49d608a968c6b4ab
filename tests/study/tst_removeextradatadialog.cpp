#include "FixtureBank.h"
#include "RemoveExtraDataDialog.h"
#include "SqliteClass.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

int count(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
}

// A trigger that makes every delete from the table fail.
QString refuseDeletes(const QString &table)
{
    return QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON %1 BEGIN SELECT RAISE(ABORT, 'refused'); END;")
        .arg(table);
}

} // namespace

class TestRemoveExtraDataDialog : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void run_data();
    void run();
    void closingDeletes();
};

void TestRemoveExtraDataDialog::form()
{
    RemoveExtraDataDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("RemoveExtraDataDialog"));
    QCOMPARE(dialog.size(), QSize(447, 75));
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(bar && label);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(label->text(), QStringLiteral("正在清除多余的题库数据..."));
}

void TestRemoveExtraDataDialog::run_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("bar");
    // Counts after the run: nodes, groups, options, questions.
    QTest::addColumn<QList<int>>("removed");

    // The fixture's broken tree: nodes 3, 13, 80 and 1111 go, then group 117
    // (on 1111) and 118 (on a missing node), then the questions 1021, 1022 and
    // 9001 with their two options each.
    QTest::newRow("broken-tree fixture") << QString() << 0 << 100 << QList<int>{4, 2, 6, 3};
    QTest::newRow("step 1 fails") << refuseDeletes("tCate") << -1 << 0 << QList<int>{0, 0, 0, 0};
    QTest::newRow("step 2 fails") << refuseDeletes("tCateList") << -1 << 25 << QList<int>{4, 0, 0, 0};
    QTest::newRow("step 3 fails") << refuseDeletes("tQueOpt") << -1 << 40 << QList<int>{4, 2, 0, 0};
    QTest::newRow("step 4 fails") << refuseDeletes("tQue") << -1 << 70 << QList<int>{4, 2, 6, 0};
}

void TestRemoveExtraDataDialog::run()
{
    QFETCH(QString, sql);
    QFETCH(int, result);
    QFETCH(int, bar);
    QFETCH(QList<int>, removed);

    FixtureBank bank;
    if (!sql.isEmpty())
        bank.addSql(sql);
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(SqliteClass::instance()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
    const QStringList tables = {"tCate", "tCateList", "tQueOpt", "tQue"};
    QList<int> before;
    for (const QString &table : tables)
        before << count(QStringLiteral("select count(*) from %1").arg(table));

    RemoveExtraDataDialog dialog;
    QCOMPARE(dialog.run(), result);

    QCOMPARE(dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"))->value(), bar);
    for (int i = 0; i < tables.size(); ++i)
        QCOMPARE(before.at(i) - count(QStringLiteral("select count(*) from %1").arg(tables.at(i))), removed.at(i));
}

void TestRemoveExtraDataDialog::closingDeletes()
{
    QPointer<RemoveExtraDataDialog> dialog = new RemoveExtraDataDialog;
    dialog->setModal(true);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

QTEST_MAIN(TestRemoveExtraDataDialog)
#include "tst_removeextradatadialog.moc"
