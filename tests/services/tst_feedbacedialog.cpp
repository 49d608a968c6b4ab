// The feedback and error-report dialog against the local web service: what
// the user sees, what reaches the service and what is queued in the bank.
#include "FeedBaceDialog.h"

#include "ConfigIni.h"
#include "FixtureBank.h"
#include "LocalWebService.h"
#include "LoginBaseClass.h"
#include "MyMessageBox.h"
#include "Resources.h"
#include "Skin.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QDateTime>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

const QString feedbackPath = QStringLiteral("/other/feedback.php");
const QString errorPath = QStringLiteral("/other/conError.php");
const QString keptTelephone = QStringLiteral("13800138000");
const QString sent = QStringLiteral("提交成功");
const QString queueFailed = QStringLiteral("提交失败,请稍后重试.");
// The question an error report is about.
const int reportConType = 1;
const int reportQueId = 1002;
const QString reportQueText = QStringLiteral("患者咳铁锈色痰，最可能的病原体是");

const QString feedbackTitle = QStringLiteral(
    "<html><head/><body><p><span style=\" font-weight:600;\">意见反馈</span></p></body></html>");
const QString reportTitle = QStringLiteral(
    "<html><head/><body><p><span style=\" font-size:14pt; font-weight:600;\">题目纠错</span></p>"
    "</body></html>");

// How the reply of the service is arranged for one submission.
enum Reply { Json, ClosedPort, HttpError, HtmlPage, EmptyBody };

template<typename T>
T *child(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("no child %s", name);
    return widget;
}

QString pathOf(int mode)
{
    return mode == 1 ? errorPath : feedbackPath;
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Runs the deferred deletes a close with WA_DeleteOnClose leaves behind.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every time the dialog's message box shows, notes its message and presses
// its OK button once the showing call has returned (or its modal loop runs).
class MessageLog : public QObject
{
public:
    explicit MessageLog(MyMessageBox *box) : box(box)
    {
        if (box)
            box->installEventFilter(this);
    }
    bool answered() const { return !box || !box->isVisible(); }

    QStringList messages;
    QPointer<MyMessageBox> box;

protected:
    // Watches the box alone; it may be half destroyed when it hides.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto *shown = static_cast<QWidget *>(watched);
            messages.append(child<QLabel>(shown, "label_message")->text());
            QPointer<QPushButton> ok = child<QPushButton>(shown, "pushButton_save");
            QTimer::singleShot(0, this, [ok] {
                if (ok && ok->isVisible())
                    ok->click();
            });
        }
        return false;
    }
};

// One dialog as an opener makes it, with its message box watched.
struct OpenDialog {
    // A dialog still open goes with its watcher, before the watcher's
    // outcome flag does.
    ~OpenDialog() { delete dialog; }

    QPointer<FeedBaceDialog> dialog;
    std::unique_ptr<MessageLog> log;
    // Set once the client has decided the outcome of the latest submission.
    bool outcomeKnown = false;

    QTextEdit *text() const { return child<QTextEdit>(dialog, "textEdit"); }
    QLineEdit *phone() const { return child<QLineEdit>(dialog, "lineEdit_userphonenumber"); }
    QPushButton *button(const char *name) const { return child<QPushButton>(dialog, name); }

    // Keys for printable ASCII; anything else arrives as an input method
    // commits it, as Chinese does.
    void type(const QString &content) const
    {
        text()->setFocus();
        bool printable = true;
        for (const QChar c : content)
            printable = printable && c.unicode() >= 0x20 && c.unicode() < 0x7f;
        if (printable) {
            QTest::keyClicks(text(), content);
            return;
        }
        QInputMethodEvent commit;
        commit.setCommitString(content);
        QApplication::sendEvent(text(), &commit);
    }
    // Presses "提交" and watches the client for the outcome of that request.
    void submit()
    {
        outcomeKnown = false;
        QTest::mouseClick(button("pushButton_submit"), Qt::LeftButton);
        if (!dialog)
            return;
        if (auto *client = dialog->findChild<LoginBaseClass *>())
            client->setReplyHandler([this](int) { outcomeKnown = true; });
    }
    // Until the outcome is known and any message about it answered.
    bool waitForOutcome() const
    {
        return QTest::qWaitFor([this] { return outcomeKnown && log->answered(); }, 15000);
    }
    // Whether the dialog is gone once the deletes it left have run.
    bool closed() const
    {
        flushDeletes();
        return dialog.isNull();
    }
};

} // namespace

class TestFeedBaceDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form_data();
    void form();
    void skinColor_data();
    void skinColor();

    void submission_data();
    void submission();
    void textsArriveExactly_data();
    void textsArriveExactly();
    void emptyText_data();
    void emptyText();
    void telephoneField_data();
    void telephoneField();
    void typedNumberShowsInTheNextDialog();
    void phoneHintAtHalfStrength();
    void correctedTextIsSentAgain();
    void uncomposableReportShowsNothing();

    void clearEmptiesTheText();
    void closingSendsNothing_data();
    void closingSendsNothing();
    void closingWhileARequestIsUnderWay();
    void enterClosesNothing_data();
    void enterClosesNothing();
    void dragMovesTheDialog_data();
    void dragMovesTheDialog();

private:
    // Construct, skin, mode, question, show: the order the openers use.
    std::unique_ptr<OpenDialog> open(int mode, const QString &skin = QString::fromLatin1(defaultSkinColor));
    void arrange(int mode, Reply reply, const QByteArray &json = QByteArray());
    static qint64 lastLogRow();
    // The queue rows written after `after`: type, text, time, queId, question text, conType.
    static QList<QStringList> queuedSince(qint64 after);

    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<FixtureBank> bank;
    bool bankBroken = false;
};

void TestFeedBaceDialog::initTestCase()
{
    initResources();
}

void TestFeedBaceDialog::init()
{
    // A fresh service each time: a request dropped at the end of one test
    // may still reach the old service. The bank is made anew only after a
    // test broke it.
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    workDir = std::make_unique<TempWorkDir>("[User]\r\nTel=" + keptTelephone.toUtf8() + "\r\n");
    if (!bank || bankBroken) {
        bank = std::make_unique<FixtureBank>();
        QVERIFY2(bank->open(), qPrintable(bank->error()));
        bankBroken = false;
    }
    QCOMPARE(SqliteClass::instance()->openDatabase(
                 bank->path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0),
             2);
}

void TestFeedBaceDialog::cleanup()
{
    flushDeletes();
    SqliteClass::instance()->closeDatabase();
    workDir.reset();
    service.reset();
}

std::unique_ptr<OpenDialog> TestFeedBaceDialog::open(int mode, const QString &skin)
{
    const QWidgetList before = QApplication::topLevelWidgets();
    auto opened = std::make_unique<OpenDialog>();
    opened->dialog = new FeedBaceDialog;
    MyMessageBox *box = nullptr;
    const QWidgetList after = QApplication::topLevelWidgets();
    for (QWidget *window : after)
        if (!before.contains(window) && qobject_cast<MyMessageBox *>(window))
            box = qobject_cast<MyMessageBox *>(window);
    opened->log = std::make_unique<MessageLog>(box);
    opened->dialog->setSkinColor(skin);
    opened->dialog->setReportMode(mode);
    if (mode == 1)
        opened->dialog->setErrorReportData(reportConType, reportQueId, reportQueText);
    opened->dialog->show();
    return opened;
}

void TestFeedBaceDialog::arrange(int mode, Reply reply, const QByteArray &json)
{
    const QString path = pathOf(mode);
    switch (reply) {
    case Json:
        service->setBody(path, json);
        break;
    case ClosedPort: {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QByteArray host = "127.0.0.1:" + QByteArray::number(closed.serverPort());
        closed.close();
        qputenv("VELMORA_SERVICE_HOST", host);
        break;
    }
    case HttpError:
        service->setStatus(path, 500);
        service->setBody(path, "<html><body><h1>500 Internal Server Error</h1></body></html>");
        break;
    case HtmlPage:
        service->setBody(path, "<html><body>系统维护中</body></html>");
        break;
    case EmptyBody:
        service->setBody(path, QByteArray());
        break;
    }
}

qint64 TestFeedBaceDialog::lastLogRow()
{
    return sqlRow(QStringLiteral("select ifnull(max(rowid), 0) from tQueLog")).value(0).toLongLong();
}

QList<QStringList> TestFeedBaceDialog::queuedSince(qint64 after)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(QStringLiteral("select type, userNote, userTime, queId, userAnswer, userFav "
                                 "from tQueLog where rowid > ? order by rowid"));
    query.addBindValue(after);
    QList<QStringList> rows;
    if (!query.exec())
        return rows;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < 6; ++i)
            row.append(query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
        rows.append(row);
    }
    return rows;
}

void TestFeedBaceDialog::form_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("label");
    QTest::newRow("feedback") << 0 << "意见反馈" << feedbackTitle;
    QTest::newRow("error report") << 1 << "题目纠错" << reportTitle;
}

void TestFeedBaceDialog::form()
{
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QString, label);
    const auto opened = open(mode);
    FeedBaceDialog *dialog = opened->dialog;
    QCOMPARE(dialog->objectName(), QStringLiteral("FeedBaceDialog"));
    QCOMPARE(dialog->size(), QSize(506, 334));
    QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask,
             Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QCOMPARE(QApplication::activeModalWidget(), dialog);
    QCOMPARE(dialog->windowTitle(), title);
    QCOMPARE(child<QLabel>(dialog, "label_title")->text(), label);
    QCOMPARE(child<QLabel>(dialog, "label")->text(), QStringLiteral("请输入您的手机号:"));
    QCOMPARE(opened->phone()->placeholderText(), QStringLiteral("请输入您的手机号"));
    // The number kept by an earlier submission is there to be sent again.
    QCOMPARE(opened->phone()->text(), keptTelephone);
    QVERIFY(opened->text()->toPlainText().isEmpty());
    QCOMPARE(opened->button("pushButton_clear")->text(), QStringLiteral("重新输入"));
    QCOMPARE(opened->button("pushButton_cancel")->text(), QStringLiteral("取消"));
    QCOMPARE(opened->button("pushButton_submit")->text(), QStringLiteral("提交"));
    QVERIFY(dialog->styleSheet().contains(
        QStringLiteral("#widget{\nborder-image: url(:/QMessage/images/QMessage/tianjiabijitankuang.png);")));
    // Every caption fits its button.
    for (const char *name : {"pushButton_clear", "pushButton_cancel", "pushButton_submit"}) {
        QPushButton *button = opened->button(name);
        QVERIFY2(button->width() >= button->fontMetrics().horizontalAdvance(button->text()) + 8, name);
    }
    // An eleven-digit number fits the telephone field.
    QVERIFY(opened->phone()->width() > opened->phone()->fontMetrics().horizontalAdvance(QStringLiteral("13800000000")) + 16);
}

void TestFeedBaceDialog::skinColor_data()
{
    QTest::addColumn<QString>("skin");
    QTest::addColumn<QString>("hover");
    QTest::newRow("default") << "80,153,2,255" << "100,173,2,255";
    QTest::newRow("pink, green clamped") << "255,127,167,255" << "255,147,167,255";
    QTest::newRow("red and green clamped") << "240,250,3,128" << "255,255,3,128";
}

void TestFeedBaceDialog::skinColor()
{
    QFETCH(QString, skin);
    QFETCH(QString, hover);
    const auto opened = open(0, skin);
    const QString sheet = QStringLiteral(
        "QPushButton{border-image: none;border-radius:5px;font: 10pt \"微软雅黑\";"
        "color: rgb(255, 255, 255);background-color: rgb(%1);}"
        "QPushButton:hover{background-color: rgb(%2);}").arg(skin, hover);
    for (const char *name : {"pushButton_clear", "pushButton_cancel", "pushButton_submit"})
        QCOMPARE(opened->button(name)->styleSheet(), sheet);
    // The close button keeps its image.
    QVERIFY(opened->button("pushButton_exit")->styleSheet().contains(QStringLiteral("guanbi_normal.png")));
    // The message box wears the same skin.
    QVERIFY(opened->log->box);
    QCOMPARE(child<QPushButton>(opened->log->box, "pushButton_save")->styleSheet(), skinButtonStyle(skin));
}

void TestFeedBaceDialog::submission_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("reply");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("queueBroken");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::addColumn<bool>("stays");
    QTest::addColumn<bool>("queued");

    for (int mode : {0, 1}) {
        const auto row = [mode](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", mode == 1 ? "report" : "feedback", name) << mode;
        };
        row("status 0") << int(Json) << QByteArray("{\"status\":0,\"msg\":\"提交成功\"}") << false << sent
                        << false << false;
        row("status 0, other message") << int(Json) << QByteArray("{\"status\":0,\"msg\":\"ok\"}") << false
                                       << sent << false << false;
        row("status 1") << int(Json) << QByteArray("{\"status\":1,\"msg\":\"手机号有误\"}") << false
                        << "手机号有误" << true << false;
        row("status 2") << int(Json) << QByteArray("{\"status\":2,\"msg\":\"提交过于频繁\"}") << false
                        << "提交过于频繁" << true << false;
        row("status -1") << int(Json) << QByteArray("{\"status\":-1,\"msg\":\"服务暂停\"}") << false
                         << "服务暂停" << true << false;
        row("closed port") << int(ClosedPort) << QByteArray() << false << sent << false << true;
        row("HTTP 500 with HTML") << int(HttpError) << QByteArray() << false << sent << false << true;
        row("200 with HTML") << int(HtmlPage) << QByteArray() << false << sent << false << true;
        row("200, empty") << int(EmptyBody) << QByteArray() << false << QString() << true << false;
        row("closed port, queue broken") << int(ClosedPort) << QByteArray() << true << queueFailed << true
                                         << false;
        row("HTTP 500, queue broken") << int(HttpError) << QByteArray() << true << queueFailed << true
                                      << false;
    }
}

void TestFeedBaceDialog::submission()
{
    QFETCH(int, mode);
    QFETCH(int, reply);
    QFETCH(QByteArray, json);
    QFETCH(bool, queueBroken);
    QFETCH(QString, message);
    QFETCH(bool, stays);
    QFETCH(bool, queued);
    arrange(mode, Reply(reply), json);
    const qint64 lastRow = lastLogRow();
    if (queueBroken) {
        bankBroken = true;
        QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("drop table tQueLog")), 0);
    }

    const QString text = QStringLiteral("第3题答案应为B");
    const auto opened = open(mode);
    opened->type(text);
    const QString before = now();
    opened->submit();
    QVERIFY(opened->waitForOutcome());
    const QString after = now();

    QCOMPARE(opened->log->messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(!opened->closed(), stays);
    if (stays)
        QCOMPARE(opened->text()->toPlainText(), text);

    // What reached the service.
    const QList<LocalWebService::Request> requests = service->requests(pathOf(mode));
    QCOMPARE(requests.size(), reply == ClosedPort ? 0 : 1);
    QCOMPARE(service->requests().size(), requests.size());
    if (!requests.isEmpty()) {
        const LocalWebService::Request &request = requests.first();
        QCOMPARE(request.queryValue("con"), text);
        QCOMPARE(request.queryValue("userTel"), keptTelephone);
        if (mode == 1) {
            QCOMPARE(request.queryValue("conType"), QString::number(reportConType));
            QCOMPARE(request.queryValue("queId"), QString::number(reportQueId));
            QCOMPARE(request.queryValue("queText"), reportQueText);
        } else {
            const QString addTime = request.queryValue("addTime");
            QVERIFY2(addTime >= before && addTime <= after, qPrintable(addTime));
        }
    }

    // What waits in the queue.
    if (queueBroken)
        return;
    const QList<QStringList> rows = queuedSince(lastRow);
    QCOMPARE(rows.size(), queued ? 1 : 0);
    if (!queued)
        return;
    const QStringList row = rows.first();
    if (mode == 1) {
        QCOMPARE(row, (QStringList{"003", text, "NULL", QString::number(reportQueId), reportQueText,
                                   QString::number(reportConType)}));
        return;
    }
    QCOMPARE(row.mid(0, 2), (QStringList{"002", text}));
    QVERIFY2(row.at(2) >= before && row.at(2) <= after, qPrintable(row.at(2)));
    // The time queued is the time the request carried.
    if (!requests.isEmpty())
        QCOMPARE(row.at(2), requests.first().queryValue("addTime"));
}

void TestFeedBaceDialog::textsArriveExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("offline");
    const QStringList texts{QStringLiteral("it's"), QStringLiteral("中文 反馈"),
                            QStringLiteral("'); drop table tQue; --")};
    for (const QString &text : texts)
        for (int mode : {0, 1})
            for (bool offline : {false, true})
                QTest::addRow("%s, %s, %s", qPrintable(text), mode == 1 ? "report" : "feedback",
                              offline ? "queued" : "sent")
                    << text << mode << offline;
}

void TestFeedBaceDialog::textsArriveExactly()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QFETCH(bool, offline);
    arrange(mode, offline ? HttpError : Json, "{\"status\":0,\"msg\":\"提交成功\"}");
    const qint64 lastRow = lastLogRow();
    const int questions = sqlCount(QStringLiteral("select count(*) from tQue"));
    const auto opened = open(mode);
    opened->type(text);
    opened->submit();
    QVERIFY(opened->waitForOutcome());
    QVERIFY(opened->closed());
    const QList<LocalWebService::Request> requests = service->requests(pathOf(mode));
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().queryValue("con"), text);
    const QList<QStringList> rows = queuedSince(lastRow);
    QCOMPARE(rows.size(), offline ? 1 : 0);
    if (offline)
        QCOMPARE(rows.first().at(1), text);
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQue")), questions);
}

void TestFeedBaceDialog::emptyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sends");
    QTest::newRow("nothing typed") << QString() << false;
    QTest::newRow("spaces only") << QStringLiteral("   ") << true;
    QTest::newRow("a line break only") << QStringLiteral("\n") << true;
}

void TestFeedBaceDialog::emptyText()
{
    QFETCH(QString, text);
    QFETCH(bool, sends);
    service->setBody(feedbackPath, "{\"status\":1,\"msg\":\"内容过短\"}");
    const auto opened = open(0);
    opened->type(text);
    opened->submit();
    if (!sends) {
        // The warning is modal: by now it was shown and answered.
        QCOMPARE(opened->log->messages, QStringList{QStringLiteral("输入的信息为空")});
        QVERIFY(!opened->closed());
        QVERIFY(!opened->dialog->findChild<LoginBaseClass *>());
        QCOMPARE(service->requests().size(), 0);
        return;
    }
    QVERIFY(opened->waitForOutcome());
    QCOMPARE(opened->log->messages, QStringList{QStringLiteral("内容过短")});
    QCOMPARE(service->requests(feedbackPath).size(), 1);
    QCOMPARE(service->requests(feedbackPath).first().queryValue("con"), text);
}

void TestFeedBaceDialog::telephoneField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("letters refused") << "138abc" << "138";
    QTest::newRow("other signs refused") << "1-3 8+" << "138";
    QTest::newRow("zero kept") << "0" << "0";
    QTest::newRow("empty kept") << "" << "";
    QTest::newRow("eleven digits") << "13800000000" << "13800000000";
}

void TestFeedBaceDialog::telephoneField()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    service->setBody(feedbackPath, "{\"status\":1,\"msg\":\"x\"}");
    const auto opened = open(0);
    opened->phone()->setFocus();
    opened->phone()->selectAll();
    QTest::keyClick(opened->phone(), Qt::Key_Delete);
    QTest::keyClicks(opened->phone(), typed);
    QCOMPARE(opened->phone()->text(), kept);
    opened->type(QStringLiteral("反馈"));
    opened->submit();
    QVERIFY(opened->waitForOutcome());
    QCOMPARE(service->requests(feedbackPath).first().queryValue("userTel"), kept);
    QCOMPARE(ConfigIni::readText(LoginBaseClass::telephoneKey()), kept);
}

// The hint of the empty phone field must not read as a typed number.
void TestFeedBaceDialog::phoneHintAtHalfStrength()
{
    const auto opened = open(0);
    QLineEdit *phone = opened->phone();
    auto darkest = [phone] {
        const QImage shot = phone->grab().toImage();
        int least = 255;
        for (int y = 3; y < shot.height() - 3; ++y)
            for (int x = 3; x < shot.width() - 3; ++x)
                least = qMin(least, qGray(shot.pixel(x, y)));
        return least;
    };
    phone->clear();
    QCOMPARE(phone->placeholderText(), QStringLiteral("请输入您的手机号"));
    const int hint = darkest();
    phone->setText(QStringLiteral("13912345678"));
    const int typed = darkest();
    QVERIFY2(typed < 40, qPrintable(QString::number(typed)));
    QVERIFY2(hint > 90 && hint < 200, qPrintable(QString::number(hint)));
}

void TestFeedBaceDialog::typedNumberShowsInTheNextDialog()
{
    const QString number = QStringLiteral("13912345678");
    {
        const auto first = open(0);
        first->phone()->clear();
        QTest::keyClicks(first->phone(), number);
        first->type(QStringLiteral("反馈"));
        first->submit();
        QVERIFY(first->waitForOutcome());
        QVERIFY(first->closed());
    }
    const auto next = open(1);
    QCOMPARE(next->phone()->text(), number);
    next->type(QStringLiteral("纠错"));
    next->submit();
    QVERIFY(next->waitForOutcome());
    QCOMPARE(service->requests(errorPath).first().queryValue("userTel"), number);
}

void TestFeedBaceDialog::correctedTextIsSentAgain()
{
    service->setBody(feedbackPath, "{\"status\":1,\"msg\":\"内容过短\"}");
    const auto opened = open(0);
    opened->type(QStringLiteral("短"));
    opened->submit();
    QVERIFY(opened->waitForOutcome());
    QVERIFY(!opened->closed());

    service->setBody(feedbackPath, "{\"status\":0,\"msg\":\"提交成功\"}");
    opened->type(QStringLiteral("，补充说明"));
    opened->submit();
    QVERIFY(opened->waitForOutcome());
    QCOMPARE(opened->log->messages, (QStringList{QStringLiteral("内容过短"), sent}));
    QVERIFY(opened->closed());
    const QList<LocalWebService::Request> requests = service->requests(feedbackPath);
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(1).queryValue("con"), QStringLiteral("短，补充说明"));
}

void TestFeedBaceDialog::uncomposableReportShowsNothing()
{
    // Without the bank's settings the report cannot be composed.
    SqliteClass::instance()->closeDatabase();
    const auto opened = open(1);
    opened->type(QStringLiteral("纠错"));
    opened->submit();
    QCoreApplication::processEvents();
    QVERIFY(opened->log->messages.isEmpty());
    QVERIFY(!opened->closed());
    QCOMPARE(opened->text()->toPlainText(), QStringLiteral("纠错"));
    QCOMPARE(service->requests().size(), 0);
}

void TestFeedBaceDialog::clearEmptiesTheText()
{
    const auto opened = open(0);
    opened->type(QStringLiteral("写错了"));
    QTest::mouseClick(opened->button("pushButton_clear"), Qt::LeftButton);
    QVERIFY(opened->text()->toPlainText().isEmpty());
    QCOMPARE(opened->phone()->text(), keptTelephone);
    QVERIFY(!opened->closed());
}

void TestFeedBaceDialog::closingSendsNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel") << "pushButton_cancel";
    QTest::newRow("close button") << "pushButton_exit";
    QTest::newRow("Escape") << "";
}

void TestFeedBaceDialog::closingSendsNothing()
{
    QFETCH(QString, how);
    const qint64 lastRow = lastLogRow();
    const auto opened = open(1);
    opened->type(QStringLiteral("不发了"));
    if (how.isEmpty())
        QTest::keyClick(opened->dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(opened->button(qPrintable(how)), Qt::LeftButton);
    QVERIFY(opened->closed());
    QVERIFY(opened->log->messages.isEmpty());
    QCOMPARE(service->requests().size(), 0);
    QCOMPARE(queuedSince(lastRow).size(), 0);
    // Its message box went with it.
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<MyMessageBox *>(window));
}

void TestFeedBaceDialog::closingWhileARequestIsUnderWay()
{
    // Long enough for the cancel to come first.
    service->setDelay(feedbackPath, 1500);
    const qint64 lastRow = lastLogRow();
    const auto opened = open(0);
    opened->type(QStringLiteral("等不及了"));
    opened->submit();
    QTRY_COMPARE_WITH_TIMEOUT(service->requests(feedbackPath).size(), 1, 10000);
    QPushButton *cancel = opened->button("pushButton_cancel");
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(opened->closed());
    // A later request, once answered, was answered after the dropped one.
    LoginBaseClass later;
    QSignalSpy answered(&later, &LoginBaseClass::sendUserFinish);
    QCOMPARE(later.submitFeedback(QStringLiteral("later"), now()), 0);
    QVERIFY(answered.wait(15000));
    QVERIFY(opened->log->messages.isEmpty());
    QCOMPARE(queuedSince(lastRow).size(), 0);
}

void TestFeedBaceDialog::enterClosesNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("telephone field") << "lineEdit_userphonenumber";
    QTest::newRow("text") << "textEdit";
}

void TestFeedBaceDialog::enterClosesNothing()
{
    // Enter finishes typing; it must not press a button that throws the text away.
    QFETCH(QString, field);
    const auto opened = open(0);
    QVERIFY(QTest::qWaitForWindowExposed(opened->dialog));
    QApplication::setActiveWindow(opened->dialog);
    // Typing starts at the top, not on the close button.
    QCOMPARE(QApplication::focusWidget(), opened->phone());
    opened->type(QStringLiteral("写了一半"));
    QWidget *widget = child<QWidget>(opened->dialog, qPrintable(field));
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClick(widget, Qt::Key_Enter);
    QVERIFY(!opened->closed());
    QVERIFY(opened->text()->toPlainText().startsWith(QStringLiteral("写了一半")));
    QVERIFY(opened->log->messages.isEmpty());
    QCOMPARE(service->requests().size(), 0);
}

void TestFeedBaceDialog::dragMovesTheDialog_data()
{
    QTest::addColumn<QString>("grip");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("frame") << "widget" << QPoint(10, 150);
    QTest::newRow("title") << "label_title" << QPoint(20, 10);
    QTest::newRow("telephone label") << "label" << QPoint(20, 10);
}

void TestFeedBaceDialog::dragMovesTheDialog()
{
    QFETCH(QString, grip);
    QFETCH(QPoint, at);
    const auto opened = open(0);
    FeedBaceDialog *dialog = opened->dialog;
    dialog->move(100, 100);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QPoint start = dialog->pos();
    QWidget *widget = child<QWidget>(dialog, qPrintable(grip));
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, at + QPoint(30, 20), widget->mapToGlobal(at) + QPoint(30, 20),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QCOMPARE(dialog->pos(), start + QPoint(30, 20));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    // Released: the pointer moves on alone.
    QMouseEvent after(QEvent::MouseMove, at, widget->mapToGlobal(at) + QPoint(60, 60), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &after);
    QCOMPARE(dialog->pos(), start + QPoint(30, 20));
}

QTEST_MAIN(TestFeedBaceDialog)
#include "tst_feedbacedialog.moc"
