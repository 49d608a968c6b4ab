#include "RemoveExtraDataDialog.h"

#include "SqliteClass.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

RemoveExtraDataDialog::RemoveExtraDataDialog(QWidget *parent)
    : QDialog(parent)
    , verticalLayout(new QVBoxLayout(this))
    , progressBar(new QProgressBar(this))
    , label(new QLabel(this))
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("RemoveExtraDataDialog"));
    resize(447, 75);
    setWindowTitle(QStringLiteral("Dialog"));
    setAttribute(Qt::WA_DeleteOnClose);

    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setValue(0);
    progressBar->setAlignment(Qt::AlignCenter);
    progressBar->setStyleSheet(QStringLiteral(
        "QProgressBar{border-image:none;border:none;background:rgb(230, 230, 230);"
        "border-radius:3px;text-align:center;}"
        "QProgressBar::chunk{background:rgb(123, 219, 21);border-radius:3px;}"));
    label->setObjectName(QStringLiteral("label"));
    label->setStyleSheet(QStringLiteral("font: 75 12pt \"微软雅黑\";"));
    label->setAlignment(Qt::AlignCenter);
    label->setText(QStringLiteral("正在清除多余的题库数据..."));
    verticalLayout->addWidget(progressBar);
    verticalLayout->addWidget(label);
}

int RemoveExtraDataDialog::run()
{
    // Chapters first, then the groups they leave behind, then the options
    // (found through their questions), the questions last.
    struct Step
    {
        int orphanStep; // 0: the chapter tree
        int progress;
    };
    const Step steps[] = {{0, 25}, {1, 40}, {2, 70}, {3, 100}};
    SqliteClass *store = SqliteClass::instance();
    int result = 0;
    for (const Step &step : steps) {
        result = step.orphanStep == 0 ? store->removeBrokenChapters() : store->removeOrphanRows(step.orphanStep);
        if (result == -1)
            return -1;
        progressBar->setValue(step.progress);
    }
    return result;
}
