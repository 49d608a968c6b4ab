#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QString>

class QFile;
class QNetworkAccessManager;
class QNetworkRequest;

// The small HTTP client of the data repair and the welcome screen: fetches a
// reply into memory, sends a request and passes on its reply text, streams a
// package to a file with progress; plus the recursive copy and removal used
// around packages. It starts no thread: everything runs on the caller's.
//
// One request at a time: a new request drops one still under way, which then
// reports nothing (a dropped download's file is removed). A request succeeds
// with no network error, an HTTP 2xx status (redirects are not followed) and,
// for a download, every byte written. A failed request still ends with its
// finish signal, after sendNetworkError for a network or HTTP failure:
// getJson with no bytes, submit with an empty text, a download with its file
// removed. lastRequestSucceeded() tells the two apart.
//
// The finish signals come from inside the reply's own signal: a receiver may
// start the next request there, but must not delete the object directly
// (deleteLater is fine), as that would delete the reply under its feet.
class DownLoadQThread : public QObject
{
    Q_OBJECT

public:
    explicit DownLoadQThread(QObject *parent = nullptr);
    // Drops a request under way without a signal.
    ~DownLoadQThread() override;

    // Fetch into memory; ends with sendGetJsonFinish. Always 0.
    int getJson(const QString &address);
    // Ends with sendSubmitFinish: the body up to its first NUL, as UTF-8.
    void submit(const QString &address);
    // Into directory + "/" + the decoded last part of the URL's path, which
    // is truncated first; ends with sendDownFileFinish. 0 when the transfer
    // started, -1 with the error text set when the file cannot be opened.
    // The third text is not read.
    int downloadFile(const QString &address, const QString &directory, const QString &unused);
    // The latest error of downloadFile or copyDirectoryFiles.
    QString errorString() const;
    // Whether the request that ended last succeeded.
    bool lastRequestSucceeded() const;

    // Copies the directory tree (hidden entries and symbolic links left out)
    // into to, which is created when missing (its parent must exist). With
    // overwrite a file or link of the same name in to is removed first;
    // without it one makes the copy fail. A link in to is never written
    // through. 0, or -1 with the error text set; what was copied stays.
    int copyDirectoryFiles(const QString &from, const QString &to, bool overwrite);
    // Deletes the directory tree; symbolic links are removed as links, never
    // followed. An entry whose permission bits deny reading or writing is
    // left, so its directory stays and the result is -1. 0 also when the
    // directory does not exist. Sets no error text.
    int removeDirWithContent(const QString &directory);

signals:
    // Bytes so far and total (-1 while unknown) of getJson or a download.
    void sendUpdateDataProgress(qlonglong, qlonglong);
    void sendGetJsonFinish(QByteArray);
    // The download's path; the file is closed (and removed after a failure).
    void sendDownFileFinish(QString);
    void sendNetworkError(QNetworkReply::NetworkError error);
    void sendSubmitFinish(QString);

private slots:
    void httpFinished();
    void httpReadyRead();
    void updateDataReadProgress(qlonglong current, qlonglong total);
    void receiveGetJsonFinish();
    void slotError(QNetworkReply::NetworkError error);
    void receivesubmitFinish();

private:
    // Drops a request under way, then sends this one as the current request.
    void startRequest(const QNetworkRequest &request);
    void dropRequest();
    // The current reply, handed to deferred deletion; still readable.
    QNetworkReply *takeReply();
    // Records whether the request succeeded (saved: the download's file was
    // written whole) and reports an HTTP failure Qt did not report itself.
    bool endRequest(const QNetworkReply *done, bool saved = true);
    // Closes the download's file; removes it unless it is kept and was
    // written whole. Whether it stays.
    bool closeFile(bool keep);

    QNetworkAccessManager *manager = nullptr;
    QNetworkReply *reply = nullptr;
    QFile *file = nullptr;
    bool writeFailed = false;
    QString errorText;
    bool succeeded = false;
};
