#include "SelectSubjectCell.h"
#include "ui_SelectSubjectCell.h"

#include "ChoiceDialog.h"
#include "PublicData.h"
#include "Skin.h"
#include "SqliteClass.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString dbPathKey = QStringLiteral("Data/DBPath");

// Whether the path is the directory or lies inside it; both canonical.
bool within(const QString &path, const QString &directory)
{
    return path == directory || path.startsWith(directory + QLatin1Char('/'));
}

} // namespace

SelectSubjectCell::SelectSubjectCell(QWidget *parent)
    : QWidget(parent), ui(new Ui::SelectSubjectCell)
{
    ui->setupUi(this);
    ui->pushButton_deletesubject->setToolTip(QStringLiteral("删除科目"));
}

SelectSubjectCell::~SelectSubjectCell()
{
    // A question about a row that is gone would answer nothing.
    if (deleteConfirmation)
        deleteConfirmation->close();
    delete ui;
}

void SelectSubjectCell::setData(const QString &directory, const QString &name, const QString &address,
                                bool installed)
{
    subjectDir = directory;
    SubName = name;
    this->address = address;
    ui->label_text->setText(name);
    setInstalled(installed);
}

void SelectSubjectCell::setInstalled(bool installed)
{
    this->installed = installed;
    ui->pushButton_deletesubject->setVisible(installed);
    ui->pushButton_save->setToolTip(installed ? QStringLiteral("学习科目") : QStringLiteral("下载科目"));
    ui->pushButton_save->setText(installed ? QStringLiteral("学习") : QStringLiteral("下载"));
}

void SelectSubjectCell::setLabelText(const QString &text)
{
    ui->label_text->setText(text);
}

void SelectSubjectCell::setSkinColor(const QString &color)
{
    skinColor = color;
    if (color.isEmpty())
        return;
    const QString style = QStringLiteral(
        "QPushButton{min-height:20px;max-width:60px;border-radius:5px;background-color: rgb(%1);"
        "color: rgb(255, 255, 255);font: 75 10pt \"微软雅黑\";}"
        "QPushButton:hover{background-color: rgb(%2);color: rgb(255, 255, 255);}")
                              .arg(color, skinHoverColor(color));
    ui->pushButton_deletesubject->setStyleSheet(style);
    ui->pushButton_save->setStyleSheet(style);
}

bool SelectSubjectCell::isOpenSubject(const QString &directory)
{
    const QString target = QFileInfo(directory).canonicalFilePath();
    if (target.isEmpty())
        return false;
    const QString openDirs[] = {SqliteClass::instance()->databaseDir(), PublicData::value(dbPathKey)};
    for (const QString &open : openDirs) {
        const QString path = open.isEmpty() ? QString() : QDir(open).canonicalPath();
        if (!path.isEmpty() && within(path, target))
            return true;
    }
    return false;
}

void SelectSubjectCell::on_pushButton_deletesubject_clicked()
{
    if (isOpenSubject(subjectDir)) {
        QMessageBox::about(nullptr, QStringLiteral("警告"), QStringLiteral("不能删除正在使用的科目."));
        return;
    }
    deleteConfirmation = new ChoiceDialog;
    connect(deleteConfirmation, &ChoiceDialog::sendOk, this,
            &SelectSubjectCell::receiveChoiceDialogDeleteSubjectOk);
    deleteConfirmation->setMessage(QStringLiteral("您确定要删除该科目吗？"));
    deleteConfirmation->setSkinColor(skinColor);
    deleteConfirmation->show();
}

void SelectSubjectCell::receiveChoiceDialogDeleteSubjectOk()
{
    ui->pushButton_deletesubject->hide();
    emit sendDeleteSubject(subjectDir);
}

void SelectSubjectCell::on_pushButton_save_clicked()
{
    if (!installed) {
        ui->pushButton_save->setText(QStringLiteral("正在下载"));
        emit sendLocalSubject(false, address);
        return;
    }
    // The dialog writes the setting when it accepts the switch.
    emit sendLocalSubject(true, subjectDir);
}
