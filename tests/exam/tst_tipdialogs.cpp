// The exam window's five tip dialogs and the help dialog: their forms, and
// what their buttons do, driven by clicks on the real buttons.
#include "HelpDialog.h"
#include "QuestionTypeTipDialog.h"
#include "QuestionTypeTipDialog2.h"
#include "QuestionTypeTipDialog3.h"
#include "QuestionTypeTipDialog4.h"
#include "QuestionTypeTipDialog5.h"

#include "Resources.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

const QString background = QStringLiteral(":/machine/images/machine/dialog_bg_1.png");
const QString icon = QStringLiteral(":/logo/images/logo/ic_icon.png");
const QString enterText = QStringLiteral("进入此部分后，上一部分已答题目无法修改，是否进入此部分答题？");

QDialog *makeDialog(const QString &name)
{
    if (name == QLatin1String("QuestionTypeTipDialog"))
        return new QuestionTypeTipDialog;
    if (name == QLatin1String("QuestionTypeTipDialog2"))
        return new QuestionTypeTipDialog2;
    if (name == QLatin1String("QuestionTypeTipDialog3"))
        return new QuestionTypeTipDialog3;
    if (name == QLatin1String("QuestionTypeTipDialog4"))
        return new QuestionTypeTipDialog4;
    if (name == QLatin1String("QuestionTypeTipDialog5"))
        return new QuestionTypeTipDialog5;
    return new HelpDialog;
}

QLabel *label(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(QLatin1String(name));
}

QPushButton *button(QWidget *dialog, const QString &name)
{
    return dialog->findChild<QPushButton *>(name);
}

// "objectName=text" of every widget of a kind, sorted.
template <typename W>
QStringList texts(QWidget *dialog)
{
    QStringList result;
    for (W *w : dialog->findChildren<W *>())
        result.append(w->objectName() + QLatin1Char('=') + w->text());
    result.sort();
    return result;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

void showAndWait(QDialog *dialog)
{
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QImage asImage(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestTipDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void forms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("hint");
        QTest::addColumn<bool>("deleteOnClose");
        QTest::addColumn<bool>("hasIcon");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("labels");
        const QSize tip(497, 362);
        const QStringList both{"btn_cancel=取消", "btn_confirm=确定"};
        const QStringList confirmOnly{"btn_confirm=确定"};
        const QStringList prompt{"content=" + enterText, "title=提示"};
        QTest::newRow("paper description")
            << "QuestionTypeTipDialog" << "人机对话" << tip << int(Qt::WindowStaysOnTopHint) << true << true
            << confirmOnly << QStringList{"content=TextLabel", "title=TextLabel"};
        QTest::newRow("next part") << "QuestionTypeTipDialog2" << "人机对话" << tip << int(Qt::WindowSystemMenuHint)
                                   << true << false << both << prompt;
        QTest::newRow("submit") << "QuestionTypeTipDialog3" << "人机对话" << tip << int(Qt::WindowSystemMenuHint)
                                << true << false << both << prompt + QStringList{"question="};
        QTest::newRow("result") << "QuestionTypeTipDialog4" << "人机对话" << tip << int(Qt::WindowSystemMenuHint)
                                << true << false << both << prompt;
        QTest::newRow("notice") << "QuestionTypeTipDialog5" << "人机对话" << tip << int(Qt::WindowSystemMenuHint)
                                << true << false << confirmOnly << prompt;
        QTest::newRow("help")
            << "HelpDialog" << "Dialog" << QSize(564, 442) << int(Qt::WindowStaysOnTopHint) << false << true
            << confirmOnly
            << QStringList{"title=提示",
                           "label=一、所有的按键均可用鼠标操作",
                           "label_4=二、考试过程中需要用的按键",
                           "label_3=1、A~Z键可以快速选中选项，→ 进入下一题，← 进入上一题，主键盘2跳出计算器，"
                           "3查看帮助，4交卷。\n2、答题过程中可以通过点击\"帮助\"按钮查看该操作说明，并可以查看各题型说明.",
                           "label_2=三、当前题型说明",
                           "label_text=题型说明"};
    }
    void forms()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QSize, size);
        QFETCH(int, hint);
        QFETCH(bool, deleteOnClose);
        QFETCH(bool, hasIcon);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, labels);
        std::unique_ptr<QDialog> dialog(makeDialog(name));
        QCOMPARE(dialog->objectName(), name);
        QCOMPARE(QString::fromLatin1(dialog->metaObject()->className()), name);
        QCOMPARE(dialog->windowTitle(), title);
        QCOMPARE(dialog->size(), size);
        QCOMPARE(int(dialog->windowFlags() & ~Qt::WindowType_Mask), int(Qt::FramelessWindowHint) | hint);
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->testAttribute(Qt::WA_DeleteOnClose), deleteOnClose);
        QCOMPARE(texts<QPushButton>(dialog.get()), buttons);
        QCOMPARE(texts<QLabel>(dialog.get()), sorted(labels));
        for (QPushButton *b : dialog->findChildren<QPushButton *>())
            QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        if (hasIcon)
            QCOMPARE(asImage(dialog->windowIcon().pixmap(64, 64)), asImage(QPixmap(icon)));
        else
            QVERIFY(dialog->windowIcon().isNull());
    }

    void messageWrapsTopLeft_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("paper description") << "QuestionTypeTipDialog";
        QTest::newRow("next part") << "QuestionTypeTipDialog2";
        QTest::newRow("notice") << "QuestionTypeTipDialog5";
    }
    void messageWrapsTopLeft()
    {
        QFETCH(QString, name);
        std::unique_ptr<QDialog> dialog(makeDialog(name));
        QLabel *content = label(dialog.get(), "content");
        QVERIFY(content->wordWrap());
        QCOMPARE(content->alignment(), Qt::AlignLeading | Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(label(dialog.get(), "title")->styleSheet(),
                 QStringLiteral("font: 12pt \"微软雅黑\";\ncolor: rgb(0, 170, 255);"));
    }

    // The message starts 60 pixels in and 20 below the 50-pixel title bar
    // and keeps 60 from the right; the panel holding it keeps its size in
    // the dialogs without a layout and follows the paper description's.
    void messageArea_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("follows");
        QTest::newRow("paper description") << "QuestionTypeTipDialog" << true;
        QTest::newRow("next part") << "QuestionTypeTipDialog2" << false;
        QTest::newRow("submit") << "QuestionTypeTipDialog3" << false;
        QTest::newRow("result") << "QuestionTypeTipDialog4" << false;
        QTest::newRow("notice") << "QuestionTypeTipDialog5" << false;
    }
    void messageArea()
    {
        QFETCH(QString, name);
        QFETCH(bool, follows);
        std::unique_ptr<QDialog> dialog(makeDialog(name));
        showAndWait(dialog.get());
        auto *panel = dialog->findChild<QWidget *>(QStringLiteral("verticalWidget"));
        QLabel *content = label(dialog.get(), "content");
        const QRect message(content->mapTo(panel, QPoint(0, 0)), content->size());
        QCOMPARE(message.left(), 60);
        QCOMPARE(message.top(), 70);
        QCOMPARE(panel->width() - message.right() - 1, 60);
        const QRect buttonBar = dialog->findChild<QWidget *>(QStringLiteral("horizontalWidget2"))->geometry();
        QCOMPARE(buttonBar.height(), 50);
        QCOMPARE(buttonBar.bottom(), panel->height() - 1);

        dialog->resize(600, 420);
        QApplication::processEvents();
        if (follows)
            QCOMPARE(panel->geometry(), dialog->rect().marginsRemoved(dialog->layout()->contentsMargins()));
        else
            QCOMPARE(panel->geometry(), QRect(0, 0, 497, 362));
    }

    // Every inner widget takes the picture away again, so with the texts
    // blanked the dialog looks exactly like the bare picture, buttons aside.
    void backgroundPaintedOnce_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"QuestionTypeTipDialog", "QuestionTypeTipDialog2", "QuestionTypeTipDialog3",
                                 "QuestionTypeTipDialog4", "QuestionTypeTipDialog5", "HelpDialog"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void backgroundPaintedOnce()
    {
        QFETCH(QString, name);
        std::unique_ptr<QDialog> dialog(makeDialog(name));
        for (QLabel *l : dialog->findChildren<QLabel *>())
            l->clear();
        showAndWait(dialog.get());
        const QImage shot = asImage(dialog->grab());

        QDialog bare;
        bare.setStyleSheet(QStringLiteral("border-image: url(%1);").arg(background));
        bare.resize(dialog->size());
        showAndWait(&bare);
        const QImage picture = asImage(bare.grab());
        QCOMPARE(shot.size(), picture.size());

        QRegion buttons;
        for (QPushButton *b : dialog->findChildren<QPushButton *>())
            buttons += QRect(b->mapTo(dialog.get(), QPoint(0, 0)), b->size());
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (!buttons.contains(QPoint(x, y)) && shot.pixel(x, y) != picture.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("picture repeated or covered at %1,%2").arg(x).arg(y)));
    }

    void paperDescriptionInTwoSteps_data()
    {
        QTest::addColumn<QStringList>("descriptions");
        QTest::addColumn<QString>("shown");
        QTest::newRow("three descriptions") << QStringList{"每题一个最佳答案。", "多选。", "案例。"}
                                            << "每题一个最佳答案。\n\n";
        QTest::newRow("no description") << QStringList() << "\n\n";
    }
    void paperDescriptionInTwoSteps()
    {
        QFETCH(QStringList, descriptions);
        QFETCH(QString, shown);
        QPointer<QuestionTypeTipDialog> dialog = new QuestionTypeTipDialog;
        dialog->setPartNames({"单项选择题(A1型题)", "多选题(X型题)", "案例分析题(A4型题)"});
        dialog->setPartDescriptions(descriptions);
        QCOMPARE(label(dialog, "title")->text(), QStringLiteral("试卷描述"));
        QCOMPARE(label(dialog, "content")->text(),
                 QStringLiteral("第1部分：单项选择题(A1型题)\r\n第2部分：多选题(X型题)\r\n第3部分：案例分析题(A4型题)"));
        showAndWait(dialog);
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());

        QTest::mouseClick(button(dialog, "btn_confirm"), Qt::LeftButton);
        QCOMPARE(label(dialog, "title")->text(), QStringLiteral("题型描述"));
        QCOMPARE(label(dialog, "content")->text(), shown);
        QVERIFY(dialog->isVisible());

        QTest::mouseClick(button(dialog, "btn_confirm"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        flushDeletes();
        QVERIFY(dialog.isNull());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void nextPartTexts_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("content");
        QTest::newRow("names") << "配伍题(B1型题)"
                               << "进入[配伍题(B1型题)]后，[单项选择题(A1型题)]部分已答题目无法修改。\n\n"
                                  "共用备选答案。\n\n是否进[配伍题(B1型题)]答题？";
        QTest::newRow("name with a place marker") << "题%1"
                                                  << "进入[题%1]后，[单项选择题(A1型题)]部分已答题目无法修改。\n\n"
                                                     "共用备选答案。\n\n是否进[题%1]答题？";
    }
    void nextPartTexts()
    {
        QFETCH(QString, next);
        QFETCH(QString, content);
        QuestionTypeTipDialog2 dialog;
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.setTexts(QStringLiteral("共用备选答案。"), QStringLiteral("单项选择题(A1型题)"), next);
        QCOMPARE(label(&dialog, "content")->text(), content);
        QCOMPARE(label(&dialog, "title")->text(), QStringLiteral("提示"));
    }

    // Each button closes its dialog, which deletes itself; only the
    // confirmations report, once, and before they close.
    void buttonsCloseAndReport_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QVariantList>("reported");
        const QByteArray next = SIGNAL(sendNextSignal(int));
        const QByteArray send = SIGNAL(sendSignal(int));
        QTest::newRow("next part, confirm") << "QuestionTypeTipDialog2" << "btn_confirm" << next << QVariantList{4};
        QTest::newRow("next part, cancel") << "QuestionTypeTipDialog2" << "btn_cancel" << next << QVariantList();
        QTest::newRow("submit, confirm") << "QuestionTypeTipDialog3" << "btn_confirm" << send << QVariantList{0};
        QTest::newRow("submit, cancel") << "QuestionTypeTipDialog3" << "btn_cancel" << send << QVariantList();
        QTest::newRow("result, confirm") << "QuestionTypeTipDialog4" << "btn_confirm" << send << QVariantList();
        QTest::newRow("result, cancel") << "QuestionTypeTipDialog4" << "btn_cancel" << send << QVariantList();
        QTest::newRow("notice, confirm") << "QuestionTypeTipDialog5" << "btn_confirm" << send << QVariantList();
    }
    void buttonsCloseAndReport()
    {
        QFETCH(QString, name);
        QFETCH(QString, press);
        QFETCH(QByteArray, signal);
        QFETCH(QVariantList, reported);
        QPointer<QDialog> dialog = makeDialog(name);
        if (auto *next = qobject_cast<QuestionTypeTipDialog2 *>(dialog))
            next->setIndex(4);
        QSignalSpy spy(dialog.data(), signal.constData());
        visibleWhenReported = false;
        connect(dialog.data(), signal.constData(), this, SLOT(noteReport()));
        showAndWait(dialog);
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());

        QTest::mouseClick(button(dialog, press), Qt::LeftButton);
        QCOMPARE(spy.count(), reported.isEmpty() ? 0 : 1);
        if (!reported.isEmpty()) {
            QCOMPARE(spy.first(), reported);
            QVERIFY(visibleWhenReported);
        }
        QVERIFY(!dialog->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        flushDeletes();
        QVERIFY(dialog.isNull());
    }

    void setTextFillsTheMessage()
    {
        fillsMessage<QuestionTypeTipDialog3>();
        fillsMessage<QuestionTypeTipDialog4>();
        fillsMessage<QuestionTypeTipDialog5>();
    }

    void helpHidesAndStays()
    {
        QPointer<HelpDialog> help = new HelpDialog;
        help->setText(QStringLiteral("每道题有两个或两个以上的正确答案。"));
        QCOMPARE(label(help, "label_text")->text(), QStringLiteral("每道题有两个或两个以上的正确答案。"));
        showAndWait(help);
        QCOMPARE(QApplication::activeModalWidget(), help.data());
        QTest::mouseClick(button(help, "btn_confirm"), Qt::LeftButton);
        QVERIFY(!help->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        flushDeletes();
        QVERIFY(!help.isNull());
        delete help;
    }

public slots:
    // Not a test: records whether the dialog was still shown when it reported.
    void noteReport() { visibleWhenReported = qobject_cast<QWidget *>(sender())->isVisible(); }

private:
    template <typename Dialog>
    void fillsMessage()
    {
        Dialog dialog;
        const QString text = QStringLiteral("您有[3, 7, ]没有选择答案.确定要提交试卷吗?");
        dialog.setText(text);
        QCOMPARE(label(&dialog, "content")->text(), text);
    }

    bool visibleWhenReported = false;
};

QTEST_MAIN(TestTipDialogs)
#include "tst_tipdialogs.moc"
