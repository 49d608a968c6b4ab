// The opener the program installs for the question error report: the
// feedback form in report mode, and a cell's "纠错" that reaches it.
#include "ErrorReportOpener.h"

#include "DialogAnswerer.h"
#include "ErrorReport.h"
#include "FeedBaceDialog.h"
#include "FixtureBank.h"
#include "LocalWebService.h"
#include "MainQuestion.h"
#include "QuestionData.h"
#include "Resources.h"
#include "ScrollAreaCellForm.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

const QString skin = QStringLiteral("255,127,167,255");
const QString reportPath = QStringLiteral("/other/conError.php");

// The feedback forms on screen.
QList<FeedBaceDialog *> openForms()
{
    QList<FeedBaceDialog *> forms;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<FeedBaceDialog *>(window); form && form->isVisible())
            forms << form;
    }
    return forms;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestErrorReportOpener : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensTheReportForm_data();
    void opensTheReportForm();
    void cellErrorButtonOpensTheForm();

private:
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<FixtureBank> bank;
};

void TestErrorReportOpener::initTestCase()
{
    initResources();
    installErrorReportOpener();
    QVERIFY(ErrorReport::hasOpener());
}

void TestErrorReportOpener::init()
{
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    work = std::make_unique<TempWorkDir>();
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->openDatabase(bank->path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
    QCOMPARE(store->loadQuestionTypes(), 0);
}

void TestErrorReportOpener::cleanup()
{
    for (FeedBaceDialog *form : openForms())
        form->close();
    flushDeletes();
    SqliteClass::instance()->closeDatabase();
    bank.reset();
    work.reset();
    service.reset();
}

void TestErrorReportOpener::opensTheReportForm_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("kind 0") << 0;
    QTest::newRow("kind 1, a prediction paper") << 1;
}

// The form opens in report mode with the skin, and what the user sends
// carries the question it was opened for.
void TestErrorReportOpener::opensTheReportForm()
{
    QFETCH(int, kind);
    const QString text = QStringLiteral("患者咳铁锈色痰，最可能的病原体是");
    service->setBody(reportPath, "{\"status\":0,\"msg\":\"提交成功\"}");
    QPointer<QWidget> opened = ErrorReport::open(skin, kind, 1002, text);
    auto *form = qobject_cast<FeedBaceDialog *>(opened.data());
    QVERIFY(form);
    QCOMPARE(openForms(), QList<FeedBaceDialog *>{form});
    QCOMPARE(form->windowTitle(), QStringLiteral("题目纠错"));
    QVERIFY(form->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("题目纠错")));
    QVERIFY(form->findChild<QPushButton *>(QStringLiteral("pushButton_submit"))
                ->styleSheet()
                .contains(QStringLiteral("rgb(%1)").arg(skin)));

    auto *box = form->findChild<QTextEdit *>(QStringLiteral("textEdit"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("answer C is wrong"));
    DialogAnswerer answerer([](QWidget *message) { DialogAnswerer::clickButton(message, QStringLiteral("pushButton_save")); },
                            15000);
    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("pushButton_submit")), Qt::LeftButton);
    QVERIFY(answerer.wait(15000));
    QTRY_VERIFY((flushDeletes(), opened.isNull()));
    const QList<LocalWebService::Request> requests = service->requests(reportPath);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().queryValue(QStringLiteral("conType")), QString::number(kind));
    QCOMPARE(requests.first().queryValue(QStringLiteral("queId")), QStringLiteral("1002"));
    QCOMPARE(requests.first().queryValue(QStringLiteral("queText")), text);
    QCOMPARE(requests.first().queryValue(QStringLiteral("con")), QStringLiteral("answer C is wrong"));
}

// The whole way: the question view's choice cell, its error button, the form.
void TestErrorReportOpener::cellErrorButtonOpensTheForm()
{
    MainQuestion group;
    group.cateListId = 102;
    group.queTypeId = 2;
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->groupHeader(group.queType, group.publicQueText, 102), 0);
    QCOMPARE(store->loadGroupQuestions(group.questions, 102, 0), 0);
    QVERIFY(!group.questions.isEmpty());

    QWidget window;
    auto *view = new ScrollAreaCellForm(&window);
    view->setStyle(skin, 1);
    view->showQuestion(&group, 0, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLayoutItem *item = view->findChild<QLayout *>(QStringLiteral("verticalLayout_add"))->itemAt(0);
    QVERIFY(item && item->widget());
    auto *button = item->widget()->findChild<QPushButton *>(QStringLiteral("pushButton_error"));
    QVERIFY(button->isVisible());
    QCOMPARE(button->text().trimmed(), QStringLiteral("纠错"));
    QTest::mouseClick(button, Qt::LeftButton);
    const QList<FeedBaceDialog *> forms = openForms();
    QCOMPARE(forms.size(), 1);
    QCOMPARE(forms.first()->windowTitle(), QStringLiteral("题目纠错"));
    QPointer<FeedBaceDialog> form = forms.first();
    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("pushButton_cancel")), Qt::LeftButton);
    flushDeletes();
    QVERIFY(form.isNull());
    QVERIFY(service->requests(reportPath).isEmpty());
}

QTEST_MAIN(TestErrorReportOpener)
#include "tst_errorreportopener.moc"
