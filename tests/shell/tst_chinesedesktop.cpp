// The language and the font faces of the program on any desktop: dates in
// the dialogs read as Chinese, and the Windows families of the forms get a
// face that holds Chinese and Latin alike.
#include "ChineseDesktop.h"

#include "ConfigDialog.h"
#include "DialogAnswerer.h"
#include "FixtureBank.h"
#include "Resources.h"
#include "SetExamTime.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QDateEdit>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QDateTime backupTime(QDate(2026, 12, 11), QTime(7, 31, 47));

bool setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

QString labelText(QWidget *dialog)
{
    return dialog->findChild<QLabel *>(QStringLiteral("label_text"))->text();
}

} // namespace

class TestChineseDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void datesReadChinese_data();
    void datesReadChinese();
    void windowsFamiliesHaveACjkFace_data();
    void windowsFamiliesHaveACjkFace();

private:
    // The backup dialog on a fixture bank whose backup was made at backupTime.
    ConfigDialog *backupDialog();

    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<FixtureBank> bank;
};

void TestChineseDesktop::initTestCase()
{
    initResources();
    ChineseDesktop::apply();
}

void TestChineseDesktop::cleanup()
{
    delete SqliteClass::instance();
    bank.reset();
    work.reset();
}

ConfigDialog *TestChineseDesktop::backupDialog()
{
    work = std::make_unique<TempWorkDir>();
    bank = std::make_unique<FixtureBank>();
    if (!bank->open())
        return nullptr;
    SqliteClass *store = SqliteClass::instance();
    if (store->openDatabase(bank->path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0) != 2
        || store->copyBankFile(bank->path() + QStringLiteral("/BKMedicalDB.db")) != 0
        || !setModified(bank->path() + QStringLiteral("/BKMedicalDB.db"), backupTime))
        return nullptr;
    return new ConfigDialog;
}

void TestChineseDesktop::datesReadChinese_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exam date") << QStringLiteral("SetExamTime") << QStringLiteral("2026/12/20");
    QTest::newRow("backup found") << QStringLiteral("ConfigDialog") << QStringLiteral("2026年12月11日 星期五 07:31:47");
    QTest::newRow("backup restored") << QStringLiteral("ConfigDialog restore")
                                     << QStringLiteral("还原:2026年12月11日 星期五 07:31:47文件成功.");
}

void TestChineseDesktop::datesReadChinese()
{
    QFETCH(QString, dialog);
    QFETCH(QString, expected);
    QString shown;
    if (dialog == QLatin1String("SetExamTime")) {
        SetExamTime examDate;
        examDate.setDate(QDate(2026, 12, 20));
        shown = examDate.findChild<QDateEdit *>()->text();
    } else {
        std::unique_ptr<ConfigDialog> backup(backupDialog());
        QVERIFY(backup);
        if (dialog.endsWith(QLatin1String("restore"))) {
            DialogAnswerer answerer(
                [](QWidget *confirmation) { QVERIFY(DialogAnswerer::clickButton(confirmation, QStringLiteral("pushButton_save"))); });
            QTest::mouseClick(backup->findChild<QPushButton *>(QStringLiteral("pushButton_Reduction")), Qt::LeftButton);
            QVERIFY(answerer.wait());
        }
        shown = labelText(backup.get());
    }
    QCOMPARE(shown, expected);
    QVERIFY2(!shown.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(shown));
}

void TestChineseDesktop::windowsFamiliesHaveACjkFace_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("微软雅黑") << QStringLiteral("微软雅黑");
    QTest::newRow("Microsoft YaHei") << QStringLiteral("Microsoft YaHei");
    QTest::newRow("宋体") << QStringLiteral("宋体");
}

void TestChineseDesktop::windowsFamiliesHaveACjkFace()
{
    QFETCH(QString, family);
    const QFont font(family, 12);
    const QString face = QFontInfo(font).family();
    QVERIFY2(QFontDatabase().writingSystems(face).contains(QFontDatabase::SimplifiedChinese), qPrintable(face));
    // Latin letters and digits from the same face, not from a fallback.
    const QFontMetrics metrics(font);
    for (QChar c : QStringLiteral("中文Aa09"))
        QVERIFY2(metrics.inFontUcs4(c.unicode()), qPrintable(face + QLatin1Char(' ') + c));
    QVERIFY2(QFont::substitutes(family).contains(face, Qt::CaseInsensitive), qPrintable(face));
}

QTEST_MAIN(TestChineseDesktop)
#include "tst_chinesedesktop.moc"
