// Draws the welcome screen on a copy of the demo subject into PNG files, to
// look at it without a screen:
//   welcome_snapshots DEMO_DATA_DIR OUTDIR
// The install report and version checks go to a local service of its own.
#include "LocalWebService.h"
#include "Resources.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "WelcomeWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimer>
#include <cstdio>

namespace {

// Config.ini as the installation ships it: GB2312 bytes.
void writeConfig(const QString &text)
{
    QFile file(QStringLiteral("Config.ini"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QTextCodec::codecForName("GB2312")->fromUnicode(text));
}

// One start of the welcome screen with these settings, drawn once the
// spinner has turned a little.
bool shoot(const QDir &out, const QString &name, const QString &config)
{
    writeConfig(config);
    SqliteClass::instance()->closeDatabase();
    WelcomeWidget welcome;
    if (welcome.initWelcome(QStringLiteral("data")) != 1) {
        std::fprintf(stderr, "%s: the demo bank did not open\n", qPrintable(name));
        return false;
    }
    const QMovie *movie = welcome.findChild<QLabel *>(QStringLiteral("label_gif"))->movie();
    std::printf("%s: spinner %d frames, %s\n", qPrintable(name), movie ? movie->frameCount() : 0,
                movie && movie->state() == QMovie::Running ? "running" : "still");
    QEventLoop wait;
    QTimer::singleShot(300, &wait, &QEventLoop::quit);
    wait.exec();
    saveSnapshot(&welcome, out, name);
    return true;
}

// The close mark, normal and under the mouse, eight times as large.
void saveCloseMarks(const QDir &out)
{
    const QImage normal(QStringLiteral(":/Welcome/images/Welcome/close_namal.png"));
    const QImage hover(QStringLiteral(":/Welcome/images/Welcome/close_hover.png"));
    const QImage ground(QStringLiteral(":/Welcome/images/Welcome/beijing.jpg"));
    QImage image(QSize(50, 30), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.drawImage(QPoint(0, 0), ground, QRect(974, 10, 50, 30));
    painter.drawImage(QPoint(10, 10), normal);
    painter.drawImage(QPoint(30, 10), hover);
    painter.end();
    image.scaled(image.size() * 8).save(out.filePath(QStringLiteral("welcome_close_marks.png")));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: welcome_snapshots DEMO_DATA_DIR OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir demo(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])));

    LocalWebService service;
    if (!service.listen())
        return 1;
    qputenv("VELMORA_SERVICE_HOST", service.host().toUtf8());

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QDir().mkdir(QStringLiteral("data"));
    if (!QFile::copy(demo.filePath(QStringLiteral("MedicalDB.db")), QStringLiteral("data/MedicalDB.db"))) {
        std::fprintf(stderr, "no MedicalDB.db in %s\n", argv[1]);
        return 1;
    }

    const QString contact = QStringLiteral("[ContactUs]\nContact1=客服电话：400-800-1234\\n服务时间：工作日 9:00-18:00\n");
    const QString longContact = QStringLiteral(
        "[ContactUs]\nContact1=全国统一客服热线：400-800-1234（工作日 9:00—18:00），地址：北京市海淀区中关村大街"
        "一号医学考试辅导中心大楼十二层，邮箱：service@example.com，欢迎来电咨询各类医学资格考试辅导课程\n");
    bool ok = shoot(out, QStringLiteral("welcome_default"), contact)
              && shoot(out, QStringLiteral("welcome_brand"), contact + QStringLiteral("[Logo]\nType=1\n"));
    // An agent's own logo, of another size than the form's.
    QDir().mkdir(QStringLiteral("Logo"));
    QFile::copy(QStringLiteral(":/MenuIcon/images/MenuIcon/velmorazhixing_normal.png"),
                QStringLiteral("Logo/biglogo.png"));
    ok = ok && shoot(out, QStringLiteral("welcome_agent"), contact + QStringLiteral("[Logo]\nType=5\n"));
    QFile::remove(QStringLiteral("Logo/biglogo.png"));
    ok = ok && shoot(out, QStringLiteral("welcome_long_contact"), longContact);
    saveCloseMarks(out);
    return ok ? 0 : 1;
}
