// Draws the subject dialog into PNG files, to look at it without a screen:
// subject_snapshots OUTDIR
// The catalogue comes from a local web service; two subjects are installed.
#include "LocalWebService.h"
#include "MyMessageBox.h"
#include "Resources.h"
#include "SelectSubjectCell.h"
#include "SelectSubjectsDialog.h"
#include "Snapshot.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

namespace {

const QString green = QStringLiteral("80,153,2,255");

// Runs the event loop until the condition holds or ten seconds have passed.
bool waitFor(const std::function<bool()> &condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

SelectSubjectsDialog *loadedDialog(QTreeWidget **tree)
{
    auto *dialog = new SelectSubjectsDialog;
    dialog->setSkinColor(green);
    dialog->startSelection(QString(), 0);
    *tree = dialog->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    QTreeWidget *t = *tree;
    if (!waitFor([t] { return t->topLevelItemCount() > 0; })) {
        std::fprintf(stderr, "the catalogue did not arrive\n");
        delete dialog;
        return nullptr;
    }
    return dialog;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: subject_snapshots OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    LocalWebService service;
    if (!service.listen()) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    qputenv("VELMORA_SERVICE_HOST", service.host().toUtf8());
    // Packages are only listed here; a download never ends.
    const QStringList names{QStringLiteral("病理学"), QStringLiteral("病理生理学"), QStringLiteral("内科学"),
                            QStringLiteral("外科学"), QStringLiteral("妇产科学"), QStringLiteral("儿科学"),
                            QStringLiteral("传染病学与医学微生物学及免疫学综合"), QStringLiteral("医学心理学")};
    for (int i = 0; i < names.size(); ++i) {
        service.addPackage(QStringLiteral("subject%1").arg(i), QStringLiteral("none.zip"), names.at(i));
        service.setDelay(QStringLiteral("/pkg/installnew_subject%1.zip").arg(i), 600000);
    }
    QDir().mkpath(QStringLiteral("data/installnew_subject0"));
    QDir().mkpath(QStringLiteral("data/installnew_subject6"));

    QTreeWidget *tree = nullptr;
    SelectSubjectsDialog *dialog = loadedDialog(&tree);
    if (!dialog)
        return 1;
    saveSnapshot(dialog, out, QStringLiteral("subjects_collapsed"));
    tree->expandAll();
    saveSnapshot(dialog, out, QStringLiteral("subjects_catalogue"));

    dialog->findChild<QTabWidget *>()->setCurrentIndex(1);
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_subject"))->setText(QStringLiteral("学"));
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_searchsubject"))->click();
    saveSnapshot(dialog, out, QStringLiteral("subjects_search"));
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_subject"))->setText(QStringLiteral("外科"));
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_searchsubject"))->click();
    saveSnapshot(dialog, out, QStringLiteral("subjects_search_one"));

    // A row that has started its download.
    dialog->findChild<QTabWidget *>()->setCurrentIndex(0);
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (auto *row = qobject_cast<SelectSubjectCell *>(tree->itemWidget(*it, 0)); row && row->SubName == names.at(2))
            row->findChild<QPushButton *>(QStringLiteral("pushButton_save"))->click();
    QMetaObject::invokeMethod(dialog, "updateDataReadProgress", Q_ARG(qlonglong, 30), Q_ARG(qlonglong, 100));
    saveSnapshot(dialog, out, QStringLiteral("subjects_downloading"));
    delete dialog;

    // One row at three times its size, to see the longest button text whole.
    SelectSubjectCell row;
    row.setData(QStringLiteral("data/x"), names.at(2), QString(), false);
    row.setSkinColor(green);
    row.findChild<QPushButton *>(QStringLiteral("pushButton_save"))->click();
    saveSnapshot(&row, out, QStringLiteral("subjects_row_downloading"), 3);

    auto *download = new SelectSubjectsDialog;
    download->setSkinColor(green);
    download->startSelection(service.catalogueLink(QStringLiteral("subject0")), 1);
    QMetaObject::invokeMethod(download, "updateDataReadProgress", Q_ARG(qlonglong, 45), Q_ARG(qlonglong, 100));
    saveSnapshot(download, out, QStringLiteral("subjects_download_view"));
    // Unpacking: the bar at 80 under the last percentage shown.
    auto *bar = download->findChild<QProgressBar *>();
    bar->setRange(0, 100);
    bar->setValue(80);
    saveSnapshot(download, out, QStringLiteral("subjects_download_view_80"));
    delete download;

    // A package that is not there: the failure message.
    service.setStatus(QStringLiteral("/pkg/installnew_subject1.zip"), 404);
    service.setDelay(QStringLiteral("/pkg/installnew_subject1.zip"), 0);
    auto *failing = new SelectSubjectsDialog;
    failing->setSkinColor(green);
    failing->startSelection(service.catalogueLink(QStringLiteral("subject1")), 1);
    failing->show();
    MyMessageBox *box = nullptr;
    if (!waitFor([&box] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if ((box = qobject_cast<MyMessageBox *>(w)) && box->isVisible())
                    return true;
            return false;
        })) {
        std::fprintf(stderr, "the failure was not shown\n");
        return 1;
    }
    // The catalogue takes the place of the failed direct download.
    auto *catalogue = failing->findChild<QTreeWidget *>();
    if (!waitFor([catalogue] { return catalogue->topLevelItemCount() > 0; })) {
        std::fprintf(stderr, "the catalogue did not come after the failure\n");
        return 1;
    }
    catalogue->expandAll();
    saveSnapshot(failing, out, QStringLiteral("subjects_install_failed_dialog"));
    saveSnapshot(box, out, QStringLiteral("subjects_install_failed"));
    box->setMessage(QStringLiteral("科目包过大或磁盘空间不足,无法安装."));
    saveSnapshot(box, out, QStringLiteral("subjects_install_too_large"));
    delete failing;
    return 0;
}
