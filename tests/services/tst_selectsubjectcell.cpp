// The subject row: its two states, the main button, the guarded delete and
// its skin.
#include "ChoiceDialog.h"
#include "DialogAnswerer.h"
#include "FixtureBank.h"
#include "PublicData.h"
#include "Resources.h"
#include "SelectSubjectCell.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QString subjectDir = QStringLiteral("data/installnew_abc");
const QString address = QStringLiteral("http://127.0.0.1:1/pkg/installnew_abc.zip");

QPushButton *button(QWidget *row, const char *name)
{
    return row->findChild<QPushButton *>(QLatin1String(name));
}

QString labelText(QWidget *row)
{
    return row->findChild<QLabel *>(QStringLiteral("label_text"))->text();
}

// The confirmation that is on screen now, if any.
ChoiceDialog *shownConfirmation()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *choice = qobject_cast<ChoiceDialog *>(w); choice && choice->isVisible())
            return choice;
    return nullptr;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestSelectSubjectCell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void states_data();
    void states();
    void searchLabel();
    void downloadButton();
    void studyButtonLeavesTheSettingToTheDialog();
    void openSubjectIsNotDeleted_data();
    void openSubjectIsNotDeleted();
    void openBankIsNotDeleted();
    void otherSubjectIsAskedFor_data();
    void otherSubjectIsAskedFor();
    void eachPressAsksAgain();
    void rowGoneClosesItsQuestion();
    void skin_data();
    void skin();

private:
    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<SelectSubjectCell> row;
};

void TestSelectSubjectCell::init()
{
    workDir = std::make_unique<TempWorkDir>();
    QVERIFY(QDir().mkpath(subjectDir));
    row = std::make_unique<SelectSubjectCell>();
    row->setData(subjectDir, QStringLiteral("病理学"), address, true);
    row->show();
}

void TestSelectSubjectCell::cleanup()
{
    row.reset();
    flushDeletes();
    workDir.reset();
}

void TestSelectSubjectCell::states_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::newRow("installed") << true << "学习" << "学习科目";
    QTest::newRow("not installed") << false << "下载" << "下载科目";
}

void TestSelectSubjectCell::states()
{
    QFETCH(bool, installed);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    // Each state also after the other one, as a deletion turns a row around.
    for (bool before : {true, false}) {
        row->setData(subjectDir, QStringLiteral("内科学"), address, before);
        row->setData(subjectDir, QStringLiteral("外科学"), address, installed);
        QCOMPARE(labelText(row.get()), QStringLiteral("外科学"));
        QCOMPARE(button(row.get(), "pushButton_save")->text(), text);
        QCOMPARE(button(row.get(), "pushButton_save")->toolTip(), tip);
        QCOMPARE(button(row.get(), "pushButton_deletesubject")->isVisible(), installed);
        QCOMPARE(button(row.get(), "pushButton_deletesubject")->text(), QStringLiteral("删除"));
        QCOMPARE(button(row.get(), "pushButton_deletesubject")->toolTip(), QStringLiteral("删除科目"));
        QCOMPARE(row->isInstalled(), installed);
        QCOMPARE(row->directory(), subjectDir);
        QCOMPARE(row->packageAddress(), address);
        QCOMPARE(row->SubName, QStringLiteral("外科学"));
    }
}

void TestSelectSubjectCell::searchLabel()
{
    row->setLabelText(QStringLiteral("医师资格->临床执业医师->病理学"));
    QCOMPARE(labelText(row.get()), QStringLiteral("医师资格->临床执业医师->病理学"));
    QCOMPARE(row->SubName, QStringLiteral("病理学"));
}

void TestSelectSubjectCell::downloadButton()
{
    row->setData(subjectDir, QStringLiteral("病理学"), address, false);
    QSignalSpy local(row.get(), &SelectSubjectCell::sendLocalSubject);
    QTest::mouseClick(button(row.get(), "pushButton_save"), Qt::LeftButton);
    QCOMPARE(local.count(), 1);
    QCOMPARE(local.at(0).at(0).toBool(), false);
    QCOMPARE(local.at(0).at(1).toString(), address);
    QCOMPARE(button(row.get(), "pushButton_save")->text(), QStringLiteral("正在下载"));
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), QString());
}

void TestSelectSubjectCell::studyButtonLeavesTheSettingToTheDialog()
{
    PublicData::setValue(QStringLiteral("Data/DBPath"), QStringLiteral("data/other"));
    QString settingAtSignal;
    QSignalSpy local(row.get(), &SelectSubjectCell::sendLocalSubject);
    connect(row.get(), &SelectSubjectCell::sendLocalSubject, this,
            [&] { settingAtSignal = PublicData::value(QStringLiteral("Data/DBPath")); });
    QTest::mouseClick(button(row.get(), "pushButton_save"), Qt::LeftButton);
    QCOMPARE(local.count(), 1);
    QCOMPARE(local.at(0).at(0).toBool(), true);
    QCOMPARE(local.at(0).at(1).toString(), subjectDir);
    // The dialog may refuse the switch: only it writes the setting.
    QCOMPARE(settingAtSignal, QStringLiteral("data/other"));
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), QStringLiteral("data/other"));
    QCOMPARE(button(row.get(), "pushButton_save")->text(), QStringLiteral("学习"));
}

void TestSelectSubjectCell::openSubjectIsNotDeleted_data()
{
    QTest::addColumn<QString>("dbPath");
    QTest::newRow("same text") << subjectDir;
    QTest::newRow("with ./") << "./" + subjectDir;
    QTest::newRow("trailing /") << subjectDir + "/";
    QTest::newRow("absolute") << "<work>/" + subjectDir;
    QTest::newRow("a folder inside it") << subjectDir + "/inner";
    QTest::newRow("by a link to it") << "<work>/link";
}

void TestSelectSubjectCell::openSubjectIsNotDeleted()
{
    QFETCH(QString, dbPath);
    QVERIFY(QDir().mkpath(subjectDir + "/inner"));
    QVERIFY(QFile::link(QDir(subjectDir).absolutePath(), QStringLiteral("link")));
    PublicData::setValue(QStringLiteral("Data/DBPath"), dbPath.replace(QStringLiteral("<work>"), workDir->path()));
    QSignalSpy deleted(row.get(), &SelectSubjectCell::sendDeleteSubject);
    QString title, text;
    DialogAnswerer answerer([&](QWidget *box) {
        title = box->windowTitle();
        text = qobject_cast<QMessageBox *>(box) ? static_cast<QMessageBox *>(box)->text() : QString();
        qobject_cast<QDialog *>(box)->accept();
    });
    QTest::mouseClick(button(row.get(), "pushButton_deletesubject"), Qt::LeftButton);
    QVERIFY(answerer.wait());
    QCOMPARE(answerer.dialogClass(), QStringLiteral("QMessageBox"));
    QCOMPARE(title, QStringLiteral("警告"));
    QCOMPARE(text, QStringLiteral("不能删除正在使用的科目."));
    QVERIFY(!shownConfirmation());
    QCOMPARE(deleted.count(), 0);
    QVERIFY(button(row.get(), "pushButton_deletesubject")->isVisible());
}

// The bank the store has open counts even when the setting names another.
void TestSelectSubjectCell::openBankIsNotDeleted()
{
    FixtureBank bank;
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QVERIFY(QFile::link(bank.path(), QStringLiteral("data/installnew_bank")));
    QCOMPARE(SqliteClass::instance()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0),
             2);
    PublicData::setValue(QStringLiteral("Data/DBPath"), subjectDir);
    row->setData(QStringLiteral("data/installnew_bank"), QStringLiteral("病理学"), address, true);
    QSignalSpy deleted(row.get(), &SelectSubjectCell::sendDeleteSubject);
    DialogAnswerer answerer([&](QWidget *box) { qobject_cast<QDialog *>(box)->accept(); });
    QTest::mouseClick(button(row.get(), "pushButton_deletesubject"), Qt::LeftButton);
    QVERIFY(answerer.wait());
    SqliteClass::instance()->closeDatabase();
    QCOMPARE(answerer.dialogClass(), QStringLiteral("QMessageBox"));
    QCOMPARE(deleted.count(), 0);
}

void TestSelectSubjectCell::otherSubjectIsAskedFor_data()
{
    QTest::addColumn<QString>("dbPath");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("deletes");
    QTest::newRow("no setting, OK") << "" << "确  定" << true;
    QTest::newRow("data itself, OK") << "data" << "确  定" << true;
    QTest::newRow("another subject, OK") << "data/installnew_xyz" << "确  定" << true;
    QTest::newRow("same name in other case, OK") << "data/INSTALLNEW_ABC" << "确  定" << true;
    QTest::newRow("a sibling sharing the prefix, OK") << subjectDir + "2" << "确  定" << true;
    QTest::newRow("another subject, cancel") << "data/installnew_xyz" << "取消" << false;
    QTest::newRow("another subject, close") << "data/installnew_xyz" << "pushButton_exit" << false;
}

void TestSelectSubjectCell::otherSubjectIsAskedFor()
{
    QFETCH(QString, dbPath);
    QFETCH(QString, answer);
    QFETCH(bool, deletes);
    for (const QString &dir : {QStringLiteral("data/installnew_xyz"), QStringLiteral("data/INSTALLNEW_ABC"), subjectDir + "2"})
        QVERIFY(QDir().mkpath(dir));
    PublicData::setValue(QStringLiteral("Data/DBPath"), dbPath);
    row->setSkinColor(QStringLiteral("10,20,30,255"));
    QSignalSpy deleted(row.get(), &SelectSubjectCell::sendDeleteSubject);
    QString message, okStyle;
    DialogAnswerer answerer([&](QWidget *dialog) {
        message = dialog->findChild<QLabel *>(QStringLiteral("label_message"))->text();
        okStyle = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_save"))->styleSheet();
        QVERIFY(DialogAnswerer::clickButton(dialog, answer));
    });
    QTest::mouseClick(button(row.get(), "pushButton_deletesubject"), Qt::LeftButton);
    QVERIFY(answerer.wait());
    QCOMPARE(answerer.dialogClass(), QStringLiteral("ChoiceDialog"));
    QCOMPARE(message, QStringLiteral("您确定要删除该科目吗？"));
    QVERIFY2(okStyle.contains(QStringLiteral("rgb(10,20,30,255)")), qPrintable(okStyle));
    QCOMPARE(deleted.count(), deletes ? 1 : 0);
    if (deletes)
        QCOMPARE(deleted.at(0).at(0).toString(), subjectDir);
    QCOMPARE(button(row.get(), "pushButton_deletesubject")->isVisible(), !deletes);
    // The row removes nothing itself; the dialog does.
    QVERIFY(QFileInfo(subjectDir).isDir());
    QCOMPARE(button(row.get(), "pushButton_save")->text(), QStringLiteral("学习"));
}

void TestSelectSubjectCell::eachPressAsksAgain()
{
    QSignalSpy deleted(row.get(), &SelectSubjectCell::sendDeleteSubject);
    for (const QString &answer : {QStringLiteral("取消"), QStringLiteral("确  定")}) {
        DialogAnswerer answerer([&](QWidget *dialog) { QVERIFY(DialogAnswerer::clickButton(dialog, answer)); });
        QTest::mouseClick(button(row.get(), "pushButton_deletesubject"), Qt::LeftButton);
        QVERIFY(answerer.wait());
        flushDeletes();
    }
    QCOMPARE(deleted.count(), 1);
}

void TestSelectSubjectCell::rowGoneClosesItsQuestion()
{
    QTest::mouseClick(button(row.get(), "pushButton_deletesubject"), Qt::LeftButton);
    QPointer<ChoiceDialog> question = shownConfirmation();
    QVERIFY(question);
    row.reset();
    flushDeletes();
    QVERIFY(question.isNull());
}

void TestSelectSubjectCell::skin_data()
{
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("hover");
    QTest::newRow("green") << "80,153,2,255" << "100,173,2,255";
    QTest::newRow("near white stays a colour") << "250,240,5,255" << "255,255,5,255";
}

void TestSelectSubjectCell::skin()
{
    QFETCH(QString, color);
    QFETCH(QString, hover);
    row->setSkinColor(QString());
    QCOMPARE(button(row.get(), "pushButton_save")->styleSheet(), QString());
    QCOMPARE(button(row.get(), "pushButton_deletesubject")->styleSheet(), QString());
    row->setSkinColor(color);
    for (const char *name : {"pushButton_save", "pushButton_deletesubject"}) {
        const QString style = button(row.get(), name)->styleSheet();
        QVERIFY2(style.contains(QStringLiteral("QPushButton{") ) && style.contains("background-color: rgb(" + color + ")"),
                 qPrintable(style));
        QVERIFY2(style.contains("QPushButton:hover{background-color: rgb(" + hover + ")"), qPrintable(style));
        QVERIFY2(style.contains(QStringLiteral("max-width:60px")), qPrintable(style));
    }
}

QTEST_MAIN(TestSelectSubjectCell)
#include "tst_selectsubjectcell.moc"
