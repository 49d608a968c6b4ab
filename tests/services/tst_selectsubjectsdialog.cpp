// The subject dialog against the local web service: catalogue, tree,
// search, choosing, downloading, deleting, exit, the download view and skin.
#include "ChoiceDialog.h"
#include "DialogAnswerer.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "MyMessageBox.h"
#include "PublicData.h"
#include "Resources.h"
#include "SelectSubjectCell.h"
#include "SelectSubjectsDialog.h"
#include "TempWorkDir.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QString cataloguePath = QStringLiteral("/mobi/verData.php");
const QString failureText = QStringLiteral("获取科目列表失败,请检查网络后重试.");
const QString link = QStringLiteral("http://127.0.0.1:1/pkg/");

// A catalogue of one group per entry: group name, then pairs of sub-group
// name and its subjects (name, package address).
using Subjects = QList<QPair<QString, QString>>;

QJsonObject group(const QString &name, const QList<QPair<QString, Subjects>> &subGroups)
{
    QJsonArray address;
    for (const auto &subGroup : subGroups) {
        QJsonArray subjects;
        for (const auto &subject : subGroup.second)
            subjects.append(QJsonObject{{QStringLiteral("Subname"), subject.first},
                                        {QStringLiteral("downlink"), subject.second}});
        address.append(QJsonObject{{QStringLiteral("DQname"), subGroup.first}, {QStringLiteral("subject"), subjects}});
    }
    return QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("address"), address}};
}

QByteArray catalogue(const QJsonArray &groups)
{
    return QJsonDocument(groups).toJson(QJsonDocument::Compact);
}

// Two groups; "installnew_blx" and "installnew_kq" are what the tests install.
QByteArray standardCatalogue()
{
    return catalogue({group(QStringLiteral("医师资格"),
                            {{QStringLiteral("临床执业医师"),
                              {{QStringLiteral("病理学"), link + "install_blx.zip"},
                               {QStringLiteral("病理生理学"), link + "install_blsl.zip"},
                               {QStringLiteral("内科学"), link + "install_nkx.zip"}}},
                             {QStringLiteral("口腔执业医师"),
                              {{QStringLiteral("ABC口腔"), link + "install_kq.zip"},
                               {QStringLiteral("abc 基础"), link + "install_jc.zip"}}}}),
                      group(QStringLiteral("护士资格"),
                            {{QStringLiteral("护士"), {{QStringLiteral("护理学"), link + "install_hl.zip"}}}})});
}

SelectSubjectCell *rowOf(QTreeWidget *tree, QTreeWidgetItem *item)
{
    return qobject_cast<SelectSubjectCell *>(tree->itemWidget(item, 0));
}

QPushButton *button(QWidget *row, const char *name)
{
    return row->findChild<QPushButton *>(QLatin1String(name));
}

QString rowLine(SelectSubjectCell *row)
{
    return QStringLiteral("%1 | %2 | %3 | %4")
        .arg(row->SubName, row->directory(), row->packageAddress(), button(row, "pushButton_save")->text());
}

// The tree as indented lines; subjects as name | directory | address | button.
QStringList dump(QTreeWidget *tree)
{
    QStringList lines;
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem *groupItem = tree->topLevelItem(g);
        lines << groupItem->text(0);
        for (int s = 0; s < groupItem->childCount(); ++s) {
            QTreeWidgetItem *subGroup = groupItem->child(s);
            lines << "  " + subGroup->text(0);
            for (int i = 0; i < subGroup->childCount(); ++i) {
                SelectSubjectCell *row = rowOf(tree, subGroup->child(i));
                lines << (row ? "    " + rowLine(row) : QStringLiteral("    <no row>"));
            }
        }
    }
    return lines;
}

bool anyExpanded(QTreeWidget *tree)
{
    QTreeWidgetItemIterator it(tree);
    for (; *it; ++it)
        if ((*it)->isExpanded())
            return true;
    return false;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template<typename T>
T *visibleWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(w); window && window->isVisible())
            return window;
    return nullptr;
}

QString shownMessage()
{
    auto *box = visibleWindow<MyMessageBox>();
    return box ? box->findChild<QLabel *>(QStringLiteral("label_message"))->text() : QString();
}

// Types the text key by key, Chinese characters too, as an input method commits them.
void type(QWidget *field, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void writeFile(const QString &path, const QByteArray &bytes = "x")
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

// Accepts a Qt message box; its title and text as "title:text", empty for
// any other window.
QString acceptNotice(QWidget *window)
{
    auto *box = qobject_cast<QMessageBox *>(window);
    if (!box)
        return QString();
    box->accept();
    return box->windowTitle() + ":" + box->text();
}

} // namespace

class TestSelectSubjectsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void form();
    void catalogueRequest();
    void catalogueTree_data();
    void catalogueTree();
    void unusableCatalogueIsTold_data();
    void unusableCatalogueIsTold();
    void installedStateAtParseTime();
    void clicksOpenAndCloseGroups();
    void search_data();
    void search();
    void returnKeySearches();
    void newSearchDeletesTheOldRows();
    void studyChoosesTheSubject();
    void downloadMakesBusy();
    void deleteSubject_data();
    void deleteSubject();
    void onlySubjectDirectoriesAreRemoved_data();
    void onlySubjectDirectoriesAreRemoved();
    void removeDirWithContent_data();
    void removeDirWithContent();
    void exit_data();
    void exit();
    void downloadView();
    void progress_data();
    void progress();
    void skin();
    void dragging_data();
    void dragging();

private:
    // A dialog on the local service's catalogue (body when given), shown,
    // after the catalogue's request has ended.
    SelectSubjectsDialog *load(const QByteArray &body = QByteArray(), const QString &skin = QString());
    QTreeWidget *tree() const { return dialog->findChild<QTreeWidget *>(QStringLiteral("treeWidget")); }
    QTableWidget *table() const { return dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget")); }
    // The catalogue row of the subject, its group and sub-group opened.
    SelectSubjectCell *catalogueRow(const QString &name);
    QList<SelectSubjectCell *> searchRows() const;
    void searchFor(const QString &text);

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<LogCapture> log;
    QPointer<SelectSubjectsDialog> dialog;
};

void TestSelectSubjectsDialog::init()
{
    workDir = std::make_unique<TempWorkDir>();
    QVERIFY(QDir().mkpath(QStringLiteral("data")));
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    log = std::make_unique<LogCapture>();
}

void TestSelectSubjectsDialog::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != dialog)
            w->close();
    delete dialog;
    flushDeletes();
    log.reset();
    service.reset();
    workDir.reset();
}

SelectSubjectsDialog *TestSelectSubjectsDialog::load(const QByteArray &body, const QString &skin)
{
    if (!body.isNull())
        service->setBody(cataloguePath, body);
    dialog = new SelectSubjectsDialog;
    if (!skin.isEmpty())
        dialog->setSkinColor(skin);
    dialog->startSelection(QString(), 0);
    dialog->show();
    // Every end of the request, good or bad, leaves a line about the list.
    if (!QTest::qWaitFor([this] { return log->contains(QStringLiteral("科目列表")); }, 10000))
        qWarning("the catalogue request did not end");
    return dialog;
}

SelectSubjectCell *TestSelectSubjectsDialog::catalogueRow(const QString &name)
{
    dialog->findChild<QTabWidget *>()->setCurrentIndex(0);
    QTreeWidgetItemIterator it(tree());
    for (; *it; ++it) {
        SelectSubjectCell *row = rowOf(tree(), *it);
        if (row && row->SubName == name) {
            tree()->expandItem((*it)->parent()->parent());
            tree()->expandItem((*it)->parent());
            tree()->scrollToItem(*it);
            // The view shows a row widget once it has laid the row out.
            if (!QTest::qWaitFor([row] { return row->isVisible(); }))
                qWarning("the row did not show");
            return row;
        }
    }
    return nullptr;
}

QList<SelectSubjectCell *> TestSelectSubjectsDialog::searchRows() const
{
    QList<SelectSubjectCell *> rows;
    for (int r = 0; r < table()->rowCount(); ++r)
        rows << qobject_cast<SelectSubjectCell *>(table()->cellWidget(r, 0));
    return rows;
}

void TestSelectSubjectsDialog::searchFor(const QString &text)
{
    dialog->findChild<QTabWidget *>()->setCurrentIndex(1);
    auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_subject"));
    field->clear();
    type(field, text);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_searchsubject")), Qt::LeftButton);
}

void TestSelectSubjectsDialog::form()
{
    QVERIFY(!QFileInfo::exists(QStringLiteral("IniFilePath")));
    QPointer<SelectSubjectsDialog> fresh = new SelectSubjectsDialog;
    QVERIFY(QFileInfo(QStringLiteral("IniFilePath")).isDir());
    QCOMPARE(fresh->windowTitle(), QStringLiteral("选择科目"));
    QCOMPARE(fresh->size(), QSize(820, 572));
    QVERIFY(fresh->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(fresh->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(fresh->isModal());
    QVERIFY(fresh->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(fresh->testAttribute(Qt::WA_DeleteOnClose));
    auto *catalogueTree = fresh->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    auto *searchTable = fresh->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QVERIFY(catalogueTree->header()->isHidden());
    QCOMPARE(catalogueTree->focusPolicy(), Qt::NoFocus);
    QVERIFY(searchTable->horizontalHeader()->isHidden());
    QVERIFY(searchTable->verticalHeader()->isHidden());
    QCOMPARE(searchTable->focusPolicy(), Qt::NoFocus);
    auto *tabs = fresh->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("选择科目"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("搜索科目"));
    QCOMPARE(fresh->findChild<QLineEdit *>(QStringLiteral("lineEdit_subject"))->placeholderText(),
             QStringLiteral("搜索科目"));
    QVERIFY(!fresh->findChild<QPushButton *>(QStringLiteral("pushButton_searchsubject"))->icon().isNull());
    QCOMPARE(fresh->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("下载/选择科目")),
             true);
    fresh->close();
    flushDeletes();
    QVERIFY(fresh.isNull());
}

void TestSelectSubjectsDialog::catalogueRequest()
{
    load();
    const QList<LocalWebService::Request> requests = service->requests(cataloguePath);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().method, QByteArray("GET"));
    QCOMPARE(requests.first().rawQuery, QByteArray("type=android"));
}

void TestSelectSubjectsDialog::catalogueTree_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("tree");
    const QString l = link;

    QTest::newRow("two groups") << standardCatalogue()
                                << QStringList{"医师资格", "  临床执业医师",
                                               "    病理学 | data/installnew_blx | " + l + "installnew_blx.zip | 下载",
                                               "    病理生理学 | data/installnew_blsl | " + l + "installnew_blsl.zip | 下载",
                                               "    内科学 | data/installnew_nkx | " + l + "installnew_nkx.zip | 下载",
                                               "  口腔执业医师",
                                               "    ABC口腔 | data/installnew_kq | " + l + "installnew_kq.zip | 下载",
                                               "    abc 基础 | data/installnew_jc | " + l + "installnew_jc.zip | 下载",
                                               "护士资格", "  护士",
                                               "    护理学 | data/installnew_hl | " + l + "installnew_hl.zip | 下载"};
    QTest::newRow("escaped names") << QByteArray("[{\"name\":\"\\u533b\\u5e08\",\"address\":[{\"DQname\":\"\\u4e34\\u5e8a\","
                                                 "\"subject\":[{\"Subname\":\"\\u75c5\\u7406\\u5b66\",\"downlink\":\"")
                                          + l.toUtf8() + "a.zip\"}]}]}]"
                                   << QStringList{"医师", "  临床", "    病理学 | data/a | " + l + "a.zip | 下载"};
    QTest::newRow("numbers as texts")
        << QByteArray("[{\"name\":2024,\"address\":[{\"DQname\":1.5,\"subject\":[{\"Subname\":7,\"downlink\":\"") + l.toUtf8()
               + "b.zip\"}]}]}]"
        << QStringList{"2024", "  1.5", "    7 | data/b | " + l + "b.zip | 下载"};
    QTest::newRow("missing keys, other types, other case")
        << QByteArray("[5,\"text\",{\"Name\":\"大写\",\"address\":\"none\"},"
                      "{\"address\":[{\"subject\":[{\"downlink\":\"") + l.toUtf8() + "c.zip\"},3,{\"Subname\":\"无地址\"}]},\"x\"]}]"
        << QStringList{"", "", "", "", "  ", "     | data/c | " + l + "c.zip | 下载", "  "};
    QTest::newRow("every install_ rewritten, case kept")
        << catalogue({group(QStringLiteral("g"), {{QStringLiteral("s"),
                                                   {{QStringLiteral("一"), "http://127.0.0.1:1/install_/install_a.install_.zip"},
                                                    {QStringLiteral("二"), l + "INSTALL_b.zip"},
                                                    {QStringLiteral("三"), l + "installnew_c.zip"}}}})})
        << QStringList{"g", "  s",
                       "    一 | data/installnew_a | http://127.0.0.1:1/installnew_/installnew_a.installnew_.zip | 下载",
                       "    二 | data/INSTALL_b | " + l + "INSTALL_b.zip | 下载",
                       "    三 | data/installnew_c | " + l + "installnew_c.zip | 下载"};
    QTest::newRow("last part without a dot")
        << catalogue({group(QStringLiteral("g"), {{QStringLiteral("s"), {{QStringLiteral("一"), l + "install_abc"}}}})})
        << QStringList{"g", "  s", "    一 | data/installnew_abc | " + l + "installnew_abc | 下载"};
    QTest::newRow("MedicalDB left out, its sub-group kept")
        << catalogue({group(QStringLiteral("g"), {{QStringLiteral("s"),
                                                   {{QStringLiteral("一"), l + "MedicalDB.zip"},
                                                    {QStringLiteral("二"), l + "MedicalDB.v2.zip"}}},
                                                  {QStringLiteral("t"), {{QStringLiteral("三"), l + "medicaldb.zip"}}}})})
        << QStringList{"g", "  s", "  t", "    三 | data/medicaldb | " + l + "medicaldb.zip | 下载"};
    QTest::newRow("no name: no subject on data itself")
        << catalogue({group(QStringLiteral("g"), {{QStringLiteral("s"),
                                                   {{QStringLiteral("一"), l},
                                                    {QStringLiteral("二"), l + ".hidden.zip"},
                                                    {QStringLiteral("三"), QString()},
                                                    {QStringLiteral("四"), l + "d.zip"}}}})})
        << QStringList{"g", "  s", "    四 | data/d | " + l + "d.zip | 下载"};
    QTest::newRow("empty array") << QByteArray("[]") << QStringList();
    QTest::newRow("object") << QByteArray("{\"name\":\"g\",\"address\":[]}") << QStringList();
}

void TestSelectSubjectsDialog::catalogueTree()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, tree);
    load(body);
    QCOMPARE(dump(this->tree()), tree);
    QVERIFY(!anyExpanded(this->tree()));
    QVERIFY(!visibleWindow<MyMessageBox>());
    QVERIFY(dialog->isVisible());
}

void TestSelectSubjectsDialog::unusableCatalogueIsTold_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("HTML page") << "html";
    QTest::newRow("empty body") << "empty";
    QTest::newRow("HTTP 500 with a catalogue") << "500";
    QTest::newRow("redirect") << "redirect";
    QTest::newRow("closed port") << "closed";
}

void TestSelectSubjectsDialog::unusableCatalogueIsTold()
{
    QFETCH(QString, fault);
    if (fault == QLatin1String("html"))
        service->setBody(cataloguePath, "<html><body>维护中</body></html>");
    else if (fault == QLatin1String("empty"))
        service->setBody(cataloguePath, QByteArray(""));
    else if (fault == QLatin1String("500")) {
        service->setStatus(cataloguePath, 500);
        service->setBody(cataloguePath, standardCatalogue());
    } else if (fault == QLatin1String("redirect")) {
        service->setRedirect(cataloguePath, service->baseUrl() + "/elsewhere");
    } else {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        qputenv("VELMORA_SERVICE_HOST", QByteArray("127.0.0.1:") + QByteArray::number(closed.serverPort()));
        closed.close();
    }
    load();
    QTRY_COMPARE(shownMessage(), failureText);
    QCOMPARE(tree()->topLevelItemCount(), 0);
    QVERIFY(dialog->isVisible());
    QVERIFY(log->lines().filter(QStringLiteral("科目列表")).size() >= 1);
}

void TestSelectSubjectsDialog::installedStateAtParseTime()
{
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_blx")));
    writeFile(QStringLiteral("data/installnew_nkx"));
    const QByteArray body = catalogue({group(QStringLiteral("g"),
                                             {{QStringLiteral("s"),
                                               {{QStringLiteral("病理学"), link + "install_blx.zip"},
                                                {QStringLiteral("内科学"), link + "install_nkx.zip"},
                                                {QStringLiteral("护理学"), link + "install_hl.zip"},
                                                {QStringLiteral("共用一"), link + "a/install_shared.zip"},
                                                {QStringLiteral("共用二"), link + "b/install_shared.zip"}}}})});
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_shared")));
    load(body);
    const QStringList lines = dump(tree()).mid(2);
    QStringList buttons;
    for (const QString &line : lines)
        buttons << line.section(QStringLiteral(" | "), 0, 0).trimmed() + ":" + line.section(QStringLiteral(" | "), 3);
    QCOMPARE(buttons, (QStringList{"病理学:学习", "内科学:学习", "护理学:下载", "共用一:学习", "共用二:学习"}));
    for (const char *name : {"病理学", "护理学"})
        QCOMPARE(!button(catalogueRow(QString::fromUtf8(name)), "pushButton_deletesubject")->isHidden(),
                 QString::fromUtf8(name) == QStringLiteral("病理学"));
}

void TestSelectSubjectsDialog::clicksOpenAndCloseGroups()
{
    load(standardCatalogue());
    QTreeWidgetItem *groupItem = tree()->topLevelItem(0);
    QTreeWidgetItem *subGroup = groupItem->child(0);
    auto click = [this](QTreeWidgetItem *item) {
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
    };
    click(groupItem);
    QVERIFY(groupItem->isExpanded());
    click(subGroup);
    QVERIFY(subGroup->isExpanded());
    QTRY_VERIFY(rowOf(tree(), subGroup->child(0))->isVisible());
    click(subGroup);
    QVERIFY(!subGroup->isExpanded());
    click(groupItem);
    QVERIFY(!groupItem->isExpanded());
}

void TestSelectSubjectsDialog::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("labels");
    const QString clinic = QStringLiteral("医师资格->临床执业医师->");
    const QString mouth = QStringLiteral("医师资格->口腔执业医师->");
    QTest::newRow("empty lists all") << "" << QStringList{clinic + "病理学", clinic + "病理生理学", clinic + "内科学",
                                                          mouth + "ABC口腔", mouth + "abc 基础",
                                                          "护士资格->护士->护理学"};
    QTest::newRow("part of names") << "病理" << QStringList{clinic + "病理学", clinic + "病理生理学"};
    QTest::newRow("case-sensitive") << "abc" << QStringList{mouth + "abc 基础"};
    QTest::newRow("blanks trimmed") << "  内科 " << QStringList{clinic + "内科学"};
    QTest::newRow("inner blanks made one") << "abc   基础" << QStringList{mouth + "abc 基础"};
    QTest::newRow("group names are not searched") << "医师资格" << QStringList();
    QTest::newRow("no match") << "外科" << QStringList();
}

void TestSelectSubjectsDialog::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, labels);
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_blx")));
    load(standardCatalogue(), QStringLiteral("10,20,30,255"));
    searchFor(text);
    QStringList shown;
    for (SelectSubjectCell *row : searchRows()) {
        QVERIFY(row);
        shown << row->findChild<QLabel *>(QStringLiteral("label_text"))->text();
        // The same subject as its catalogue row, skinned like it.
        const bool installed = row->SubName == QStringLiteral("病理学");
        QCOMPARE(button(row, "pushButton_save")->text(), installed ? QStringLiteral("学习") : QStringLiteral("下载"));
        QCOMPARE(!button(row, "pushButton_deletesubject")->isHidden(), installed);
        QVERIFY(button(row, "pushButton_save")->styleSheet().contains(QStringLiteral("rgb(10,20,30,255)")));
    }
    QCOMPARE(shown, labels);
    QCOMPARE(table()->columnCount(), 1);
    QVERIFY(table()->horizontalHeader()->stretchLastSection());
}

void TestSelectSubjectsDialog::returnKeySearches()
{
    load(standardCatalogue());
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->findChild<QTabWidget *>()->setCurrentIndex(1);
    auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_subject"));
    field->setFocus();
    type(field, QStringLiteral("护理"));
    QTest::keyClick(field, Qt::Key_Return);
    // A shortcut presses the button for a moment before it clicks.
    QTRY_COMPARE(searchRows().size(), 1);
    QCOMPARE(searchRows().first()->SubName, QStringLiteral("护理学"));
}

void TestSelectSubjectsDialog::newSearchDeletesTheOldRows()
{
    load(standardCatalogue());
    searchFor(QString());
    QList<QPointer<SelectSubjectCell>> old;
    for (SelectSubjectCell *row : searchRows())
        old << row;
    QCOMPARE(old.size(), 6);
    searchFor(QStringLiteral("病理"));
    QCOMPARE(searchRows().size(), 2);
    QVERIFY(std::all_of(old.begin(), old.end(), [](const QPointer<SelectSubjectCell> &row) { return row.isNull(); }));
    // The catalogue rows stay.
    QVERIFY(catalogueRow(QStringLiteral("病理学")));
}

void TestSelectSubjectsDialog::studyChoosesTheSubject()
{
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_blx")));
    load(standardCatalogue());
    QSignalSpy chosen(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    QString settingAtSignal;
    connect(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath, this,
            [&] { settingAtSignal = PublicData::value(QStringLiteral("Data/DBPath")); });
    QTest::mouseClick(button(catalogueRow(QStringLiteral("病理学")), "pushButton_save"), Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(settingAtSignal, QStringLiteral("data/installnew_blx"));
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("data/installnew_blx"));
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), QStringLiteral("data/installnew_blx"));
    // The dialog stays for its opener to close.
    QVERIFY(dialog->isVisible());
}

void TestSelectSubjectsDialog::downloadMakesBusy()
{
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_blx")));
    // The package is on its way for the whole test.
    const QString served = service->baseUrl() + QStringLiteral("/pkg/");
    service->setDelay(QStringLiteral("/pkg/installnew_hl.zip"), 60000);
    load(standardCatalogue().replace(link.toUtf8(), served.toUtf8()));
    QSignalSpy chosen(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    SelectSubjectCell *nursing = catalogueRow(QStringLiteral("护理学"));
    QTest::mouseClick(button(nursing, "pushButton_save"), Qt::LeftButton);
    QCOMPARE(button(nursing, "pushButton_save")->text(), QStringLiteral("正在下载"));
    QCOMPARE(log->lines().filter(QStringLiteral("下载科目")).size(), 1);
    QVERIFY(log->lines().filter(QStringLiteral("下载科目")).first().contains(served + "installnew_hl.zip"));
    QTRY_COMPARE(service->requests(QStringLiteral("/pkg/installnew_hl.zip")).size(), 1);

    // While busy every choice is refused with a notice, and the subject in
    // use stays the one in the settings.
    PublicData::setValue(QStringLiteral("Data/DBPath"), QStringLiteral("data/installnew_kq"));
    for (const QString &name : {QStringLiteral("病理学"), QStringLiteral("内科学")}) {
        SelectSubjectCell *row = catalogueRow(name);
        QString notice;
        DialogAnswerer answerer([&](QWidget *w) { notice = acceptNotice(w); });
        QTest::mouseClick(button(row, "pushButton_save"), Qt::LeftButton);
        QVERIFY(answerer.wait());
        QCOMPARE(notice, QStringLiteral("提示:操作还未完成,请等待."));
    }
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), QStringLiteral("data/installnew_kq"));
    QCOMPARE(log->lines().filter(QStringLiteral("下载科目")).size(), 1);
    QCOMPARE(button(catalogueRow(QStringLiteral("内科学")), "pushButton_save")->text(), QStringLiteral("正在下载"));
}

void TestSelectSubjectsDialog::deleteSubject_data()
{
    QTest::addColumn<QString>("dbPath");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("via");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("outcome");
    const QString open = QStringLiteral("data/installnew_blx");
    QTest::newRow("open subject, same text") << open << "plain" << "catalogue" << "" << "warned";
    QTest::newRow("open subject, ./") << "./" + open << "plain" << "catalogue" << "" << "warned";
    QTest::newRow("open subject, absolute") << "<work>/" + open << "plain" << "search" << "" << "warned";
    QTest::newRow("another subject") << "data/installnew_kq" << "plain" << "catalogue" << "确  定" << "removed";
    QTest::newRow("another subject, from the search") << "data/installnew_kq" << "plain" << "search" << "确  定"
                                                       << "removed";
    QTest::newRow("a link inside to a folder outside") << "" << "link inside" << "catalogue" << "确  定" << "removed";
    QTest::newRow("the directory is a link outside") << "" << "link itself" << "catalogue" << "确  定" << "removed";
    QTest::newRow("cancel") << "" << "plain" << "catalogue" << "取消" << "kept";
    QTest::newRow("cannot be removed") << "" << "locked" << "catalogue" << "确  定" << "failed";
}

void TestSelectSubjectsDialog::deleteSubject()
{
    QFETCH(QString, dbPath);
    QFETCH(QString, setup);
    QFETCH(QString, via);
    QFETCH(QString, answer);
    QFETCH(QString, outcome);
    const QString dir = QStringLiteral("data/installnew_blx");
    QTemporaryDir outside;
    writeFile(outside.filePath(QStringLiteral("keep.txt")));
    if (setup == QLatin1String("link itself")) {
        QVERIFY(QFile::link(outside.path(), dir));
    } else {
        QVERIFY(QDir().mkpath(dir + "/images"));
        writeFile(dir + "/MedicalDB.db");
        writeFile(dir + "/images/a.png");
        if (setup == QLatin1String("link inside"))
            QVERIFY(QFile::link(outside.path(), dir + "/images/outside"));
        if (setup == QLatin1String("locked")) {
            writeFile(dir + "/locked.db");
            QVERIFY(QFile::setPermissions(dir + "/locked.db", {}));
        }
    }
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_kq")));
    PublicData::setValue(QStringLiteral("Data/DBPath"), QString(dbPath).replace(QStringLiteral("<work>"), workDir->path()));

    load(standardCatalogue());
    searchFor(QStringLiteral("病理学"));
    QCOMPARE(searchRows().size(), 1);
    SelectSubjectCell *catalogueOne = catalogueRow(QStringLiteral("病理学"));
    SelectSubjectCell *searchOne = searchRows().first();
    SelectSubjectCell *pressed = via == QLatin1String("search") ? searchOne : catalogueOne;
    dialog->findChild<QTabWidget *>()->setCurrentIndex(via == QLatin1String("search") ? 1 : 0);

    QString warning;
    DialogAnswerer answerer([&](QWidget *w) {
        warning = acceptNotice(w);
        if (warning.isEmpty())
            QVERIFY(DialogAnswerer::clickButton(w, answer));
    });
    QTest::mouseClick(button(pressed, "pushButton_deletesubject"), Qt::LeftButton);
    QVERIFY(answerer.wait());
    if (outcome == QLatin1String("warned"))
        QCOMPARE(warning, QStringLiteral("警告:不能删除正在使用的科目."));
    else
        QCOMPARE(answerer.dialogClass(), QStringLiteral("ChoiceDialog"));
    flushDeletes();

    const bool removed = outcome == QLatin1String("removed");
    QCOMPARE(QFileInfo(dir).exists() || QFileInfo(dir).isSymLink(), !removed);
    QVERIFY(QFileInfo::exists(outside.filePath(QStringLiteral("keep.txt"))));
    QVERIFY(QFileInfo::exists(QStringLiteral("data/installnew_kq")));
    QCOMPARE(shownMessage(), outcome == QLatin1String("failed") ? QStringLiteral("删除科目失败.") : QString());
    for (SelectSubjectCell *row : {catalogueOne, searchOne}) {
        QCOMPARE(button(row, "pushButton_save")->text(), removed ? QStringLiteral("下载") : QStringLiteral("学习"));
        QCOMPARE(!button(row, "pushButton_deletesubject")->isHidden(), !removed);
        QCOMPARE(row->isInstalled(), !removed);
    }
    if (removed) {
        // A removed subject downloads again instead of opening a missing bank.
        QSignalSpy chosen(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
        QTest::mouseClick(button(pressed, "pushButton_save"), Qt::LeftButton);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(button(pressed, "pushButton_save")->text(), QStringLiteral("正在下载"));
    }
}

// Whatever a row asks for, only a named entry right inside "data" goes.
void TestSelectSubjectsDialog::onlySubjectDirectoriesAreRemoved_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("data itself") << "data";
    QTest::newRow("data with /") << "data/";
    QTest::newRow("data with /.") << "data/.";
    QTest::newRow("the working directory") << "data/..";
    QTest::newRow("a folder inside a subject") << "data/installnew_blx/images";
    QTest::newRow("outside data") << "other/installnew_blx";
    QTest::newRow("empty") << "";
}

void TestSelectSubjectsDialog::onlySubjectDirectoriesAreRemoved()
{
    QFETCH(QString, path);
    QVERIFY(QDir().mkpath(QStringLiteral("data/installnew_blx/images")));
    QVERIFY(QDir().mkpath(QStringLiteral("other/installnew_blx")));
    load(standardCatalogue());
    QVERIFY(QMetaObject::invokeMethod(dialog, "receiveDeleteSubject", Q_ARG(QString, path)));
    QCOMPARE(shownMessage(), QStringLiteral("删除科目失败."));
    for (const char *kept : {"data/installnew_blx/images", "other/installnew_blx", "Config.ini"})
        QVERIFY2(QFileInfo::exists(QString::fromLatin1(kept)), kept);
}

void TestSelectSubjectsDialog::removeDirWithContent_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("gone");
    QTest::newRow("missing") << "missing" << 0 << true;
    QTest::newRow("a tree") << "tree" << 0 << true;
    QTest::newRow("a tree with a link outside") << "link" << 0 << true;
    QTest::newRow("a file it may not touch") << "locked" << -1 << false;
}

void TestSelectSubjectsDialog::removeDirWithContent()
{
    QFETCH(QString, setup);
    QFETCH(int, result);
    QFETCH(bool, gone);
    QTemporaryDir outside;
    writeFile(outside.filePath(QStringLiteral("keep.txt")));
    const QString dir = QStringLiteral("data/x");
    if (setup != QLatin1String("missing")) {
        QVERIFY(QDir().mkpath(dir + "/a/b"));
        writeFile(dir + "/a/b/c.txt");
        writeFile(dir + "/.hidden");
    }
    if (setup == QLatin1String("link"))
        QVERIFY(QFile::link(outside.path(), dir + "/a/outside"));
    if (setup == QLatin1String("locked")) {
        writeFile(dir + "/a/locked");
        QVERIFY(QFile::setPermissions(dir + "/a/locked", {}));
    }
    QCOMPARE(SelectSubjectsDialog::removeDirWithContent(dir), result);
    QCOMPARE(!QFileInfo::exists(dir), gone);
    QVERIFY(QFileInfo::exists(outside.filePath(QStringLiteral("keep.txt"))));
}

void TestSelectSubjectsDialog::exit_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("idle") << false << "" << true;
    QTest::newRow("busy, OK") << true << "确  定" << true;
    QTest::newRow("busy, cancel") << true << "取消" << false;
}

void TestSelectSubjectsDialog::exit()
{
    QFETCH(bool, busy);
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    // A download that stays on its way while the test runs.
    service->setDelay(QStringLiteral("/pkg/installnew_hl.zip"), 60000);
    load(standardCatalogue().replace(link.toUtf8(), (service->baseUrl() + QStringLiteral("/pkg/")).toUtf8()),
         QStringLiteral("10,20,30,255"));
    if (busy)
        QTest::mouseClick(button(catalogueRow(QStringLiteral("护理学")), "pushButton_save"), Qt::LeftButton);
    QString message, okStyle;
    DialogAnswerer confirmation([&](QWidget *w) {
        message = w->findChild<QLabel *>(QStringLiteral("label_message"))->text();
        okStyle = w->findChild<QPushButton *>(QStringLiteral("pushButton_save"))->styleSheet();
        QVERIFY(DialogAnswerer::clickButton(w, answer));
    });
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_exit")), Qt::LeftButton);
    if (busy) {
        QVERIFY(confirmation.wait());
        QCOMPARE(confirmation.dialogClass(), QStringLiteral("ChoiceDialog"));
        QCOMPARE(message, QStringLiteral("正在下载科目...您确定退出吗？"));
        QVERIFY(okStyle.contains(QStringLiteral("10,20,30,255")));
    } else {
        QVERIFY(!confirmation.answered());
    }
    flushDeletes();
    QCOMPARE(dialog.isNull(), closes);
}

void TestSelectSubjectsDialog::downloadView()
{
    const QString url = service->catalogueLink(QStringLiteral("demo"));
    service->setDelay(QStringLiteral("/pkg/installnew_demo.zip"), 60000);
    dialog = new SelectSubjectsDialog;
    dialog->startSelection(url, 1);
    dialog->show();
    QCOMPARE(dialog->size(), QSize(740, 100));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("正在下载科目"));
    QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("widget_4"))->isHidden());
    QVERIFY(dialog->findChild<QProgressBar *>()->isVisible());
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label_title"))->text(), QStringLiteral("正在下载科目请稍候..."));
    QCOMPARE(log->lines().filter(QStringLiteral("下载科目")).size(), 1);
    QVERIFY(log->lines().filter(QStringLiteral("下载科目")).first().contains(url));
    QVERIFY(service->requests(cataloguePath).isEmpty());
    // A download is running: leaving asks first.
    DialogAnswerer confirmation([](QWidget *w) { QVERIFY(DialogAnswerer::clickButton(w, QStringLiteral("取消"))); });
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_exit")), Qt::LeftButton);
    QVERIFY(confirmation.wait());
    QCOMPARE(confirmation.dialogClass(), QStringLiteral("ChoiceDialog"));
}

void TestSelectSubjectsDialog::progress_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<qlonglong>("current");
    QTest::addColumn<qlonglong>("total");
    QTest::addColumn<QString>("percent");
    QTest::newRow("download view, 45%") << 1 << 45LL << 100LL << "45%";
    QTest::newRow("download view, beyond 32 bits") << 1 << 3000000000LL << 6000000000LL << "50%";
    QTest::newRow("download view, total unknown") << 1 << 500LL << -1LL << "";
    QTest::newRow("catalogue view keeps its title") << 0 << 45LL << 100LL << "45%";
}

void TestSelectSubjectsDialog::progress()
{
    QFETCH(int, mode);
    QFETCH(qlonglong, current);
    QFETCH(qlonglong, total);
    QFETCH(QString, percent);
    if (mode == 0) {
        load(standardCatalogue());
    } else {
        dialog = new SelectSubjectsDialog;
        dialog->startSelection(service->catalogueLink(QStringLiteral("demo")), mode);
    }
    auto *title = dialog->findChild<QLabel *>(QStringLiteral("label_title"));
    const QString before = title->text();
    QVERIFY(QMetaObject::invokeMethod(dialog, "updateDataReadProgress", Q_ARG(qlonglong, current),
                                      Q_ARG(qlonglong, total)));
    QCOMPARE(dialog->findChild<QProgressBar *>()->text(), percent);
    if (mode == 1 && !percent.isEmpty())
        QCOMPARE(title->text(), QStringLiteral("正在下载科目请稍候:%1...").arg(percent));
    else
        QCOMPARE(title->text(), before);
}

void TestSelectSubjectsDialog::skin()
{
    const QByteArray body = standardCatalogue();
    load(body, QStringLiteral("10,250,30,255"));
    QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_searchsubject"))->styleSheet(),
             QStringLiteral("QPushButton{  background-color: rgb(10,250,30,255);  border-top-right-radius:5px;   "
                            "border-bottom-right-radius:5px;  }QPushButton:hover{ background-color: rgb(30,255,30,255);};"));
    auto *bar = dialog->findChild<QProgressBar *>();
    QCOMPARE(bar->styleSheet(),
             QStringLiteral("QProgressBar{ border:none; background-color: rgb(230, 230, 230); text-align:center;} "
                            "QProgressBar::chunk { background-color: rgb(10,250,30,255);}"));
    // The catalogue's own transfer filled the bar.
    QCOMPARE(bar->maximum(), body.size());
    QCOMPARE(bar->value(), body.size());
    for (const char *name : {"pushButton_save", "pushButton_deletesubject"})
        QVERIFY(button(catalogueRow(QStringLiteral("病理学")), name)->styleSheet().contains(QStringLiteral("rgb(10,250,30,255)")));
}

void TestSelectSubjectsDialog::dragging_data()
{
    QTest::addColumn<QString>("grip");
    QTest::newRow("title") << "title";
    QTest::newRow("frame") << "frame";
}

void TestSelectSubjectsDialog::dragging()
{
    QFETCH(QString, grip);
    load(QByteArray("[]"));
    dialog->move(100, 100);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    auto *title = dialog->findChild<QLabel *>(QStringLiteral("label_title"));
    const QPoint at = grip == QLatin1String("title") ? title->mapTo(dialog, title->rect().center()) : QPoint(20, 300);
    // The widget a press at that point reaches, as the window system finds it.
    QWidget *target = dialog->childAt(at);
    QVERIFY(target);
    const QPoint start = dialog->pos();
    const QPoint pressed = dialog->mapToGlobal(at);
    auto moveTo = [target](const QPoint &global) {
        QMouseEvent move(QEvent::MouseMove, target->mapFromGlobal(global), global, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
    };
    QTest::mousePress(target, Qt::LeftButton, {}, target->mapFromGlobal(pressed));
    moveTo(pressed + QPoint(15, 5));
    moveTo(pressed + QPoint(40, 25));
    QCOMPARE(dialog->pos(), start + QPoint(40, 25));
    QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFromGlobal(pressed + QPoint(40, 25)));
    moveTo(pressed + QPoint(90, 90));
    QCOMPARE(dialog->pos(), start + QPoint(40, 25));
}

QTEST_MAIN(TestSelectSubjectsDialog)
#include "tst_selectsubjectsdialog.moc"
