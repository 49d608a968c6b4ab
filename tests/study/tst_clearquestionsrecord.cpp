// The clear-records dialog on the standard fixture's set 111 (groups 101 to
// 106): what each choice clears, progress, failure and every way to close.
#include "ClearQuestionsRecord.h"

#include "LogCapture.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "StudyBank.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const int generousWait = 120000;
const QString green = QStringLiteral("80,153,2,255");
const int setId = 111;

template <class T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

// A dialog for set 111, shown as the page shows it.
QPointer<ClearQuestionsRecord> openDialog(int cateId = setId)
{
    auto *dialog = new ClearQuestionsRecord;
    dialog->setSkinColor(green);
    dialog->setCateId(cateId);
    dialog->show();
    return dialog;
}

void click(QWidget *dialog, const char *name)
{
    QWidget *target = child<QWidget>(dialog, name);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(8, target->height() / 2));
}

bool waitGone(const QPointer<ClearQuestionsRecord> &dialog)
{
    return QTest::qWaitFor([&] { return dialog.isNull(); }, generousWait);
}

// The user columns after clearing: each chosen part reset in the set's questions.
QMap<int, QStringList> cleared(QMap<int, QStringList> rows, bool answers, bool favourites, bool notes)
{
    for (int queId : questionsOfSet(setId)) {
        QStringList &columns = rows[queId];
        if (answers) {
            columns[0] = QStringLiteral("0");
            columns[1] = columns[2] = QStringLiteral("NULL");
        }
        if (favourites)
            columns[3] = QStringLiteral("0");
        if (notes)
            columns[4] = QStringLiteral("NULL");
    }
    return rows;
}

// Fails set 111's clearing at its fourth group.
const QString refuseGroup104 = QStringLiteral(
    "CREATE TRIGGER refuse BEFORE UPDATE ON tQue WHEN old.cateListId = 104 BEGIN SELECT RAISE(ABORT, 'refused'); END;");

} // namespace

class TestClearQuestionsRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void form();
    void choices_data();
    void choices();
    void nothingChosen();
    void progressEndsAtAllGroups();
    void setWithoutGroups();
    void failureKeepsDialogOpen();
    void everyCloseNotifiesOnce_data();
    void everyCloseNotifiesOnce();
    void paintsSkin();
};

void TestClearQuestionsRecord::initTestCase()
{
    initResources();
}

void TestClearQuestionsRecord::form()
{
    ClearQuestionsRecord dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("ClearQuestionsRecord"));
    QCOMPARE(dialog.size(), QSize(506, 274));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("清除做题记录"));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dialog.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(dialog.isModal());
    auto *message = child<QLabel>(&dialog, "label_message");
    QCOMPARE(message->text(), QStringLiteral("您确定要清除做题记录吗？"));
    QVERIFY(message->wordWrap());
    QVERIFY(child<QProgressBar>(&dialog, "progressBar")->isHidden());
    QVERIFY(child<QLabel>(&dialog, "label_tishi")->isHidden());
    QCOMPARE(child<QPushButton>(&dialog, "pushButton_save")->text(), QStringLiteral("确  定"));
    QCOMPARE(child<QPushButton>(&dialog, "pushButton_save_2")->text(), QStringLiteral("取消"));
    const char *const boxes[] = {"checkBox_note", "checkBox_fav", "checkBox_question"};
    const QStringList texts{"清除添加的【学习笔记】", "清除添加的【我的收藏】", "清除做题记录"};
    for (int i = 0; i < 3; ++i) {
        auto *box = child<QCheckBox>(&dialog, boxes[i]);
        QCOMPARE(box->text(), texts.at(i));
        QCOMPARE(box->isChecked(), i == 2);
    }
}

void TestClearQuestionsRecord::choices_data()
{
    QTest::addColumn<QStringList>("toggled");
    QTest::addColumn<bool>("answers");
    QTest::addColumn<bool>("favourites");
    QTest::addColumn<bool>("notes");
    QTest::newRow("1,0,0 (as offered)") << QStringList{} << true << false << false;
    QTest::newRow("1,1,1") << QStringList{"checkBox_fav", "checkBox_note"} << true << true << true;
    QTest::newRow("0,0,1") << QStringList{"checkBox_question", "checkBox_note"} << false << false << true;
}

// Exactly the chosen columns change, and only in the set's questions.
void TestClearQuestionsRecord::choices()
{
    QFETCH(QStringList, toggled);
    QFETCH(bool, answers);
    QFETCH(bool, favourites);
    QFETCH(bool, notes);
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QMap<int, QStringList> before = userColumns();
    QPointer<ClearQuestionsRecord> dialog = openDialog();
    for (const QString &box : toggled)
        click(dialog, qPrintable(box));
    click(dialog, "pushButton_save");
    QVERIFY(waitGone(dialog));
    QCOMPARE(userColumns(), cleared(before, answers, favourites, notes));
}

void TestClearQuestionsRecord::nothingChosen()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QMap<int, QStringList> before = userColumns();
    QPointer<ClearQuestionsRecord> dialog = openDialog();
    QSignalSpy closed(dialog.data(), &ClearQuestionsRecord::sendUpdateClear);
    click(dialog, "checkBox_question");
    click(dialog, "pushButton_save");
    auto *status = child<QLabel>(dialog, "label_tishi");
    QVERIFY(status->isVisible());
    QCOMPARE(status->text(), QStringLiteral("您未选择要清除的项!"));
    QVERIFY(child<QProgressBar>(dialog, "progressBar")->isHidden());
    QTest::qWait(50);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(userColumns(), before);
    QCOMPARE(closed.count(), 0);
    dialog->close();
    QVERIFY(waitGone(dialog));
}

void TestClearQuestionsRecord::progressEndsAtAllGroups()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    QPointer<ClearQuestionsRecord> dialog = openDialog();
    auto *bar = child<QProgressBar>(dialog, "progressBar");
    QList<QPair<int, int>> steps; // value of maximum, while the dialog is open
    connect(bar, &QProgressBar::valueChanged, bar, [&, bar](int value) {
        if (dialog->isVisible())
            steps.append({value, bar->maximum()});
    });
    click(dialog, "pushButton_save");
    QVERIFY(bar->isVisible());
    QVERIFY(waitGone(dialog));
    QVERIFY(!steps.isEmpty());
    QCOMPARE(steps.last(), qMakePair(6, 6));
}

void TestClearQuestionsRecord::setWithoutGroups()
{
    StudyBank bank(QStringLiteral("INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (122, '空练习', 12, 2);"));
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QMap<int, QStringList> before = userColumns();
    QPointer<ClearQuestionsRecord> dialog = openDialog(122);
    QSignalSpy closed(dialog.data(), &ClearQuestionsRecord::sendUpdateClear);
    QSignalSpy progress(child<QProgressBar>(dialog, "progressBar"), &QProgressBar::valueChanged);
    click(dialog, "pushButton_save");
    QVERIFY(waitGone(dialog));
    QCOMPARE(progress.count(), 0);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(userColumns(), before);
}

// A failed clearing leaves the set as it was and says so; confirming again
// tries again.
void TestClearQuestionsRecord::failureKeepsDialogOpen()
{
    StudyBank bank(refuseGroup104);
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QMap<int, QStringList> before = userColumns();
    LogCapture log;
    QPointer<ClearQuestionsRecord> dialog = openDialog();
    QSignalSpy closed(dialog.data(), &ClearQuestionsRecord::sendUpdateClear);
    auto *status = child<QLabel>(dialog, "label_tishi");
    click(dialog, "pushButton_save");
    QTRY_VERIFY_WITH_TIMEOUT(status->isVisible(), generousWait);
    // The line shows the start of the error, the tooltip all of it.
    const QString error = status->toolTip();
    QVERIFY2(error.startsWith(QLatin1String("[Error:]")) && error.contains(QLatin1String("refused")), qPrintable(error));
    QVERIFY(log.contains(error));
    QVERIFY2(status->text().startsWith(QLatin1String("[Error:]")), qPrintable(status->text()));
    QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
    QVERIFY(child<QProgressBar>(dialog, "progressBar")->isHidden());
    QVERIFY(dialog->isVisible());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(userColumns(), before);

    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("DROP TRIGGER refuse")), 0);
    click(dialog, "pushButton_save");
    QVERIFY(!status->isVisible());
    QVERIFY(waitGone(dialog));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(userColumns(), cleared(before, true, false, false));
}

void TestClearQuestionsRecord::everyCloseNotifiesOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << QStringLiteral("pushButton_exit");
    QTest::newRow("取消") << QStringLiteral("pushButton_save_2");
    QTest::newRow("Esc") << QStringLiteral("Esc");
    QTest::newRow("cleared") << QStringLiteral("pushButton_save");
    QTest::newRow("close() while clearing") << QStringLiteral("close");
}

void TestClearQuestionsRecord::everyCloseNotifiesOnce()
{
    QFETCH(QString, how);
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    QPointer<ClearQuestionsRecord> dialog = openDialog();
    QSignalSpy closed(dialog.data(), &ClearQuestionsRecord::sendUpdateClear);
    if (how == QLatin1String("Esc")) {
        QTest::keyClick(dialog, Qt::Key_Escape);
    } else if (how == QLatin1String("close")) {
        click(dialog, "pushButton_save");
        dialog->close();
    } else {
        click(dialog, qPrintable(how));
    }
    QVERIFY(waitGone(dialog));
    QCOMPARE(closed.count(), 1);
}

// Hover raises red and green by 20, at most 255.
void TestClearQuestionsRecord::paintsSkin()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    const QString skin = QStringLiteral("250,240,10,255");
    ClearQuestionsRecord dialog;
    dialog.setSkinColor(skin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const char *name : {"pushButton_save", "pushButton_save_2"}) {
        auto *button = child<QPushButton>(&dialog, name);
        const QPoint inside(10, button->height() / 2);
        QCOMPARE(paintedColor(button, inside), skinColour(skin));
        QCOMPARE(paintedColor(button, inside, true), skinColour(QStringLiteral("255,255,10,255")));
    }
    auto *bar = child<QProgressBar>(&dialog, "progressBar");
    bar->setRange(0, 2);
    bar->setValue(2);
    bar->show();
    QCOMPARE(paintedColor(bar, QPoint(bar->width() / 4, bar->height() / 2)), skinColour(skin));
}

QTEST_MAIN(TestClearQuestionsRecord)
#include "tst_clearquestionsrecord.moc"
