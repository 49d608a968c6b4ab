// The prediction papers page: the variant asked once, papers listed by it,
// and a paper opened as an exam.
#include "YaTiCell.h"
#include "YaTiWidget.h"
#include "YtRadioExamForm.h"

#include "ChoiceDialog.h"
#include "ConfigIni.h"
#include "FixtureBank.h"
#include "MyMessageBox.h"
#include "NewTalkExamCell.h"
#include "NewTalkExamForm.h"
#include "ProductCodes.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const QString skin = QStringLiteral("12,34,56,255");
const QString paperNames[] = {QString(), QStringLiteral("预测试卷一"), QStringLiteral("预测试卷二"), QStringLiteral("预测试卷三")};

SqliteClass *store()
{
    return SqliteClass::instance();
}

template <typename T>
T *part(const QWidget &widget, const char *name)
{
    return widget.findChild<T *>(QString::fromLatin1(name));
}

QTableWidget *table(const QWidget &page)
{
    return part<QTableWidget>(page, "tableWidget");
}

YaTiCell *cell(const QWidget &page, int row)
{
    return qobject_cast<YaTiCell *>(table(page)->cellWidget(row, 0));
}

QStringList listed(const QWidget &page)
{
    QStringList names;
    for (int row = 0; row < table(page)->rowCount(); ++row)
        names << part<QLabel>(*cell(page, row), "label_text")->text();
    return names;
}

template <typename T>
QList<T *> shown()
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            found << window;
    return found;
}

void click(QWidget *widget, const char *name)
{
    QTest::mouseClick(widget->findChild<QAbstractButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

QStringList cardTitles(QWidget *window)
{
    QStringList found;
    for (NewTalkExamCell *section : window->findChildren<NewTalkExamCell *>())
        found << section->findChild<QLabel *>(QStringLiteral("label_title"))->text();
    found.sort();
    return found;
}

bool loaded(QWidget *window)
{
    auto *overlay = window->findChild<WaitingForm *>();
    return overlay && overlay->isHidden();
}

} // namespace

class TestYaTiWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void variantTable_data();
    void variantTable();
    void choiceWindow();
    void choiceWindowOverMainWindow();
    void choiceConfirmed();
    void choiceDismissedOrCancelled_data();
    void choiceDismissedOrCancelled();
    void olderChoiceWindowAnswersLate();
    void opensPaper_data();
    void opensPaper();
    void secondExamWindowRefused_data();
    void secondExamWindowRefused();
    void activationAfterFailedQuery();

private:
    void visit();

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<YaTiWidget> page;
};

void TestYaTiWidget::init()
{
    workDir = std::make_unique<TempWorkDir>();
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    QCOMPARE(store()->openDatabase(bank->path(), phrase, 0), 2);
    QCOMPARE(store()->loadQuestionTypes(), 0);
    store()->setExamWindowOpen(false);
    page = std::make_unique<YaTiWidget>();
    page->resize(778, 450);
    page->show();
}

void TestYaTiWidget::cleanup()
{
    page.reset();
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<YtRadioExamForm *>(widget) || qobject_cast<ChoiceDialog *>(widget)
            || qobject_cast<NewTalkExamForm *>(widget))
            delete widget;
    store()->setExamWindowOpen(false);
    store()->closeDatabase();
    bank.reset();
    workDir.reset();
}

// What the main window does at every visit.
void TestYaTiWidget::visit()
{
    page->setSkinColor(skin);
    page->initPage();
}

void TestYaTiWidget::variantTable_data()
{
    QTest::addColumn<QString>("code");     // empty: no sysTypeGoods row
    QTest::addColumn<QString>("isChoose"); // empty: key absent
    QTest::addColumn<QStringList>("papers");
    QTest::addColumn<bool>("asks");

    const QString variantCode = ProductCodes::predictionVariantCode();
    const QStringList every{paperNames[2], paperNames[1], paperNames[3]};
    const QStringList senior{paperNames[1], paperNames[3]};
    for (const QString &isChoose : {QString(), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")}) {
        const QString tag = isChoose.isEmpty() ? QStringLiteral("absent") : isChoose;
        QStringList own;
        if (isChoose == QLatin1String("1"))
            own = senior;
        else if (isChoose == QLatin1String("2"))
            own = QStringList{paperNames[2]};
        const bool asks = isChoose.isEmpty() || isChoose == QLatin1String("0");
        QTest::newRow(qPrintable(QStringLiteral("variant product, IsChoose %1").arg(tag))) << variantCode << isChoose << own << asks;
        QTest::newRow(qPrintable(QStringLiteral("other product, IsChoose %1").arg(tag))) << "Z" << isChoose << every << false;
        QTest::newRow(qPrintable(QStringLiteral("no code, IsChoose %1").arg(tag))) << QString() << isChoose << every << false;
    }
}

void TestYaTiWidget::variantTable()
{
    QFETCH(QString, code);
    QFETCH(QString, isChoose);
    QFETCH(QStringList, papers);
    QFETCH(bool, asks);

    if (code.isEmpty())
        QVERIFY(bank->exec(QStringLiteral("DELETE FROM sysConfig WHERE key = 'sysTypeGoods'")));
    else
        QCOMPARE(store()->updateSysConfig(QStringLiteral("sysTypeGoods"), code), 0);
    if (!isChoose.isEmpty())
        ConfigIni::write(QStringLiteral("AppModel/IsChoose"), isChoose.toInt());
    visit();
    QCOMPARE(listed(*page), papers);
    QCOMPARE(shown<YtRadioExamForm>().size(), asks ? 1 : 0);
    for (int row = 0; row < table(*page)->rowCount(); ++row)
        QCOMPARE(table(*page)->rowHeight(row), 50);
}

void TestYaTiWidget::choiceWindow()
{
    visit();
    const QList<YtRadioExamForm *> forms = shown<YtRadioExamForm>();
    QCOMPARE(forms.size(), 1);
    YtRadioExamForm *form = forms.first();
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(form->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));
    auto *hint = part<QLabel>(*form, "label_pro");
    QVERIFY(hint->isHidden());
    QVERIFY(!part<QRadioButton>(*form, "radioButton_1")->isChecked());
    QVERIFY(!part<QRadioButton>(*form, "radioButton_2")->isChecked());
    QVERIFY(part<QPushButton>(*form, "pushButton_ok")->styleSheet().contains(QStringLiteral("rgb(%1)").arg(skin)));

    click(form, "pushButton_ok");
    QVERIFY(form->isVisible());
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->text(), QStringLiteral("提示：请选择考试的类别"));
    click(form, "radioButton_1");
    QVERIFY(hint->isHidden());
}

void TestYaTiWidget::choiceWindowOverMainWindow()
{
    // The page in a main window away from the screen's corner.
    QWidget mainWindow;
    mainWindow.setGeometry(300, 200, 1000, 650);
    page->setParent(&mainWindow);
    const auto giveBack = qScopeGuard([this] { page->setParent(nullptr); });
    page->setGeometry(222, 100, 778, 450);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    visit();
    const QList<YtRadioExamForm *> forms = shown<YtRadioExamForm>();
    QCOMPARE(forms.size(), 1);
    YtRadioExamForm *form = forms.first();
    // Still a window of its own, leaving the main window usable.
    QVERIFY(form->isWindow());
    QVERIFY(!form->parentWidget());
    QCOMPARE(form->windowModality(), Qt::NonModal);
    QCOMPARE(form->frameGeometry().center(), mainWindow.frameGeometry().center());
    QVERIFY(mainWindow.frameGeometry().contains(form->frameGeometry()));
}

void TestYaTiWidget::choiceConfirmed()
{
    visit();
    QPointer<YtRadioExamForm> form = shown<YtRadioExamForm>().value(0);
    QVERIFY(form);
    click(form, "radioButton_2");
    click(form, "pushButton_ok");
    QTRY_VERIFY(form.isNull());
    const QList<ChoiceDialog *> dialogs = shown<ChoiceDialog>();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(part<QLabel>(*dialogs.first(), "label_message") ? part<QLabel>(*dialogs.first(), "label_message")->text()
                                                            : QString(),
             QStringLiteral("您选择的是[副高级职称]请再次确认,一旦确认不可更改."));
    QVERIFY(ConfigIni::readText(QStringLiteral("AppModel/IsChoose")).isEmpty());
    click(dialogs.first(), "pushButton_save");
    QCOMPARE(ConfigIni::readText(QStringLiteral("AppModel/IsChoose")), QStringLiteral("2"));
    QCOMPARE(listed(*page), QStringList{paperNames[2]});
    QCOMPARE(part<QPushButton>(*cell(*page, 0), "pushButton_startquestion")->text(), QStringLiteral("试卷入口"));

    // Asked once: the next visit lists at once.
    visit();
    QCOMPARE(shown<YtRadioExamForm>().size(), 0);
    QCOMPARE(listed(*page), QStringList{paperNames[2]});
}

void TestYaTiWidget::choiceDismissedOrCancelled_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("confirmation dismissed") << false;
    QTest::newRow("choice cancelled") << true;
}

void TestYaTiWidget::choiceDismissedOrCancelled()
{
    QFETCH(bool, cancel);
    visit();
    QPointer<YtRadioExamForm> form = shown<YtRadioExamForm>().value(0);
    QVERIFY(form);
    if (cancel) {
        click(form, "pushButton_cancel");
        QTRY_VERIFY(form.isNull());
        QCOMPARE(shown<ChoiceDialog>().size(), 0);
    } else {
        click(form, "radioButton_1");
        click(form, "pushButton_ok");
        QTRY_VERIFY(form.isNull());
        QCOMPARE(shown<ChoiceDialog>().size(), 1);
        click(shown<ChoiceDialog>().first(), "pushButton_save_2");
    }
    QCOMPARE(table(*page)->rowCount(), 0);
    QVERIFY(ConfigIni::readText(QStringLiteral("AppModel/IsChoose")).isEmpty());
    visit();
    QCOMPARE(shown<YtRadioExamForm>().size(), 1);
}

void TestYaTiWidget::olderChoiceWindowAnswersLate()
{
    visit();
    QPointer<YtRadioExamForm> older = shown<YtRadioExamForm>().value(0);
    visit();
    QCOMPARE(shown<YtRadioExamForm>().size(), 2);
    QPointer<YtRadioExamForm> newer;
    for (YtRadioExamForm *form : shown<YtRadioExamForm>())
        if (form != older)
            newer = form;
    QVERIFY(older && newer);
    click(newer, "radioButton_1");
    click(newer, "pushButton_ok");
    QTRY_VERIFY(newer.isNull());
    // The newer window is gone: answering the older one must close only itself.
    click(older, "radioButton_2");
    click(older, "pushButton_ok");
    QTRY_VERIFY(older.isNull());
    const QList<ChoiceDialog *> dialogs = shown<ChoiceDialog>();
    QCOMPARE(dialogs.size(), 2);
}

void TestYaTiWidget::opensPaper_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("row button") << true;
    QTest::newRow("activated row") << false;
}

void TestYaTiWidget::opensPaper()
{
    QFETCH(bool, byButton);
    QCOMPARE(store()->updateSysConfig(QStringLiteral("sysTypeGoods"), QStringLiteral("Z")), 0);
    visit();
    QCOMPARE(listed(*page).value(1), paperNames[1]);
    if (byButton)
        QTest::mouseClick(part<QPushButton>(*cell(*page, 1), "pushButton_startquestion"), Qt::LeftButton);
    else
        emit table(*page)->activated(table(*page)->model()->index(1, 0));
    const QList<NewTalkExamForm *> windows = shown<NewTalkExamForm>();
    QCOMPARE(windows.size(), 1);
    QPointer<NewTalkExamForm> window = windows.first();
    QVERIFY(store()->isExamWindowOpen());
    QCOMPARE(window->windowTitle(), QStringLiteral("押题版"));
    QTRY_VERIFY_WITH_TIMEOUT(loaded(window), 60000);

    const QStringList opened = cardTitles(window);
    delete window;

    // The same paper opened directly gives the same card; one exam window at a time.
    QPointer<NewTalkExamForm> reference = new NewTalkExamForm;
    reference->show();
    reference->startPredictionPaper(1, 2);
    QTRY_VERIFY_WITH_TIMEOUT(loaded(reference), 60000);
    QVERIFY(!opened.isEmpty());
    QCOMPARE(opened, cardTitles(reference));
    delete reference;
}

void TestYaTiWidget::secondExamWindowRefused_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("message");
    QTest::newRow("row button") << true << QStringLiteral("不能同时打开两个考试窗口.");
    QTest::newRow("activated row") << false << QStringLiteral("不能同时打开两个考试窗口!");
}

void TestYaTiWidget::secondExamWindowRefused()
{
    QFETCH(bool, byButton);
    QFETCH(QString, message);
    QCOMPARE(store()->updateSysConfig(QStringLiteral("sysTypeGoods"), QStringLiteral("Z")), 0);
    visit();
    store()->setExamWindowOpen(true);
    if (byButton)
        QTest::mouseClick(part<QPushButton>(*cell(*page, 0), "pushButton_startquestion"), Qt::LeftButton);
    else
        emit table(*page)->activated(table(*page)->model()->index(0, 0));
    QCOMPARE(shown<NewTalkExamForm>().size(), 0);
    const QList<MyMessageBox *> boxes = shown<MyMessageBox>();
    QCOMPARE(boxes.size(), 1);
    QStringList texts;
    for (QLabel *label : boxes.first()->findChildren<QLabel *>())
        texts << label->text();
    QVERIFY2(texts.contains(message), qPrintable(texts.join('|')));
}

void TestYaTiWidget::activationAfterFailedQuery()
{
    QCOMPARE(store()->updateSysConfig(QStringLiteral("sysTypeGoods"), QStringLiteral("Z")), 0);
    visit();
    QCOMPARE(table(*page)->rowCount(), 3);
    QVERIFY(bank->exec(QStringLiteral("DROP TABLE ytCate")));
    visit();
    QCOMPARE(table(*page)->rowCount(), 3);
    emit table(*page)->activated(table(*page)->model()->index(2, 0));
    QCOMPARE(shown<NewTalkExamForm>().size(), 0);
    QVERIFY(!store()->isExamWindowOpen());
}

QTEST_MAIN(TestYaTiWidget)
#include "tst_yatiwidget.moc"
