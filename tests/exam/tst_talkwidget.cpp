// The computer-based exam entry: the note by product code, the walk through
// the welcome and login screens and the title choice to the paper type, the
// exam-window flag, and the forms of its screens.
#include "TalkWidget.h"

#include "FixtureBank.h"
#include "MyMessageBox.h"
#include "NewTalkExamCell.h"
#include "NewTalkExamForm.h"
#include "RadioExamForm.h"
#include "SqliteClass.h"
#include "TalkLoginDialog.h"
#include "TalkWelcomeDialog.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

struct Session
{
    TempWorkDir dir;
    FixtureBank bank;

    // code: the product-type code; null removes the key.
    bool open(const QString &code = QStringLiteral("A"))
    {
        if (code.isNull())
            bank.addSql(QStringLiteral("DELETE FROM sysConfig WHERE key = 'sysTypeGoods'"));
        else
            bank.addSql(QStringLiteral("UPDATE sysConfig SET value = '%1' WHERE key = 'sysTypeGoods'").arg(code));
        if (!bank.open()) {
            qWarning() << bank.error();
            return false;
        }
        SqliteClass *store = SqliteClass::instance();
        return store->openDatabase(bank.path(), phrase, 0) == 2 && store->loadQuestionTypes() == 0;
    }
    ~Session()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<NewTalkExamForm *>(w) || qobject_cast<RadioExamForm *>(w))
                delete w;
            else if (qobject_cast<MyMessageBox *>(w))
                w->hide();
        }
        delete SqliteClass::instance();
    }
};

template <typename T>
QList<T *> visibleTops()
{
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            found << t;
    }
    return found;
}

template <typename T>
T *visibleTop()
{
    const QList<T *> all = visibleTops<T>();
    return all.isEmpty() ? nullptr : all.first();
}

template <typename T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QString messageText()
{
    MyMessageBox *box = visibleTop<MyMessageBox>();
    if (!box)
        return QString();
    QStringList texts;
    for (QLabel *label : box->findChildren<QLabel *>())
        texts << label->text();
    return texts.join(QLatin1Char('|'));
}

// The paper type told by the parts the exam window made for it.
int paperTypeOf(NewTalkExamForm *window)
{
    QStringList parts;
    for (NewTalkExamCell *cell : window->findChildren<NewTalkExamCell *>())
        parts << child<QLabel>(cell, "label_title")->text().section(QLatin1Char('('), 0, 0);
    if (parts == QStringList{"多选题", "案例分析题"})
        return 0;
    if (parts == QStringList{"单项选择题", "多选题", "案例分析题"})
        return 1;
    if (parts == QStringList{"单项选择题", "配伍题", "案例分析题"})
        return 2;
    qWarning() << parts;
    return -1;
}

struct Page
{
    std::unique_ptr<TalkWidget> page{new TalkWidget};
    Page()
    {
        page->setSkinColor(QStringLiteral("80,153,2,255"));
        page->resize(771, 450);
        page->show();
    }
    void enter() { QTest::mouseClick(child<QPushButton>(page.get(), "btn_machine"), Qt::LeftButton); }
};

// From the page to the login screen.
TalkLoginDialog *walkToLogin(Page &p)
{
    p.enter();
    TalkWelcomeDialog *welcome = visibleTop<TalkWelcomeDialog>();
    if (!welcome)
        return nullptr;
    QTest::mouseClick(child<QPushButton>(welcome, "btn_login"), Qt::LeftButton);
    return visibleTop<TalkLoginDialog>();
}

} // namespace

class TestTalkWidget : public QObject
{
    Q_OBJECT

private slots:
    void note_data();
    void note();
    void paperType_data();
    void paperType();
    void cancelOpensNothing();
    void flagAtEntry();
    void flagAtEndOfWalk();
    void welcomeScreen();
    void screensReused();
    void reloginGoesBack();
    void forms_data();
    void forms();
    void radioExamFormFlags();
};

void TestTalkWidget::note_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("shown");
    QTest::newRow("B") << "B" << true;
    QTest::newRow("C") << "C" << true;
    QTest::newRow("D") << "D" << true;
    QTest::newRow("senior A") << "A" << false;
    QTest::newRow("other Z") << "Z" << false;
    QTest::newRow("two letters") << "BC" << false;
    QTest::newRow("lower case") << "b" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("missing") << QString() << false;
}

void TestTalkWidget::note()
{
    QFETCH(QString, code);
    QFETCH(bool, shown);
    Session s;
    QVERIFY(s.open(code));
    Page p;
    QLabel *note = child<QLabel>(p.page.get(), "label_dbtype");
    QCOMPARE(note->text(), QStringLiteral("提示：人机对话只供适应考场环境，不做为模拟考试."));
    QCOMPARE(note->isVisible(), shown);
}

void TestTalkWidget::paperType_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title"); // radio button to pick, empty for none
    QTest::addColumn<int>("type");
    QTest::newRow("senior, OK at once") << "A" << "" << 0;
    QTest::newRow("senior, full title") << "H" << "radioButton_1" << 0;
    QTest::newRow("senior, deputy title") << "L" << "radioButton_2" << 1;
    QTest::newRow("note code") << "B" << "" << 2;
    QTest::newRow("other code") << "Z" << "" << 2;
    QTest::newRow("two letters") << "AH" << "" << 2;
    QTest::newRow("empty code") << "" << "" << 2;
    QTest::newRow("missing code") << QString() << "" << 2;
}

void TestTalkWidget::paperType()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(int, type);
    Session s;
    QVERIFY(s.open(code));
    Page p;
    TalkLoginDialog *login = walkToLogin(p);
    QVERIFY(login);
    QTest::mouseClick(child<QPushButton>(login, "btn_beginmachine"), Qt::LeftButton);
    const bool senior = code.size() == 1 && QStringLiteral("AHJKL").contains(code);
    if (senior) {
        RadioExamForm *choice = visibleTop<RadioExamForm>();
        QVERIFY(choice);
        QVERIFY(login->isVisible());
        QVERIFY(!visibleTop<NewTalkExamForm>());
        if (!title.isEmpty())
            QTest::mouseClick(child<QRadioButton>(choice, qPrintable(title)), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(choice, "pushButton_ok"), Qt::LeftButton);
    } else {
        QVERIFY(!visibleTop<RadioExamForm>());
    }
    NewTalkExamForm *window = visibleTop<NewTalkExamForm>();
    QVERIFY(window);
    QCOMPARE(paperTypeOf(window), type);
    QVERIFY(!login->isVisible());
    QVERIFY(SqliteClass::instance()->isExamWindowOpen());
    QTRY_VERIFY(!visibleTop<RadioExamForm>());
}

void TestTalkWidget::cancelOpensNothing()
{
    Session s;
    QVERIFY(s.open(QStringLiteral("A")));
    Page p;
    TalkLoginDialog *login = walkToLogin(p);
    QVERIFY(login);
    // Two choices open at once; each answers for itself.
    QTest::mouseClick(child<QPushButton>(login, "btn_beginmachine"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(login, "btn_beginmachine"), Qt::LeftButton);
    QCOMPARE(visibleTops<RadioExamForm>().size(), 2);
    QPointer<RadioExamForm> choice = visibleTop<RadioExamForm>();
    QTest::mouseClick(child<QPushButton>(choice, "pushButton_cancel"), Qt::LeftButton);
    QVERIFY(!login->isVisible());
    QVERIFY(!visibleTop<NewTalkExamForm>());
    QTRY_VERIFY(choice.isNull()); // deleted on close
    QCOMPARE(visibleTops<RadioExamForm>().size(), 1);
}

void TestTalkWidget::flagAtEntry()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    SqliteClass::instance()->setExamWindowOpen(true);
    p.enter();
    QCOMPARE(messageText().contains(QStringLiteral("不能同时打开两个考试窗口.")), true);
    QVERIFY(!visibleTop<TalkWelcomeDialog>());
    SqliteClass::instance()->setExamWindowOpen(false);
}

void TestTalkWidget::flagAtEndOfWalk()
{
    Session s;
    QVERIFY(s.open(QStringLiteral("Z")));
    Page p;
    TalkLoginDialog *login = walkToLogin(p);
    QVERIFY(login);
    // Another entry opened an exam window meanwhile.
    SqliteClass::instance()->setExamWindowOpen(true);
    QTest::mouseClick(child<QPushButton>(login, "btn_beginmachine"), Qt::LeftButton);
    QVERIFY(!login->isVisible());
    QVERIFY(messageText().contains(QStringLiteral("不能同时打开两个考试窗口.")));
    QVERIFY(!visibleTop<NewTalkExamForm>());
    SqliteClass::instance()->setExamWindowOpen(false);
}

void TestTalkWidget::welcomeScreen()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    p.enter();
    TalkWelcomeDialog *welcome = visibleTop<TalkWelcomeDialog>();
    QVERIFY(welcome);
    QVERIFY(welcome->isModal());
    QCOMPARE(welcome->windowTitle(), QStringLiteral("人机对话欢迎"));
    auto *number = child<QLineEdit>(welcome, "lineEdit");
    QCOMPARE(number->text(), QStringLiteral("1001"));
    QVERIFY(!number->hasFocus());
    QCOMPARE(child<QPushButton>(welcome, "btn_login")->focusPolicy(), Qt::NoFocus);
    QVERIFY(QTest::qWaitForWindowActive(welcome));
    QTest::keyClick(welcome, Qt::Key_Return);
    QTRY_VERIFY(!welcome->isVisible());
    TalkLoginDialog *login = visibleTop<TalkLoginDialog>();
    QVERIFY(login);
    QCOMPARE(login->windowTitle(), QStringLiteral("人机对话登录"));
    QVERIFY(!login->isModal());
}

void TestTalkWidget::screensReused()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    TalkLoginDialog *login = walkToLogin(p);
    QVERIFY(login);
    login->close();
    QVERIFY(!login->isVisible());
    QCOMPARE(walkToLogin(p), login);
    const TalkWelcomeDialog *welcome = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<TalkWelcomeDialog *>(w))
            welcome = d;
    int welcomes = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        welcomes += qobject_cast<TalkWelcomeDialog *>(w) ? 1 : 0;
    QCOMPARE(welcomes, 1);
    QVERIFY(welcome);
}

void TestTalkWidget::reloginGoesBack()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    TalkLoginDialog *login = walkToLogin(p);
    QVERIFY(login);
    QTest::mouseClick(child<QPushButton>(login, "btn_relogin"), Qt::LeftButton);
    QVERIFY(!login->isVisible());
    QVERIFY(visibleTop<TalkWelcomeDialog>());
    QVERIFY(!visibleTop<NewTalkExamForm>());
}

void TestTalkWidget::forms_data()
{
    QTest::addColumn<QString>("window"); // welcome, login, choice, page
    QTest::addColumn<QString>("object");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("focus"); // -1 not checked
    QTest::addColumn<QString>("text");
    QTest::newRow("page button") << "page" << "btn_machine" << QSize() << int(Qt::NoFocus) << "进入人机对话";
    QTest::newRow("login panel") << "welcome" << "verticalWidget" << QSize(674, 156) << -1 << "";
    QTest::newRow("seat picture") << "welcome" << "verticalWidget_2" << QSize(403, 254) << -1 << "";
    QTest::newRow("check picture") << "welcome" << "verticalWidget_3" << QSize(265, 254) << -1 << "";
    QTest::newRow("login button") << "welcome" << "btn_login" << QSize(101, 31) << int(Qt::NoFocus) << "登录";
    QTest::newRow("welcome heading") << "welcome" << "label_name" << QSize(390, 57) << -1 << "卫生专业技术资格考试";
    QTest::newRow("instructions") << "login" << "verticalWidget_2" << QSize(314, 278) << -1 << "";
    QTest::newRow("seat picture 2") << "login" << "verticalWidget_3" << QSize(314, 206) << -1 << "";
    QTest::newRow("details card") << "login" << "verticalWidget_4" << QSize(480, 490) << -1 << "";
    QTest::newRow("relogin") << "login" << "btn_relogin" << QSize(141, 58) << int(Qt::NoFocus) << "";
    QTest::newRow("begin") << "login" << "btn_beginmachine" << QSize(141, 58) << int(Qt::NoFocus) << "";
    QTest::newRow("full title") << "choice" << "radioButton_1" << QSize() << -1 << "正高级职称";
    QTest::newRow("deputy title") << "choice" << "radioButton_2" << QSize() << -1 << "副高级职称";
    QTest::newRow("ok") << "choice" << "pushButton_ok" << QSize() << -1 << "确定";
    QTest::newRow("cancel") << "choice" << "pushButton_cancel" << QSize() << -1 << "取消";
    QTest::newRow("question") << "choice" << "label" << QSize() << -1 << "请选择职称：";
}

void TestTalkWidget::forms()
{
    QFETCH(QString, window);
    QFETCH(QString, object);
    QFETCH(QSize, size);
    QFETCH(int, focus);
    QFETCH(QString, text);
    Session s;
    QVERIFY(s.open());
    TalkWelcomeDialog welcome;
    TalkLoginDialog login;
    RadioExamForm *choice = new RadioExamForm;
    TalkWidget page;
    QWidget *top = window == QLatin1String("welcome") ? static_cast<QWidget *>(&welcome)
                   : window == QLatin1String("login") ? static_cast<QWidget *>(&login)
                   : window == QLatin1String("choice") ? static_cast<QWidget *>(choice)
                                                       : static_cast<QWidget *>(&page);
    top->show();
    QCOMPARE(welcome.size(), QSize(1000, 700));
    QCOMPARE(login.size(), QSize(1000, 700));
    QCOMPARE(choice->size(), QSize(377, 190));
    QCOMPARE(choice->windowTitle(), QStringLiteral("选择职称"));
    auto *w = top->findChild<QWidget *>(object);
    QVERIFY(w);
    if (size.isValid())
        QCOMPARE(w->size(), size);
    if (focus != -1)
        QCOMPARE(int(w->focusPolicy()), focus);
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(button->text(), text);
    else if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    delete choice;
}

void TestTalkWidget::radioExamFormFlags()
{
    RadioExamForm form;
    QVERIFY(form.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form.windowType(), Qt::Dialog);
    QVERIFY(!form.windowFlags().testFlag(Qt::FramelessWindowHint));
    form.setAttribute(Qt::WA_DeleteOnClose, false); // on the stack here
    QVERIFY(form.findChild<QRadioButton *>(QStringLiteral("radioButton_1"))->isChecked());
}

QTEST_MAIN(TestTalkWidget)
#include "tst_talkwidget.moc"
