// Draws the feedback dialog in both modes and skins, and the messages it
// shows after a submission, on a copy of the demo subject into PNG files:
//   feedback_snapshots DEMO_DATA_DIR OUTDIR
#include "BuiltinPassphrase.h"
#include "DialogAnswerer.h"
#include "FeedBaceDialog.h"
#include "LocalWebService.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <cstdio>

namespace {

const QString green = QStringLiteral("80,153,2,255");
const QString pink = QStringLiteral("255,127,167,255");
const QString typed = QStringLiteral(
    "第3题的答案解析与选项不一致：题干问的是最常见的病原体，解析却写的是最严重的并发症，请核对后更正。");

FeedBaceDialog *openDialog(int mode, const QString &skin, const QString &text)
{
    auto *dialog = new FeedBaceDialog;
    dialog->setSkinColor(skin);
    dialog->setReportMode(mode);
    if (mode == 1)
        dialog->setErrorReportData(0, 1002, QStringLiteral("患者咳铁锈色痰，最可能的病原体是"));
    dialog->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(text);
    dialog->show();
    return dialog;
}

// Submits and draws the message box the outcome brings up; false when none came.
bool drawMessage(int mode, const QString &text, const QDir &out, const QString &name)
{
    QPointer<FeedBaceDialog> dialog = openDialog(mode, pink, text);
    DialogAnswerer answerer([&](QWidget *box) { saveSnapshot(box, out, name); }, 20000);
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_submit"))->click();
    const bool shown = answerer.wait(20000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete dialog;
    return shown;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: feedback_snapshots DEMO_DATA_DIR OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir demo(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])));

    // A fresh working directory with a kept number and a copy of the demo bank.
    const TempWorkDir work("[User]\r\nTel=13800138000\r\n");
    const QString bankDir = work.filePath(QStringLiteral("data"));
    SqliteClass *store = SqliteClass::instance();
    if (!QDir().mkpath(bankDir)
        || !QFile::copy(demo.filePath(QStringLiteral("MedicalDB.db")), bankDir + QStringLiteral("/MedicalDB.db"))
        || store->openDatabase(bankDir, QString::fromLatin1(builtinPassphrase), 0) != 2) {
        std::fprintf(stderr, "cannot open a copy of the demo bank from %s\n", argv[1]);
        return 1;
    }
    LocalWebService service;
    if (!service.listen())
        return 1;
    qputenv("VELMORA_SERVICE_HOST", service.host().toUtf8());

    for (int mode : {0, 1}) {
        const QString name = mode == 1 ? QStringLiteral("report") : QStringLiteral("feedback");
        for (const auto &skin : {qMakePair(QStringLiteral("default"), green), qMakePair(QStringLiteral("pink"), pink)}) {
            FeedBaceDialog *dialog = openDialog(mode, skin.second, typed);
            saveSnapshot(dialog, out, name + QLatin1Char('_') + skin.first);
            delete dialog;
        }
    }

    // A text longer than the field: its scroll bar.
    FeedBaceDialog *dialog = openDialog(0, green, (typed + QLatin1Char('\n')).repeated(6));
    saveSnapshot(dialog, out, QStringLiteral("feedback_long"));
    delete dialog;

    bool shown = drawMessage(0, QString(), out, QStringLiteral("message_empty"));
    service.setBody(QStringLiteral("/other/feedback.php"),
                    "{\"status\":1,\"msg\":\"您填写的手机号格式不正确，请填写11位手机号码后重新提交。\"}");
    shown = drawMessage(0, typed, out, QStringLiteral("message_status1")) && shown;
    shown = drawMessage(1, typed, out, QStringLiteral("message_sent")) && shown;
    // The service down and the queue unwritable.
    service.setStatus(QStringLiteral("/other/feedback.php"), 500);
    store->execSql(QStringLiteral("drop table tQueLog"));
    shown = drawMessage(0, typed, out, QStringLiteral("message_queue_failed")) && shown;
    store->closeDatabase();
    return shown ? 0 : 1;
}
