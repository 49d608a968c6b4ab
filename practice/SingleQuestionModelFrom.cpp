#include "SingleQuestionModelFrom.h"
#include "ui_SingleQuestionModelFrom.h"

#include "B1CellForm.h"
#include "CellBk.h"
#include "ClockText.h"
#include "ConfigIni.h"
#include "DataToUiThreadClass.h"
#include "ErrorReport.h"
#include "FontBk.h"
#include "InterpretationForm.h"
#include "MainQuestion.h"
#include "MyMessageBox.h"
#include "PlainCellBase.h"
#include "QuestionCellFactory.h"
#include "QuestionCellForm.h"
#include "QuestionData.h"
#include "ReturnQuestionsDialog.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QCloseEvent>
#include <QDebug>
#include <QScrollBar>
#include <QTimer>
#include <memory>

using Kind = QuestionCellFactory::Kind;

namespace {

const QString keyFont = QStringLiteral("QuestionCell/questionfont");
const QString keyColour = QStringLiteral("QuestionCell/questioncolor");
const QString keyImage = QStringLiteral("QuestionCell/questionbutton");
const QString keyCount = QStringLiteral("QuestionCell/questionCellCount");
const QString keyChecked = QStringLiteral("QuestionCell/IsChecked");

// A style sheet set on the scroll area outranks the page's rules for its
// scroll bars and would leave them without a handle; their own sheet wins.
const char pageScrollBarStyle[] =
    "QScrollBar:vertical{width: 13px;background: transparent;margin: 0px;border: none;}"
    "QScrollBar::handle:vertical{background: rgb(195, 195, 195);border-radius: 3px;min-height: 20px;}"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical{height: 0px;border: none;background: none;}"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical{background: none;}";

// A reading colour "r,g,b,a" too dark for dark text.
bool isDark(const QString &colour)
{
    const QStringList parts = colour.split(QLatin1Char(','));
    if (parts.size() < 3)
        return false;
    return parts.at(0).trimmed().toInt() * 299 + parts.at(1).trimmed().toInt() * 587
               + parts.at(2).trimmed().toInt() * 114
           < 128 * 1000;
}

} // namespace

SingleQuestionModelFrom::SingleQuestionModelFrom(QWidget *parent)
    : QWidget(parent), ui(new Ui::SingleQuestionModelFrom)
{
    ui->setupUi(this);
    ui->scrollArea->verticalScrollBar()->setStyleSheet(QString::fromLatin1(pageScrollBarStyle));
    // The viewport takes the reading colour; the content widget lets it show.
    ui->scrollAreaWidgetContents->setAutoFillBackground(false);
    ui->scrollAreaWidgetContents->setStyleSheet(
        QStringLiteral("#scrollAreaWidgetContents{background-color: transparent;}"));

    messageBox = new MyMessageBox;
    messageBox->setTitle(QStringLiteral("提示"));
    ui->label_typetext->installEventFilter(this);
    ui->label_title->installEventFilter(this);
    ui->pushButton_font->setToolTip(QStringLiteral("字体"));

    QString font;
    QString colour;
    QString image;
    int count = 0;
    int checked = 0;
    {
        ConfigIni config;
        font = config.text(keyFont);
        colour = config.text(keyColour);
        image = config.text(keyImage);
        count = config.value(keyCount).toInt();
        checked = config.value(keyChecked).toInt();
    }
    ui->checkBox_answer->setChecked(checked != 1);
    // A stored count below 1 (0 included) means one question per page.
    perPage = qMax(count, 1);
    ui->lineEdit->setText(QString::number(perPage));
    setPagingTexts(perPage);
    if (colour.isEmpty())
        colour = QStringLiteral("255,255,255,255");
    if (font.isEmpty())
        font = QStringLiteral("12");
    applyCellStyle(image, colour, font);
}

SingleQuestionModelFrom::~SingleQuestionModelFrom()
{
    if (worker) {
        worker->releaseOwner(this); // pages still on their way are freed, not lost
        delete worker;
    }
    delete timer;
    delete messageBox;
    delete backgroundPicker;
    delete fontPicker;
    delete typeExplanation;
    clearCells();
    delete ui;
}

void SingleQuestionModelFrom::setSkinColor(const QString &color)
{
    skinColor = color;
    messageBox->setSkinColor(color);
    ui->progressBar_count->setColor(color);
    const QString style =
        QStringLiteral("QPushButton{border-radius:3px;border:1px solid rgb(120,120,120);color:rgb(120,120,120);"
                       "font: 75 11pt \"微软雅黑\";}QPushButton:hover{ color:rgb(255,255,255);"
                       "background-color: rgb(%1);border:1px solid rgb(%1);}")
            .arg(color);
    for (QPushButton *button : {ui->pushButton_return, ui->pushButton_up, ui->pushButton_down,
                                ui->pushButton_cellcount})
        button->setStyleSheet(style);
}

void SingleQuestionModelFrom::startPractice(SqliteData *set, int type, const QString &name)
{
    pType = type;
    cateId = set->text0.toInt();
    SqliteClass *store = SqliteClass::instance();
    const int lastId = store->lastSiblingChapterId(cateId);
    if (lastId == cateId)
        pType = 1;
    else if (pType != 2)
        pType = 0;
    qDebug() << "pType:" << pType << "pCateId:" << cateId << "lastcateId:" << lastId;

    chapterName = name;
    total = set->text5.toInt();
    setName = set->text1;
    showSetName();
    ui->label_tatol->setText(QStringLiteral("总题数:%1").arg(set->text5));
    answered = set->text6.toInt();
    right = set->text7.toInt();
    ui->progressBar_count->setTotal(set->text5.toFloat());
    ui->progressBar_count->setValueText(set->text6);
    const int offset = qMax(answered - 1, 0);

    if (!worker) {
        worker = new DataToUiThreadClass;
        // A child, so that it can be found; the destructor ends it first.
        worker->setParent(this);
        connect(worker, &DataToUiThreadClass::sendJobStarted, this,
                [this](int generation) { arrivingGeneration = generation; });
        // Every page hears the store's one signal; this page takes only
        // what its own worker's job emits.
        worker->connectOwnRows(store, &SqliteClass::sendQuestionBycateIdBycount, this,
                               &SingleQuestionModelFrom::receiveQuestionBycateIdBycount);
    }
    if (!timer) {
        timer = new QTimer;
        connect(timer, &QTimer::timeout, this, &SingleQuestionModelFrom::receiveTimeOut);
    }
    timer->start(1000);

    perPage = enteredCount();
    worker->setPageJob(12, cateId, offset, perPage);
    worker->start(QThread::InheritPriority);
}

int SingleQuestionModelFrom::enteredCount() const
{
    return qMax(ui->lineEdit->text().toInt(), 1);
}

void SingleQuestionModelFrom::setPagingTexts(int count)
{
    const bool pages = count > 1;
    ui->pushButton_up->setText(pages ? QStringLiteral("上一页") : QStringLiteral("上一题"));
    ui->pushButton_down->setText(pages ? QStringLiteral("下一页") : QStringLiteral("下一题"));
    // A new text takes the button's shortcut away (it would be the text's mnemonic).
    ui->pushButton_up->setShortcut(QKeySequence(Qt::Key_Left));
    ui->pushButton_down->setShortcut(QKeySequence(Qt::Key_Right));
}

void SingleQuestionModelFrom::loadPage(int id, int offset, int count)
{
    if (!worker || worker->isRunning())
        return;
    worker->setPageJob(12, id, offset, count);
    worker->start(QThread::InheritPriority);
}

void SingleQuestionModelFrom::clearCells()
{
    while (QLayoutItem *item = ui->verticalLayout_add->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void SingleQuestionModelFrom::receiveQuestionBycateIdBycount(QList<MainQuestion *> quelist, int index, int)
{
    if (worker)
        worker->wait();
    // A list of a stopped job (the page is going) is only freed.
    if (!worker || arrivingGeneration != worker->generation()) {
        qDeleteAll(quelist);
        return;
    }
    clearCells();
    firstNumber = index + 1;
    for (int i = 0; i < quelist.size(); ++i) {
        MainQuestion *record = quelist.at(i);
        const int number = index + 1 + i;
        lastNumber = number;
        addQuestionCell(record, number, QString::number(number), record->queTypeId);
    }
}

void SingleQuestionModelFrom::addQuestionCell(MainQuestion *record, int number, const QString &numberText,
                                              int queTypeId)
{
    const std::unique_ptr<MainQuestion> owned(record);
    const Kind kind = QuestionCellFactory::kindOf(queTypeId);
    // Choice and shared-option cells read the record's question.
    const bool needsQuestion = kind == Kind::Choice || kind == Kind::SharedOption;
    QWidget *cell = needsQuestion && record->questions.isEmpty()
                        ? nullptr
                        : QuestionCellFactory::create(
                              queTypeId, this,
                              [this](int id, int state, QString answer) { receiveState(id, state, answer); },
                              [this](int titletype, int queId, QString text) {
                                  receiveChangeError(titletype, queId, text);
                              });
    if (cell) {
        const bool showAnswer = ui->checkBox_answer->isChecked();
        if (kind == Kind::Choice || kind == Kind::SharedOption)
            QuestionCellFactory::setStyle(cell, skinColor);
        ui->verticalLayout_add->addWidget(cell);
        if (auto *choice = qobject_cast<QuestionCellForm *>(cell)) {
            choice->setShowAnswerAtOnce(showAnswer);
            QuestionData *question = record->questions.first();
            choice->setQuestion(number, record, question, question->options, 0);
        } else if (auto *shared = qobject_cast<B1CellForm *>(cell)) {
            shared->setData(-1, numberText, number, record, 0);
        } else if (auto *plain = qobject_cast<PlainCellBase *>(cell)) {
            if (kind == Kind::TrueFalse)
                plain->setShowAnswerAtOnce(showAnswer);
            plain->setStyle(skinColor);
            plain->setData(number, record, 0);
        }
    }
    ui->scrollArea->verticalScrollBar()->setValue(0);
}

void SingleQuestionModelFrom::receiveState(int, int, QString)
{
    SqliteClass *store = SqliteClass::instance();
    const int done = store->chapterDoneCount(cateId);
    if (done == -1) {
        qDebug().noquote() << store->lastErrorText();
        return;
    }
    answered = done;
    ui->progressBar_count->setValueText(QString::number(answered));
}

void SingleQuestionModelFrom::receiveTimeOut()
{
    if (++seconds == 60) {
        seconds = 0;
        if (++minutes == 60) {
            minutes = 0;
            ++hours;
        }
    }
    ui->label_time->setText(
        QStringLiteral("计时:") + clockText(hours, minutes, seconds));
}

void SingleQuestionModelFrom::on_pushButton_down_clicked()
{
    if (lastNumber < total)
        loadPage(cateId, lastNumber, perPage);
    else
        showSummary();
}

void SingleQuestionModelFrom::on_pushButton_up_clicked()
{
    if (firstNumber <= 1) {
        messageBox->setMessage(QStringLiteral("已经是第一页了."));
        messageBox->show();
    } else if (firstNumber <= perPage) {
        loadPage(cateId, 0, firstNumber);
    } else {
        loadPage(cateId, firstNumber - perPage - 1, perPage);
    }
}

void SingleQuestionModelFrom::on_pushButton_cellcount_clicked()
{
    perPage = enteredCount();
    ui->lineEdit->setText(QString::number(perPage));
    const int reloadAt = qMax(firstNumber - 1, 0);
    if (perPage != ui->verticalLayout_add->count())
        loadPage(cateId, reloadAt, perPage);
    setPagingTexts(perPage);
    ConfigIni::write(keyCount, perPage);
}

void SingleQuestionModelFrom::on_checkBox_answer_clicked(bool checked)
{
    ConfigIni::write(keyChecked, checked ? 2 : 1);
}

void SingleQuestionModelFrom::placeBelow(QWidget *popup, const QWidget *anchor, int dx)
{
    const QPoint topLeft = anchor->mapToGlobal(QPoint(0, 0));
    popup->move(topLeft.x() + dx, topLeft.y() + anchor->height() + 5);
}

void SingleQuestionModelFrom::on_pushButton_bk_clicked()
{
    delete backgroundPicker;
    backgroundPicker = new CellBk;
    connect(backgroundPicker, &CellBk::sendBkData, this, &SingleQuestionModelFrom::receiveCellData);
    backgroundPicker->show();
    placeBelow(backgroundPicker, ui->pushButton_bk, ui->pushButton_bk->width() / 2 - 165);
}

void SingleQuestionModelFrom::on_pushButton_font_clicked()
{
    delete fontPicker;
    fontPicker = new FontBk;
    connect(fontPicker, &FontBk::sendFontData, this, &SingleQuestionModelFrom::receiveCellFontData);
    fontPicker->show();
    placeBelow(fontPicker, ui->pushButton_font, ui->pushButton_font->width() / 2 - 165);
}

void SingleQuestionModelFrom::receiveCellData(QString bkname, QString bk)
{
    applyCellStyle(bkname, bk, readingFont);
}

void SingleQuestionModelFrom::receiveCellFontData(int font)
{
    applyCellStyle(readingImage, readingColour, QString::number(font));
}

void SingleQuestionModelFrom::applyCellStyle(const QString &image, const QString &colour, const QString &fontSize)
{
    readingImage = image;
    readingColour = colour;
    readingFont = fontSize;
    ui->pushButton_bk->setToolTip(QStringLiteral("设置背景色"));
    ui->pushButton_bk->setStyleSheet(
        QStringLiteral("QPushButton{border-image: url(:/QuestionCell/images/QuestionCell/%1);}").arg(image));
    QString area = QStringLiteral("border:0px;background-color: rgb(%1);font: 75 %2pt \"微软雅黑\";").arg(colour, fontSize);
    // Dark text would vanish on the dark background.
    if (isDark(colour))
        area += QStringLiteral("color: rgb(230, 230, 230);");
    ui->scrollArea->setStyleSheet(area);
    ConfigIni config;
    config.setValue(keyFont, fontSize);
    config.setValue(keyColour, colour);
    config.setValue(keyImage, image);
}

// A long name ends in "…" rather than being cut off mid-character; the
// whole name is the tooltip.
void SingleQuestionModelFrom::showSetName()
{
    QLabel *label = ui->label_title;
    label->setText(label->fontMetrics().elidedText(setName, Qt::ElideRight, label->width()));
    label->setToolTip(setName);
}

bool SingleQuestionModelFrom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->label_title && event->type() == QEvent::Resize)
        showSetName();
    if (watched == ui->label_typetext) {
        if (event->type() == QEvent::Enter) {
            showTypeExplanation();
        } else if (event->type() == QEvent::Leave) {
            delete typeExplanation;
            typeExplanation = nullptr;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SingleQuestionModelFrom::showTypeExplanation()
{
    delete typeExplanation;
    typeExplanation = new InterpretationForm;
    typeExplanation->show();
    placeBelow(typeExplanation, ui->label_typetext, ui->label_typetext->width() - 80);
}

void SingleQuestionModelFrom::receiveChangeError(int, int queid, QString queText)
{
    errorReport = ErrorReport::open(skinColor, 0, queid, queText);
}

void SingleQuestionModelFrom::showSummary()
{
    SqliteClass *store = SqliteClass::instance();
    const int rightCount = store->chapterRightCount(cateId);
    if (rightCount == -1) {
        qDebug().noquote() << store->lastErrorText();
        return;
    }
    right = rightCount;
    const QString numbers[] = {QString::number(total), QString::number(right), QString::number(answered - right),
                               QString::number(total - answered)};
    // One multi-argument arg(): a "%1" in the chapter's name stays text.
    const QString text =
        pType == 1 ? QStringLiteral("这是【%1】最后一章了，您真棒!\n 总题数:%2 正确:%3 错误:%4 未答:%5")
                         .arg(chapterName, numbers[0], numbers[1], numbers[2], numbers[3])
                   : QStringLiteral("这是最后一页了，您真棒!\n 总题数:%1 正确:%2 错误:%3 未答:%4")
                         .arg(numbers[0], numbers[1], numbers[2], numbers[3]);
    auto *dialog = new ReturnQuestionsDialog;
    connect(dialog, &ReturnQuestionsDialog::sendReturnQuestions, this,
            &SingleQuestionModelFrom::receiveReturnQuestion);
    dialog->setMode(text, pType);
    dialog->setSkinColor(skinColor);
    dialog->setModal(true);
    dialog->show();
    summary = dialog;
}

void SingleQuestionModelFrom::receiveReturnQuestion(int model)
{
    if (model == 0 || model == 1)
        emit sendQuestionsFormCloseEvent(model); // may delete this page
}

void SingleQuestionModelFrom::on_pushButton_return_clicked()
{
    emit sendQuestionsFormCloseEvent(1); // may delete this page
}

void SingleQuestionModelFrom::closeEvent(QCloseEvent *event)
{
    event->accept();
}
