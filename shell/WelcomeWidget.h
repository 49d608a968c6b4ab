#pragma once

#include "WindowDrag.h"

#include <QNetworkReply>
#include <QString>
#include <QWidget>

class DownLoadQThread;
class QLabel;
class QMovie;
class QNetworkAccessManager;

namespace Ui {
class WelcomeWidget;
}

// The frameless splash of the start-up. initWelcome brings the bank into use
// (makes its file writable, opens it, loads the question types, reads the
// start-up settings) and shows the splash; then the installation is reported
// to the web service and the program and database versions are asked for,
// one request after the other, in the background. Those requests outlive the
// splash (it stays alive, hidden) and change nothing but Config.ini.
class WelcomeWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WelcomeWidget(QWidget *parent = nullptr);
    // Ends any request still under way without a word.
    ~WelcomeWidget() override;

    // The bank directory without a trailing "/". 1: the bank is open and the
    // splash visible; -1: nothing shown (no such bank, a wrong key, or its
    // settings unreadable).
    int initWelcome(const QString &bankDirectory);

    QString skinColor() const;
    QString skinImage() const;
    // The agent's big logo when the splash shows it, else empty.
    QString logoPath() const;

    // Lower-case hexadecimal MD5 of the text's Latin-1 bytes.
    static QString md5Hex(const QString &text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private slots:
    void receiveVersionFinish();
    void on_pushButton_exit_clicked();
    void slotError(QNetworkReply::NetworkError errorCode);
    void receiveNetworkError(QNetworkReply::NetworkError error);
    void receiveSubmitFinish(QString str);

private:
    void readSettings();
    void showLogo();
    void submitInstallStats();
    // type 0 the program, 1 the database.
    void requestVersion(int type);
    // The text on one line of the label, cut with "…" where it would not fit.
    static void setFittedText(QLabel *label, const QString &text);

    Ui::WelcomeWidget *ui;
    QMovie *movie = nullptr;
    WindowDrag drag;
    int dlsId = 0;
    QString skinColorText;
    QString skinName;
    QNetworkAccessManager *versionManager = nullptr;
    QString contactText;
    QNetworkReply *versionReply = nullptr;
    QString logoFile;
    DownLoadQThread *downloader = nullptr;
    QString isn;
    QString goods;
    // This build keeps no installation ID: the report sends it empty.
    QString installationId;
    int installType = 0;
    int versionType = 0;
};
