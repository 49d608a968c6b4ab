// Draws the practice widgets with Chinese texts into PNG files, to look at
// them without a screen: practice_snapshots OUTDIR
#include "CRoundProcessBar.h"
#include "CellBk.h"
#include "InterpretationForm.h"
#include "NoteDialog.h"
#include "ReturnQuestionsDialog.h"
#include "Resources.h"
#include "Snapshot.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <cstdio>

namespace {

void saveSummary(int mode, const QDir &dir, const QString &name)
{
    auto *dialog = new ReturnQuestionsDialog;
    dialog->setSkinColor(QStringLiteral("80,153,2,255"));
    dialog->setMode(QStringLiteral("这是【慢性阻塞性肺疾病与支气管哮喘】最后一章了，您真棒!\n 总题数:50 正确:15 错误:5 未答:30"), mode);
    saveSnapshot(dialog, dir, name);
    delete dialog;
}

// Four gauges side by side on a white page.
void saveRings(const QString &colour, const QDir &dir, const QString &name)
{
    QWidget row;
    row.setStyleSheet(QStringLiteral("background: white;"));
    auto *layout = new QHBoxLayout(&row);
    for (const char *value : {"0", "45", "90", "100"}) {
        auto *bar = new CRoundProcessBar(&row, colour);
        bar->setTotal(100);
        bar->setValueText(QLatin1String(value));
        layout->addWidget(bar);
    }
    saveSnapshot(&row, dir, name, 4);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: practice_snapshots OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    const QDir dir(QString::fromLocal8Bit(argv[1]));

    auto *note = new NoteDialog;
    note->setSkinColor(QStringLiteral("255,127,167,255"));
    note->setText(QStringLiteral("慢阻肺急性加重：抗感染、支气管扩张剂。\n注意与支气管哮喘的鉴别，<b>不是</b>加粗。"));
    saveSnapshot(note, dir, QStringLiteral("NoteDialog"));
    delete note;

    saveSummary(0, dir, QStringLiteral("ReturnQuestionsDialog_mode0"));
    saveSummary(1, dir, QStringLiteral("ReturnQuestionsDialog_mode1"));

    CellBk picker;
    saveSnapshot(&picker, dir, QStringLiteral("CellBk"));
    InterpretationForm explanation;
    saveSnapshot(&explanation, dir, QStringLiteral("InterpretationForm"));

    saveRings(QStringLiteral("80,153,2,255"), dir, QStringLiteral("rings_green"));
    saveRings(QStringLiteral("255,127,167,255"), dir, QStringLiteral("rings_pink"));
    return 0;
}
