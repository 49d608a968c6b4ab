// Draws the prediction papers page and the past exams page on a copy of the
// demo subject into PNG files: exampages_snapshots OUTDIR DEMO_SUBJECT_DIR.
// Page 11: the variant choice window (also where it stands over the page),
// then the list after the confirmation;
// page 10: two saved exams, one of them shown; each at 778 x 450 and 1024 x 600.
#include "BuiltinPassphrase.h"
#include "ChoiceDialog.h"
#include "ConfigIni.h"
#include "LearnReportWidget.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "YaTiWidget.h"
#include "YtRadioExamForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

const QString skin = QStringLiteral("44,154,213,255");

template <typename T>
T *shown()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

void click(QWidget *widget, const char *name)
{
    QTest::mouseClick(widget->findChild<QAbstractButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

bool copyDir(const QString &from, const QString &to)
{
    QDir source(from);
    QDir().mkpath(to);
    for (const QFileInfo &info : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + info.fileName();
        if (info.isDir() ? !copyDir(info.filePath(), target) : !QFile::copy(info.filePath(), target))
            return false;
    }
    return true;
}

// The window drawn where it stands over the page, as the screen shows them.
void saveOver(QWidget *page, QWidget *window, const QDir &dir, const QString &name)
{
    QApplication::processEvents();
    QImage image = page->grab().toImage();
    QPainter painter(&image);
    painter.drawPixmap(window->frameGeometry().topLeft() - page->frameGeometry().topLeft(), window->grab());
    painter.end();
    image.save(dir.filePath(name + QStringLiteral(".png")));
}

void saveRecord(int kind, const QString &html, const QString &counts)
{
    SqliteData record;
    record.text2 = QString::number(kind);
    record.text3 = html;
    record.text4 = counts;
    SqliteClass::instance()->InsertExamTable(&record);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: exampages_snapshots OUTDIR DEMO_SUBJECT_DIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    // The tool saves exams and a choice: it works on a copy, in a working
    // directory of its own for Config.ini.
    QTemporaryDir work;
    const QString subject = work.path() + QStringLiteral("/subject");
    if (!copyDir(QString::fromLocal8Bit(argv[2]), subject)) {
        std::fprintf(stderr, "exampages_snapshots: cannot copy the demo subject\n");
        return 1;
    }
    QDir::setCurrent(work.path());
    SqliteClass *store = SqliteClass::instance();
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    if (store->openDatabase(subject, phrase, 0) != 2 || store->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "exampages_snapshots: cannot read the demo subject: %s\n", qPrintable(store->lastErrorText()));
        return 1;
    }

    for (const QSize size : {QSize(778, 450), QSize(1024, 600)}) {
        const QString suffix = QStringLiteral("_%1x%2").arg(size.width()).arg(size.height());
        ConfigIni::write(QStringLiteral("AppModel/IsChoose"), 0);
        {
            YaTiWidget page;
            page.resize(size);
            page.setSkinColor(skin);
            page.show();
            page.initPage();
            if (YtRadioExamForm *form = shown<YtRadioExamForm>()) {
                saveOver(&page, form, outDir, QStringLiteral("YtRadioExamForm_over_page") + suffix);
                saveSnapshot(form, outDir, QStringLiteral("YtRadioExamForm") + suffix);
                form->show();
                click(form, "pushButton_ok");
                saveSnapshot(form, outDir, QStringLiteral("YtRadioExamForm_hint") + suffix);
                form->show();
                click(form, "radioButton_2");
                click(form, "pushButton_ok");
                if (ChoiceDialog *dialog = shown<ChoiceDialog>()) {
                    saveSnapshot(dialog, outDir, QStringLiteral("YaTiWidget_confirm") + suffix);
                    dialog->show();
                    click(dialog, "pushButton_save");
                }
            }
            saveSnapshot(&page, outDir, QStringLiteral("YaTiWidget") + suffix);
            ConfigIni::write(QStringLiteral("AppModel/IsChoose"), 0);
        }
        QApplication::processEvents();
    }

    saveRecord(1, QStringLiteral("<p>单项选择题</p><p>\t(1) 慢性阻塞性肺疾病最常见的病因是</p><p>\t\t正确答案：A 您的答案：A</p>"),
               QStringLiteral("10/6/1"));
    saveRecord(1, QStringLiteral("<p>共用题干题</p><p>\t(1) 男，65岁，咳嗽20年。</p><p>\t\t正确答案：B 您的答案：</p>"),
               QStringLiteral("25/19/2"));
    for (const QSize size : {QSize(778, 450), QSize(1024, 600)}) {
        const QString suffix = QStringLiteral("_%1x%2").arg(size.width()).arg(size.height());
        LearnReportWidget page;
        page.resize(size);
        page.setSkinColor(skin);
        page.show();
        page.reload();
        saveSnapshot(&page, outDir, QStringLiteral("LearnReportWidget_first") + suffix);
        page.show();
        click(&page, "pushButton_noni");
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                          table->visualRect(table->model()->index(0, 0)).center());
        saveSnapshot(&page, outDir, QStringLiteral("LearnReportWidget_shown") + suffix);
    }
    store->closeDatabase();
    return 0;
}
