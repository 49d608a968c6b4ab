#pragma once

#include <QPointer>
#include <QWidget>

class ChoiceDialog;

namespace Ui {
class SelectSubjectCell;
}

// One subject in the subject dialog's lists: its name, a button that
// downloads it ("下载") or switches to it ("学习"), and, for an installed
// subject, a delete button that asks first and refuses the open subject.
class SelectSubjectCell : public QWidget
{
    Q_OBJECT
public:
    explicit SelectSubjectCell(QWidget *parent = nullptr);
    ~SelectSubjectCell() override;

    // The subject directory ("data/" + package name), the subject's name, its
    // package address and whether the directory exists; shows the name.
    void setData(const QString &directory, const QString &name, const QString &address, bool installed);
    // The buttons of an installed or a missing subject; the name stays.
    void setInstalled(bool installed);
    void setLabelText(const QString &text);
    // "r,g,b,a" for the buttons and the delete confirmation; empty keeps the form's green.
    void setSkinColor(const QString &color);

    QString directory() const { return subjectDir; }
    QString packageAddress() const { return address; }
    bool isInstalled() const { return installed; }

    // Whether the directory holds the bank in use: the open bank's directory
    // or Config.ini Data/DBPath is the directory or lies inside it, after
    // links and "./" or absolute spellings are resolved.
    static bool isOpenSubject(const QString &directory);

    QString SubName;
    QString subGroupName;
    QString groupName;

signals:
    // The directory whose deletion the user confirmed.
    void sendDeleteSubject(QString);
    // true with the directory to open, false with the package address to download.
    void sendLocalSubject(bool, QString);

private slots:
    void on_pushButton_deletesubject_clicked();
    void receiveChoiceDialogDeleteSubjectOk();
    void on_pushButton_save_clicked();

private:
    Ui::SelectSubjectCell *ui;
    QString subjectDir;
    QString address;
    bool installed = false;
    QPointer<ChoiceDialog> deleteConfirmation;
    QString skinColor;
};
