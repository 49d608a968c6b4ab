// Draws the data repair dialog in the default and the pink skin into PNG
// files: at the start, during the download, on a merge text, after a repair
// of a copy of the demo subject, and failed with a long error text:
//   datarecovery_snapshots DEMO_DATA_DIR OUTDIR
#include "BuiltinPassphrase.h"
#include "DataRecoveryWidget.h"
#include "LocalWebService.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "SubjectPackage.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

DataRecoveryWidget *openDialog(const QString &skin)
{
    auto *dialog = new DataRecoveryWidget;
    dialog->setSkinColor(skin);
    dialog->show();
    return dialog;
}

QLabel *statusLabel(DataRecoveryWidget *dialog)
{
    return dialog->findChild<QLabel *>(QStringLiteral("label_text"));
}

QPushButton *startButton(DataRecoveryWidget *dialog)
{
    return dialog->findChild<QPushButton *>(QStringLiteral("pushButton_startdatarecovery"));
}

// Clicks start and waits until the button reads done (the run's end).
bool runRepair(DataRecoveryWidget *dialog, const QString &done)
{
    QTest::mouseClick(startButton(dialog), Qt::LeftButton);
    return QTest::qWaitFor([&] { return startButton(dialog)->text() == done; }, 60000);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: datarecovery_snapshots DEMO_DATA_DIR OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir demo(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])));

    const TempWorkDir work;
    const QString package = work.filePath(QStringLiteral("demo.zip"));
    QString error;
    SqliteClass *store = SqliteClass::instance();
    if (!copyTree(demo.absolutePath(), work.filePath(QStringLiteral("data")))
        || !makeSubjectPackage(demo.absolutePath(), package, &error)
        || store->openDatabase(QStringLiteral("data"), QString::fromLatin1(builtinPassphrase), 0) != 2) {
        std::fprintf(stderr, "cannot set up a copy of the demo subject from %s %s\n", argv[1], qPrintable(error));
        return 1;
    }
    LocalWebService service;
    if (!service.listen())
        return 1;
    qputenv("VELMORA_SERVICE_HOST", service.host().toUtf8());
    service.addPackage(QStringLiteral("demo"), package, QStringLiteral("示例科目"), QStringLiteral("A"),
                       QStringLiteral("20"));

    bool ran = true;
    const QList<QPair<QString, QString>> skins{{QStringLiteral("default"), QStringLiteral("80,153,2,255")},
                                               {QStringLiteral("pink"), QStringLiteral("255,127,167,255")}};
    for (const auto &skin : skins) {
        const QString suffix = QLatin1Char('_') + skin.first;
        DataRecoveryWidget *dialog = openDialog(skin.second);
        saveSnapshot(dialog, out, QStringLiteral("start") + suffix);

        // The texts the run shows on its way, set as its slots set them.
        startButton(dialog)->setText(QStringLiteral("放弃修复"));
        statusLabel(dialog)->setText(QStringLiteral("正在下载db数据包."));
        QMetaObject::invokeMethod(dialog, "receiveUpdateDataProgress", Q_ARG(qlonglong, 45), Q_ARG(qlonglong, 100));
        saveSnapshot(dialog, out, QStringLiteral("download") + suffix);
        QMetaObject::invokeMethod(dialog, "receiveCopyTable", Q_ARG(int, 240), Q_ARG(int, 88),
                                  Q_ARG(QString, QStringLiteral("插入数据表[88]条数据")));
        saveSnapshot(dialog, out, QStringLiteral("merge") + suffix);
        // The longest failure text.
        statusLabel(dialog)->setText(QStringLiteral("科目包过大或磁盘空间不足,无法修复."));
        startButton(dialog)->setText(QStringLiteral("重新尝试"));
        saveSnapshot(dialog, out, QStringLiteral("too_large") + suffix);
        delete dialog;

        dialog = openDialog(skin.second);
        ran = runRepair(dialog, QStringLiteral("关闭")) && ran;
        saveSnapshot(dialog, out, QStringLiteral("finished") + suffix);
        delete dialog;

        // A file where the images folder goes: the image copy fails.
        QDir(QStringLiteral("data/images")).removeRecursively();
        QFile blocker(QStringLiteral("data/images"));
        blocker.open(QIODevice::WriteOnly);
        blocker.close();
        dialog = openDialog(skin.second);
        ran = runRepair(dialog, QStringLiteral("重新尝试")) && ran;
        saveSnapshot(dialog, out, QStringLiteral("failed") + suffix);
        delete dialog;
        QFile::remove(QStringLiteral("data/images"));
        copyTree(demo.filePath(QStringLiteral("images")), QStringLiteral("data/images"));
    }
    store->closeDatabase();
    return ran ? 0 : 1;
}
