#pragma once

#include "FramelessDialog.h"

#include <QList>
#include <QMargins>
#include <QModelIndex>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QUrl>

#include <memory>

class ChoiceDialog;
class MyMessageBox;
class PackageUnpacker;
class QFile;
class QNetworkReply;
class QTemporaryDir;
class SelectSubjectCell;
class QTreeWidgetItem;

namespace Ui {
class SelectSubjectsDialog;
}

// The subject dialog: shows the web service's subject catalogue as a tree of
// groups, sub-groups and subjects, searches the subjects by name, switches to
// an installed subject, starts the download of a missing one and deletes an
// installed one. Frameless (not on top), modal, dragged with the left mouse
// button, deleted when closed.
//
//   auto *dialog = new SelectSubjectsDialog;
//   connect(dialog, &SelectSubjectsDialog::sendCurrentDBPath, ...);
//   dialog->setSkinColor(skin);
//   const QString url = PublicData::value("DownLoadUrl/Url");
//   dialog->startSelection(url, url.isEmpty() ? 0 : 1);
//   dialog->show();
class SelectSubjectsDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit SelectSubjectsDialog(QWidget *parent = nullptr);
    // Stops an unpacking under way.
    ~SelectSubjectsDialog() override;

    // "r,g,b,a": the search button and the progress bar now, the rows and
    // confirmations made afterwards.
    void setSkinColor(const QString &color);
    // Mode 0 loads the catalogue; mode 1 shows only the download progress
    // and downloads the package at url.
    void startSelection(const QString &url, int mode);
    // GET of the catalogue address; the reply goes to parseCatalogue.
    void requestCatalogue(const QString &url);
    // Fills the tree from the catalogue's JSON. false when the text is no
    // JSON at all; a JSON value that is no array adds nothing.
    bool parseCatalogue(const QByteArray &body);
    // Deletes the directory tree, links as links; 0 also when it does not exist.
    static int removeDirWithContent(const QString &path);
    // GET of a package address; the reply is written to the package file.
    void startRequest(const QUrl &url);
    // Removes every entry of the folder but those whose path holds ".txt",
    // folders with their content; -1 when one could not be removed (the
    // others are removed all the same).
    static int clearDownloadFolder(const QString &folder);
    // Removes the unpacking folders that an installation cut off by the end
    // of the program left in the download folder. For the start of the program.
    static void removeStagingFolders();

signals:
    // The subject directory to open: the user chose an installed subject or
    // one was installed. The dialog stays open.
    void sendCurrentDBPath(QString);

public slots:
    // Starts the download of a subject package (type 3): the dialog is busy
    // until the package is installed or has failed.
    void downloadFile(QString urlpath, int type);
    // The transfer ended: installs the package when all of it arrived.
    void httpFinished();
    // Writes what has arrived to the package file.
    void httpReadyRead();

private slots:
    void on_pushButton_exit_clicked();
    void updateDataReadProgress(qlonglong current, qlonglong total);
    void on_treeWidget_clicked(QModelIndex index);
    void on_pushButton_searchsubject_clicked();
    void receiveDeleteSubject(QString datapaht);
    void receiveChoiceDialogExitOk();
    void httpJsonFinished();
    void receiveLocalSubject(bool islocal, QString str);

private:
    // A row for the lists, connected to the dialog and skinned; setData follows.
    SelectSubjectCell *newRow(const QString &groupName, const QString &subGroupName);
    void addSubject(QTreeWidgetItem *subGroup, const QString &groupName, const QString &subGroupName,
                    const QString &name, const QString &downlink);
    // Every row of the directory, in the catalogue and in the search.
    void markInstalled(const QString &directory, bool installed);
    // Shows the message in the dialog's message box.
    void tell(const QString &message);
    // Unpacks the downloaded package on a thread; packageUnpacked goes on.
    void startUnpacking();
    void packageUnpacked();
    // Checks the unpacked package and puts it in place: "" or why it failed.
    QString installPackage(const QString &subjectDir, const QString &packageFolder, const QString &stagedImages);
    // The end of a failed download or installation; tells the user message.
    void installFailed(const QString &reason, const QString &message);
    // After a failed direct download: the catalogue, as in mode 0.
    void showCatalogue();

    Ui::SelectSubjectsDialog *ui;
    // The catalogue view of the form, for the way back from a direct download.
    QString catalogueTitle;
    QString catalogueWindowTitle;
    QMargins catalogueMargins;
    QSize catalogueSize;
    QString skinColor;
    QUrl downloadAddress;
    // The address as it was given, with "installnew_": stored once installed.
    QString downloadText;
    QNetworkAccessManager manager;
    QNetworkReply *reply = nullptr;
    QFile *packageFile = nullptr;
    // The first write of the package file that failed.
    QString writeError;
    int downloadType = 0;
    QString downloadFolder;
    bool busy = false;
    QString packageFileName;
    QList<SelectSubjectCell *> pTableWidgetList;
    QList<SelectSubjectCell *> searchRows;
    QPointer<ChoiceDialog> exitConfirmation;
    MyMessageBox *messageBox = nullptr;
    int selectionMode = 0;
    std::unique_ptr<QTemporaryDir> staging;
    PackageUnpacker *unpacker = nullptr;
};
