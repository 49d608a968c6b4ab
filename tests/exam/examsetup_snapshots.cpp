// Draws the exam entries on the demo subject into PNG files, to look at them
// without a screen: examsetup_snapshots OUTDIR DEMO_SUBJECT_DIR.
// The simulated-exam page once its tree loaded (800 x 450 and 1024 x 600),
// the computer-based exam page (as the demo shows it and with the note),
// its welcome and login screens and the title choice. Nothing is written.
#include "BuiltinPassphrase.h"
#include "RadioExamForm.h"
#include "Resources.h"
#include "SimulatedExaminatinWidget.h"
#include "SqliteClass.h"
#include "TalkLoginDialog.h"
#include "TalkWelcomeDialog.h"
#include "TalkWidget.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <cstdio>
#include <functional>

namespace {

QDir outDir;
const QString skin = QStringLiteral("44,154,213,255");

bool waitFor(const std::function<bool()> &done, int ms = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void save(QWidget *widget, const QString &name)
{
    QApplication::processEvents();
    widget->grab().toImage().save(outDir.filePath(name + QStringLiteral(".png")));
    std::printf("%s.png\n", qPrintable(name));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: examsetup_snapshots OUTDIR DEMO_SUBJECT_DIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    outDir = QDir(QString::fromLocal8Bit(argv[1]));
    SqliteClass *store = SqliteClass::instance();
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    if (store->openDatabase(QString::fromLocal8Bit(argv[2]), phrase, 0) != 2 || store->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "examsetup_snapshots: cannot read the demo subject: %s\n",
                     qPrintable(store->lastErrorText()));
        return 1;
    }
    int status = 0;
    {
        SimulatedExaminatinWidget page;
        page.setSkinColor(skin);
        page.resize(800, 450);
        page.show();
        if (!waitFor([&page] { return page.findChild<WaitingForm *>()->isHidden(); })) {
            std::fprintf(stderr, "examsetup_snapshots: the chapter tree did not load\n");
            status = 1;
        }
        save(&page, QStringLiteral("SimulatedExaminatinWidget_800x450"));
        page.resize(1024, 600);
        save(&page, QStringLiteral("SimulatedExaminatinWidget_1024x600"));
    }
    {
        TalkWidget page;
        page.setSkinColor(skin);
        page.resize(771, 450);
        page.show();
        save(&page, QStringLiteral("TalkWidget"));
        page.findChild<QLabel *>(QStringLiteral("label_dbtype"))->show();
        save(&page, QStringLiteral("TalkWidget_note"));
        page.resize(1024, 600);
        save(&page, QStringLiteral("TalkWidget_note_1024x600"));
    }
    {
        TalkWelcomeDialog welcome;
        welcome.show();
        save(&welcome, QStringLiteral("TalkWelcomeDialog"));
        TalkLoginDialog login;
        login.show();
        save(&login, QStringLiteral("TalkLoginDialog"));
        RadioExamForm choice;
        choice.setAttribute(Qt::WA_DeleteOnClose, false);
        choice.show();
        save(&choice, QStringLiteral("RadioExamForm"));
    }
    delete store;
    return status;
}
