// Draws the navigation bar, the more-functions panel and the about box into
// PNG files, to look at them without a screen:
//   navigation_snapshots OUTDIR DEMO_SUBJECT_DIR
#include "AboutApp.h"
#include "BuiltinPassphrase.h"
#include "MoveFunctionsForm.h"
#include "NavigationForm.h"
#include "PushButton.h"
#include "Resources.h"
#include "Skin.h"
#include "SqliteClass.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QImage onGround(const QSize &size)
{
    QImage image(size + QSize(40, 40), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(96, 110, 124));
    return image;
}

// A window on a mid-grey ground, so translucent edges show; `extra` is a
// further window (the panel) drawn where it stands on the screen.
void save(QWidget *widget, const QDir &dir, const QString &name, QWidget *extra = nullptr)
{
    QApplication::processEvents();
    QImage image = onGround(widget->size());
    QPainter painter(&image);
    painter.drawPixmap(20, 20, widget->grab());
    if (extra)
        painter.drawPixmap(QPoint(20, 20) + extra->pos() - widget->pos(), extra->grab());
    painter.end();
    image.save(dir.filePath(name + QStringLiteral(".png")));
}

// The main window's left part: the page-area background and the bar at its edge.
struct Stage
{
    QWidget window;
    NavigationForm *bar;

    explicit Stage(const QString &skin)
    {
        window.setObjectName(QStringLiteral("stage"));
        window.resize(420, 700);
        window.setAttribute(Qt::WA_StyledBackground);
        window.setStyleSheet(skin.isEmpty() ? QStringLiteral("#stage{background-color: rgb(245,245,245);}")
                                            : QStringLiteral("#stage{border-image: url(%1%2_d.jpg);}").arg(skinFolder, skin));
        bar = new NavigationForm(&window);
        bar->setGeometry(-200, 0, 220, 700);
        bar->updateSlideStep();
        window.move(100, 20);
        window.show();
    }

    void expand()
    {
        bar->slideIn();
        while (bar->x() != -2)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    QPushButton *button(const char *name) const { return bar->findChild<QPushButton *>(QLatin1String(name)); }
};

void snapBars(const QDir &dir)
{
    const QList<QPair<QString, QString>> skins = {
        {"blue", "81,153,2,255"}, {"green", "0,132,255,255"}, {"pink", "255,127,167,255"}, {"back", "87,87,87,255"}, {"", "87,87,87,255"}};
    for (const auto &skin : skins) {
        const QString tag = skin.first.isEmpty() ? QStringLiteral("colour") : skin.first;
        Stage stage(skin.first);
        if (skin.first.isEmpty())
            stage.bar->setSkinColor(skin.second);
        else
            stage.bar->setSkinImage(QString::fromLatin1(skinFolder), skin.first);
        save(&stage.window, dir, QStringLiteral("bar_%1_collapsed").arg(tag));
        stage.expand();
        stage.bar->clickHome();
        // The look under the mouse (offscreen there is no mouse): the hover image as the sheet.
        stage.button("pushButton_movefuntions")
            ->setStyleSheet(QStringLiteral("border-image: url(:/HomePage/images/HomePage/gengduogongneng_hover.png);"));
        save(&stage.window, dir, QStringLiteral("bar_%1_expanded").arg(tag));
    }
}

void snapPanel(const QDir &dir, const QString &name)
{
    Stage stage(QStringLiteral("blue"));
    stage.bar->setSkinImage(QString::fromLatin1(skinFolder), QStringLiteral("blue"));
    stage.expand();
    stage.button("pushButton_movefuntions")->click();
    MoveFunctionsForm *panel = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if ((panel = qobject_cast<MoveFunctionsForm *>(w)))
            break;
    panel->findChild<QPushButton *>(QStringLiteral("pushButton_Feedback"))
        ->setStyleSheet(QStringLiteral("background-color: rgb(127, 127, 127);"));
    save(panel, dir, name);
    save(&stage.window, dir, name + QStringLiteral("_beside_bar"), panel);
}

void snapAbout(const QDir &dir)
{
    AboutApp about;
    about.setMessage(QStringLiteral("客服电话：400-000-0000    客服QQ：10000\n"
                                    "工作时间：周一至周五 9:00-17:00，节假日休息，如有疑问请通过意见反馈联系我们，感谢您的支持。"));
    about.setVersion(QStringLiteral("13056"));
    about.show();
    save(&about, dir, QStringLiteral("AboutApp_long"));
    about.setMessage(QStringLiteral("客服电话：400-000-0000"));
    about.setLogo(1, QString());
    save(&about, dir, QStringLiteral("AboutApp_brand"));
}

// The two logos at the size of the main window's title bar.
void snapTitleLogos(const QDir &dir)
{
    QWidget bar;
    bar.setObjectName(QStringLiteral("titleBar"));
    bar.setAttribute(Qt::WA_StyledBackground);
    bar.setStyleSheet(QStringLiteral("#titleBar{background-color: white;}"));
    bar.setFixedSize(240, 45);
    QLabel product(&bar), brand(&bar);
    product.setGeometry(10, 9, 98, 26);
    product.setStyleSheet(QStringLiteral("border-image: url(:/MenuIcon/images/MenuIcon/velmorazhixing_normal.png);"));
    brand.setGeometry(118, 8, 99, 29);
    brand.setStyleSheet(QStringLiteral("border-image: url(:/MenuIcon/images/MenuIcon/corvelwang_normal.png);"));
    bar.show();
    save(&bar, dir, QStringLiteral("title_logos"));
}

bool openBank(const QString &dir)
{
    return SqliteClass::instance()->openDatabase(dir, QString::fromLatin1(builtinPassphrase), 0) == 2;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: navigation_snapshots OUTDIR DEMO_SUBJECT_DIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QString demo = QString::fromLocal8Bit(argv[2]);

    snapBars(dir);
    snapAbout(dir);
    snapTitleLogos(dir);

    if (!openBank(demo)) {
        std::fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    snapPanel(dir, QStringLiteral("MoveFunctionsForm_syllabus"));
    SqliteClass::instance()->closeDatabase();

    // A copy of the demo subject without its syllabus.
    QTemporaryDir copy;
    if (!QFile::copy(demo + QStringLiteral("/MedicalDB.db"), copy.filePath(QStringLiteral("MedicalDB.db")))
        || !openBank(copy.path()) || SqliteClass::instance()->execSql(QStringLiteral("delete from examOutline")) != 0) {
        std::fprintf(stderr, "cannot prepare the copy without syllabus\n");
        return 1;
    }
    snapPanel(dir, QStringLiteral("MoveFunctionsForm_no_syllabus"));
    SqliteClass::instance()->closeDatabase();
    return 0;
}
