// Draws the common dialogs with Chinese texts into PNG files, to look at
// them without a screen: shell_snapshots OUTDIR
#include "ChoiceDialog.h"
#include "FontBk.h"
#include "MyMessageBox.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SkinDialog.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>

namespace {

void save(QWidget *widget, const QDir &dir, const QString &name)
{
    saveSnapshot(widget, dir, name);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: shell_snapshots OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    const QDir dir(QString::fromLocal8Bit(argv[1]));

    MyMessageBox box;
    box.setMessage(QStringLiteral("考试日期已经过去，请重新设置考试日期。"));
    save(&box, dir, QStringLiteral("MyMessageBox"));
    box.setSkinColor(QStringLiteral("255,127,167,255"));
    box.setMessage(QStringLiteral("本章试题已全部做完，可以返回章节列表选择下一章继续练习，也可以重新练习本章。"));
    save(&box, dir, QStringLiteral("MyMessageBox_pink_long"));

    auto *choice = new ChoiceDialog;
    choice->setSkinColor(QStringLiteral("80,153,2,255"));
    choice->setMessage(QStringLiteral("确定要退出程序吗？"));
    save(choice, dir, QStringLiteral("ChoiceDialog"));
    delete choice;

    auto *skins = new SkinDialog;
    save(skins, dir, QStringLiteral("SkinDialog"));
    delete skins;

    FontBk font;
    save(&font, dir, QStringLiteral("FontBk"));
    return 0;
}
