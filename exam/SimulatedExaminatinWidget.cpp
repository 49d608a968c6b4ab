#include "SimulatedExaminatinWidget.h"

#include "DataToUiThreadClass.h"
#include "ExamSection.h"
#include "MyMessageBox.h"
#include "NewTalkExamForm.h"
#include "QueTypeData.h"
#include "Skin.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "WaitingForm.h"
#include "ui_SimulatedExaminatinWidget.h"

#include <QDebug>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QRegExpValidator>
#include <QTableWidgetItem>
#include <QTreeWidgetItem>
#include <QTreeWidgetItemIterator>

namespace {

// The question types a simulated exam offers, with their part names.
QString partName(int queTypeId)
{
    switch (queTypeId) {
    case 1:
        return QStringLiteral("单项选择题(A1型题)");
    case 2:
        return QStringLiteral("单项选择题(A2型题)");
    case 3:
        return QStringLiteral("共用题干单选题(A3型题)");
    case 4:
        return QStringLiteral("案例分析题(A4型题)");
    case 6:
        return QStringLiteral("多项选择题(X型题)");
    case 7:
        return QStringLiteral("配伍题(B1型题)");
    default:
        return QString();
    }
}

QString buttonStyle(const QString &color)
{
    return QStringLiteral("QPushButton{background-color: rgb(%1);border-radius:5px;color: rgb(255, 255, 255);"
                          "font: 16pt \"微软雅黑\";}QPushButton:hover{background-color: rgb(%2)}")
        .arg(color, skinHoverColor(color));
}

} // namespace

SimulatedExaminatinWidget::SimulatedExaminatinWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SimulatedExaminatinWidget)
{
    ui->setupUi(this);
    tickedMark = QStringLiteral(":/QuestionCell/images/QuestionCell/checkboxon.png");
    untickedMark = QStringLiteral(":/QuestionCell/images/QuestionCell/checkbox.png");
    connect(ui->treeWidget, &QTreeWidget::itemClicked, this, &SimulatedExaminatinWidget::receiveItemClicked);
    loadChapterTree();
}

SimulatedExaminatinWidget::~SimulatedExaminatinWidget()
{
    if (worker) {
        worker->releaseOwner(this); // queued rows arrive as stale and are freed
        delete worker;
    }
    qDeleteAll(receivedRows);
    qDeleteAll(examParts);
    delete messageBox;
    delete ui;
}

void SimulatedExaminatinWidget::loadChapterTree()
{
    waitingForm = new WaitingForm(this);
    waitingForm->setGeometry(0, 0, width(), height());
    waitingForm->show();

    worker = new DataToUiThreadClass;
    connect(worker, &DataToUiThreadClass::sendJobStarted, this,
            [this](int generation) { startedGeneration = generation; });
    connect(worker, &DataToUiThreadClass::sendAlltCate, this, &SimulatedExaminatinWidget::receiveAlltCate);
    // A failed chapter query ends the job without its last level: the
    // overlay must still go.
    connect(worker, &QThread::finished, this, &SimulatedExaminatinWidget::endLoad, Qt::QueuedConnection);

    QTreeWidget *tree = ui->treeWidget;
    tree->clear();
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setFocusPolicy(Qt::NoFocus);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setHeaderHidden(true);
    tree->setColumnCount(4);
    // The id and state columns are for the page only: without this the
    // header's minimum section width shows them beside the names.
    tree->header()->setMinimumSectionSize(1);
    tree->header()->setStretchLastSection(false);
    tree->setColumnWidth(0, 300);
    tree->setColumnWidth(1, 1);
    tree->setColumnWidth(2, 1);
    tree->setColumnWidth(3, 1);
    // Long chapter names take the panel's width rather than being cut at 300.
    tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    // Before the job starts, so the GUI thread never queues behind the
    // worker on the store.
    buildTypeTable();

    worker->setJob(14, 0);
    worker->start(QThread::InheritPriority);
}

void SimulatedExaminatinWidget::buildTypeTable()
{
    QTableWidget *table = ui->tableWidget;
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(false);

    SqliteClass *store = SqliteClass::instance();
    QList<int> types;
    if (store->questionTypesInBank(types) == -1)
        qDebug().noquote() << store->lastErrorText();
    for (const int type : qAsConst(types)) {
        const QString name = partName(type);
        if (name.isEmpty())
            continue;
        auto *part = new ExamSection;
        part->queTypeId = type;
        part->name = name;
        if (store->questionTypeMemo(part->description, type) == -1)
            qDebug().noquote() << store->lastErrorText();
        examParts.append(part);
    }

    table->setColumnCount(3);
    table->setColumnWidth(0, 200);
    table->setColumnWidth(1, 100);
    // The stretched "题" column grows from here: from the default width it
    // pushed the table past a narrow page.
    table->setColumnWidth(2, 40);
    table->setRowCount(examParts.size());
    // At most three digits: longer numbers overflow an int and read as 0.
    const QRegExpValidator digits(QRegExp(QStringLiteral("[0-9]{1,3}$")));
    for (int row = 0; row < examParts.size(); ++row) {
        const ExamSection *part = examParts.at(row);
        table->setItem(row, 0, new QTableWidgetItem(part->name));
        QueTypeData *type = nullptr;
        store->questionType(type, part->queTypeId);
        const int stored = type ? type->examCount : 0;
        auto *field = new QLineEdit;
        field->setValidator(new QRegExpValidator(digits.regExp(), field));
        field->setText(QString::number(stored == 0 ? 5 : stored));
        field->setAlignment(Qt::AlignCenter);
        table->setCellWidget(row, 1, field);
        countFields.append(field);
        table->setItem(row, 2, new QTableWidgetItem(QStringLiteral("题")));
    }
}

void SimulatedExaminatinWidget::receiveAlltCate(int index, int towindex, int threeindex, QList<SqliteData *> datalist)
{
    if (!worker || startedGeneration != worker->generation()) {
        qDeleteAll(datalist); // rows of a job that no longer has an owner
        return;
    }
    receivedRows.append(datalist);
    QTreeWidget *tree = ui->treeWidget;
    switch (index) {
    case 1:
        for (const SqliteData *row : qAsConst(datalist)) {
            auto *item = new QTreeWidgetItem(tree);
            item->setText(0, row->text1);
            item->setText(1, row->text0);
        }
        break;
    case 2: {
        QTreeWidgetItem *top = tree->topLevelItem(towindex);
        if (!top)
            break;
        for (const SqliteData *row : qAsConst(datalist)) {
            auto *item = new QTreeWidgetItem(top);
            item->setText(0, row->text1);
            item->setToolTip(0, row->text1);
            item->setText(1, row->text0);
        }
        top->setExpanded(true);
        break;
    }
    case 3: {
        QTreeWidgetItem *top = tree->topLevelItem(towindex);
        QTreeWidgetItem *section = top ? top->child(threeindex) : nullptr;
        if (!section)
            break;
        for (const SqliteData *row : qAsConst(datalist)) {
            auto *leaf = new QTreeWidgetItem(section);
            leaf->setText(0, row->text1);
            leaf->setText(1, row->text0);
            leaf->setToolTip(0, QStringLiteral("%1 共<font color=\"#00aaff\">%2</font>题").arg(row->text1, row->text2));
            const QString choose = row->text7;
            setTick(leaf, choose == QLatin1String("1") || choose == QLatin1String("2") ? choose : QStringLiteral("0"));
        }
        section->setExpanded(true);
        break;
    }
    case 4:
        endLoad();
        break;
    default:
        break;
    }
}

void SimulatedExaminatinWidget::endLoad()
{
    qDeleteAll(receivedRows);
    receivedRows.clear();
    if (!worker || !waitingForm || waitingForm->isHidden())
        return;
    worker->wait();
    waitingForm->close();
}

void SimulatedExaminatinWidget::setTick(QTreeWidgetItem *leaf, const QString &state)
{
    leaf->setText(2, state);
    leaf->setIcon(0, QIcon(state == QLatin1String("0") ? untickedMark : tickedMark));
}

void SimulatedExaminatinWidget::receiveItemClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    if (!item)
        return;
    if (item->childCount() > 0) {
        item->setExpanded(!item->isExpanded());
        return;
    }
    // A childless chapter or section is no leaf: it has nothing to choose.
    if (!item->parent() || !item->parent()->parent())
        return;
    const QString state = item->text(2);
    if (state == QLatin1String("0"))
        setTick(item, QStringLiteral("1"));
    else if (state == QLatin1String("1"))
        setTick(item, QStringLiteral("0"));
    SqliteClass *store = SqliteClass::instance();
    if (store->setChapterChosen(item->text(1).toInt(), item->text(2).toInt()) == -1)
        qDebug().noquote() << store->lastErrorText();
}

void SimulatedExaminatinWidget::on_pushButton_startExam_clicked()
{
    SqliteClass *store = SqliteClass::instance();
    if (store->isExamWindowOpen()) {
        showMessage(QStringLiteral("不能同时打开两个考试窗口."));
        return;
    }
    bool anyCount = false;
    for (int i = 0; i < examParts.size(); ++i) {
        ExamSection *part = examParts.at(i);
        part->count = countFields.at(i)->text().toInt();
        if (part->count != 0)
            anyCount = true;
        if (store->setExamCount(part->queTypeId, part->count) == -1)
            qDebug().noquote() << store->lastErrorText();
    }
    if (!anyCount) {
        showMessage(QStringLiteral("题目数量不能全为0."));
        return;
    }
    bool anyTicked = false;
    for (QTreeWidgetItemIterator it(ui->treeWidget); *it && !anyTicked; ++it) {
        QTreeWidgetItem *item = *it;
        anyTicked = item->parent() && item->parent()->parent() && item->text(2) == QLatin1String("1");
    }
    if (!anyTicked) {
        showMessage(QStringLiteral("请勾选章节."));
        return;
    }
    store->setExamWindowOpen(true);
    examWindow = new NewTalkExamForm;
    examWindow->setSkinColor(skinColor);
    examWindow->show();
    examWindow->startSimulatedExam(examParts);
}

void SimulatedExaminatinWidget::showMessage(const QString &text)
{
    if (!messageBox)
        messageBox = new MyMessageBox;
    messageBox->setSkinColor(skinColor);
    messageBox->setMessage(text);
    messageBox->show();
}

void SimulatedExaminatinWidget::setSkinColor(const QString &color)
{
    skinColor = color;
    ui->treeWidget->setStyleSheet(SqliteClass::treeWidgetStyle(color));
    ui->tableWidget->setStyleSheet(SqliteClass::tableWidgetStyle(color));
    ui->pushButton_startExam->setStyleSheet(buttonStyle(color));
}

void SimulatedExaminatinWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (waitingForm)
        waitingForm->setGeometry(0, 0, width(), height());
}
