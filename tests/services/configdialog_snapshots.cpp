// Draws the backup dialog without a backup, after a backup, with its restore
// confirmation and after a restore, on a fixture bank, into PNG files:
//   configdialog_snapshots OUTDIR
#include "ConfigDialog.h"
#include "DialogAnswerer.h"
#include "FixtureBank.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <cstdio>

namespace {

void click(QWidget *dialog, const char *button)
{
    dialog->findChild<QPushButton *>(QLatin1String(button))->click();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: configdialog_snapshots OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));

    const TempWorkDir work;
    FixtureBank bank;
    SqliteClass *store = SqliteClass::instance();
    if (!bank.open() || store->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0) != 2) {
        std::fprintf(stderr, "cannot open the fixture bank: %s\n", qPrintable(bank.error()));
        return 1;
    }

    auto *dialog = new ConfigDialog;
    dialog->setSkinColor(QStringLiteral("80,153,2,255"));
    saveSnapshot(dialog, out, QStringLiteral("ConfigDialog_no_backup"));
    dialog->show();
    click(dialog, "pushButton_databk");
    saveSnapshot(dialog, out, QStringLiteral("ConfigDialog_backed_up"));
    delete dialog;

    // Opened again: the backup's time.
    dialog = new ConfigDialog;
    dialog->setSkinColor(QStringLiteral("255,127,167,255"));
    saveSnapshot(dialog, out, QStringLiteral("ConfigDialog_with_backup"));
    dialog->show();
    bool confirmed = false;
    {
        DialogAnswerer answerer([&](QWidget *choice) {
            saveSnapshot(choice, out, QStringLiteral("ConfigDialog_confirmation"));
            choice->show();
            confirmed = DialogAnswerer::clickButton(choice, QStringLiteral("pushButton_save"));
        });
        click(dialog, "pushButton_Reduction");
        answerer.wait();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    saveSnapshot(dialog, out, QStringLiteral("ConfigDialog_restored"));

    // A backup that is no bank.
    QFile::remove(bank.path() + QStringLiteral("/BKMedicalDB.db"));
    QFile junk(bank.path() + QStringLiteral("/BKMedicalDB.db"));
    junk.open(QIODevice::WriteOnly);
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    dialog->show();
    {
        DialogAnswerer answerer([&](QWidget *choice) { DialogAnswerer::clickButton(choice, QStringLiteral("pushButton_save")); });
        click(dialog, "pushButton_Reduction");
        answerer.wait();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    saveSnapshot(dialog, out, QStringLiteral("ConfigDialog_restore_failed"));
    delete dialog;
    delete store;
    return confirmed ? 0 : 1;
}
