#pragma once

#include "FramelessDialog.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

class DataToUiThreadClass;
class DownLoadQThread;
class PackageUnpacker;

namespace Ui {
class DataRecoveryWidget;
}

// The data repair: fetches a fresh package of the open subject, merges the
// user's records into its bank and puts the result in place of the open
// bank. Every step but the unpacking and the merge runs on the GUI thread.
//
// The open bank is never written in place: it is copied into the work folder
// "DataRecovery", the merge writes into that copy, and only a checked copy is
// swapped in (the bank as it was stays in the work folder until the next
// repair clears it). Any failure leaves "MedicalDB.db" and "BKMedicalDB.db"
// as they were and the store on the live bank. It deletes itself when
// closed, so the main window makes a new one each time:
//
//   auto *dialog = new DataRecoveryWidget;
//   connect(dialog, &DataRecoveryWidget::sendDataRecovery, ...);
//   dialog->setSkinColor(skinColor);
//   dialog->show();
class DataRecoveryWidget : public FramelessDialog
{
    Q_OBJECT
public:
    explicit DataRecoveryWidget(QWidget *parent = nullptr);
    // Waits for a merge under way.
    ~DataRecoveryWidget() override;

    // "r,g,b,a"; an empty text keeps the form's green.
    void setSkinColor(const QString &color);

signals:
    // The repaired bank is in place; the dialog is still open.
    void sendDataRecovery();

public slots:
    // Escape: refused while the merge runs.
    void reject() override;

protected:
    // Refused while the merge runs.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_startdatarecovery_clicked();

    void receiveUpdateDataProgress(qlonglong current, qlonglong total);
    void receiveGetJsonFinish(QByteArray json);
    void receiveDownFileFinish(QString filename);
    void receiveNetworkError(QNetworkReply::NetworkError error);

    // The package's unpacking ended: checks its bank and copies the open one.
    void packageUnpacked();
    void receiveSqliteClass(int ret);
    void receiveCopyTable(int max, int value, QString text);

private:
    // Asks the service for the package address: the request's result, or -1
    // when a bank setting cannot be read.
    int startRecovery();
    // The package address of the reply, "install_" turned into
    // "installnew_"; empty when the reply names none.
    QString parseDownlink(const QByteArray &json);
    // Deletes the work folder of an earlier run and makes it anew.
    bool prepareWorkFolder();
    // The open bank copied into the work folder for the merge.
    bool copyLiveBank();
    void startMerge();
    // The checked merge result in place of the open bank.
    bool swapInMergedBank();
    // Ends the run: the status text stays, a new click starts again.
    void fail();

    QString workPath(const QString &name) const;
    QString bankFile() const;

    Ui::DataRecoveryWidget *ui;
    QString skinColor;
    DownLoadQThread *pDownLoadQThread = nullptr;
    const QString workFolder;
    QString databaseDir;
    DataToUiThreadClass *worker = nullptr;
    PackageUnpacker *unpacker = nullptr;
    // The package's bank and its images folder (empty when it has none),
    // unpacked in the work folder.
    QString newBank;
    QString newImages;
    int state = 0;
    // The address request is out; a second getJson would mix the replies.
    bool requestPending = false;
    // A network error came for the current request.
    bool networkErrorSeen = false;
    // From the merge's start until its result is handled: no closing.
    bool merging = false;
};
