#include "ViewReport.h"
#include "ui_ViewReport.h"

#include "ConfigIni.h"
#include "DataToUiThreadClass.h"
#include "ExamRecord.h"
#include "ExamSection.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteClass.h"
#include "ViewReport2.h"
#include "WaitingForm.h"

#include <QColorDialog>
#include <QDebug>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionComboBox>

#include <memory>

namespace {

const QString fontColourKey = QStringLiteral("ViewReportFontColor");
const QString backgroundKey = QStringLiteral("ViewReportBkColor");
const QString listedFamily = QStringLiteral("微软雅黑");
// Index of "12" in the size list, which starts at "9".
const int listedSizeIndex = 3;

// "r,g,b,a" with four whole numbers from 0 to 255; anything else is invalid.
QColor colourFromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return QColor();
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok || values[i] < 0 || values[i] > 255)
            return QColor();
    }
    return QColor(values[0], values[1], values[2], values[3]);
}

// A colour setting of the viewers; invalid when absent or malformed.
QColor storedColour(const QString &key)
{
    return colourFromText(ConfigIni::readText(QStringLiteral("QuestionCell/") + key));
}

QString colourText(const QColor &colour)
{
    return QStringLiteral("%1,%2,%3,%4").arg(colour.red()).arg(colour.green()).arg(colour.blue()).arg(colour.alpha());
}

// Framed, so that a white or pale colour still shows on the white tool row.
QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(150, 150, 150));
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

QString comboStyle(const QString &skinColor)
{
    return QStringLiteral(
               "QComboBox{border:1px solid gray;border-radius:3px;padding:1px 18px 1px 3px;"
               "font: 75 12pt \"微软雅黑\";}"
               "QComboBox:editable{background:white;}"
               "QComboBox::drop-down{subcontrol-origin:padding;subcontrol-position:top right;width:15px;"
               "border-left-width:1px;border-left-color:darkgray;border-left-style:solid;"
               "border-top-right-radius:3px;border-bottom-right-radius:3px;background:rgb(%1);}"
               "QComboBox::down-arrow{image:url(:/icon/images/icon/sewlectoff.png);}"
               "QComboBox QAbstractItemView{border:1px solid darkgray;selection-background-color:lightgray;}")
        .arg(skinColor);
}

QString typeMemo(const MainQuestion &group)
{
    return group.queType ? group.queType->memo : QString();
}

} // namespace

ViewReport::ViewReport(QWidget *parent)
    : QWidget(parent), ui(new Ui::ViewReport)
{
    ui->setupUi(this);
    // No window-type bit: a window without a parent, a plain child in a form.
    setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    for (int size = 9; size <= 100; ++size)
        ui->fontsizecomboBox->addItem(QString::number(size));
    connect(ui->fontsizecomboBox, &QComboBox::currentTextChanged, this, &ViewReport::receivecurrentIndexChanged);
    ui->fontsizecomboBox->setCurrentIndex(2);
    selectFamily(QStringLiteral("宋体"));
    ui->pushButton_print->hide();
    ui->pushButton_toHtml->hide();
    ui->fontComboBox->setFocusPolicy(Qt::NoFocus);
    ui->textEdit->installEventFilter(this);
}

ViewReport::~ViewReport()
{
    if (worker) {
        worker->releaseOwner(this); // queued rows arrive as stale and are freed
        delete worker;
    }
    delete ui;
}

void ViewReport::setTitle(const QString &title)
{
    ui->label_title->setText(title);
}

void ViewReport::setSkinColor(const QString &skinColor)
{
    this->skinColor = skinColor;
    setComboSkinColor(skinColor);
    ui->widget->setStyleSheet(QStringLiteral("background-color: rgb(%1)").arg(skinColor));

    // Without a usable setting the defaults stand and nothing is applied.
    const QColor storedText = storedColour(fontColourKey);
    textColour = storedText.isValid() ? storedText : QColor(Qt::black);
    if (storedText.isValid())
        ui->textEdit->setTextColor(textColour);
    const QColor storedBackground = storedColour(backgroundKey);
    if (storedBackground.isValid())
        applyBackground(storedBackground);
    else
        backgroundColour = QColor(Qt::white);
    ui->textcolor->setIcon(swatch(textColour));
    ui->pushButton_background->setIcon(swatch(backgroundColour));
}

void ViewReport::setComboSkinColor(const QString &skinColor)
{
    const QString style = comboStyle(skinColor);
    ui->fontComboBox->setStyleSheet(style);
    ui->fontsizecomboBox->setStyleSheet(style);
    fitFamilyList();
}

void ViewReport::hideTitleBar()
{
    ui->widget->hide();
    ui->label->hide();
}

void ViewReport::showReportHtml(const QString &html)
{
    ui->textEdit->clear();
    showTextOverlay(15);
    ui->textEdit->setHtml(html);
    showInListedFont();
    formatWholeText([this](QTextEdit *edit) { edit->setTextColor(textColour); });
}

void ViewReport::showChapterQuestions(int cateId)
{
    if (!busyOverlay)
        busyOverlay = new WaitingForm(this);
    busyOverlay->setGeometry(rect());
    busyOverlay->raise();
    busyOverlay->show();

    ui->textEdit->clear();
    questionCount = 0;
    lastType = -1;
    lastGroup = -1;

    if (!worker) {
        worker = new DataToUiThreadClass;
        connect(worker, &DataToUiThreadClass::sendJobStarted, this,
                [this](int generation) { startedGeneration = generation; });
        connect(worker, &DataToUiThreadClass::sendSqliteClass, this, &ViewReport::receiveSqliteClass);
        connect(SqliteClass::instance(), &SqliteClass::sendQuickQuestion, this, &ViewReport::receiveQuickQuestion);
    }
    // Ends a listing still loading and moves the generation on, so that
    // nothing it queued is taken for the new chapter's.
    worker->stop();
    worker->setJob(11, cateId);
    worker->start(QThread::InheritPriority);
}

void ViewReport::receiveQuickQuestion(MainQuestion *question)
{
    const std::unique_ptr<MainQuestion> group(question);
    if (isStale() || group->questions.isEmpty())
        return;
    appendGroup(*group);
    // The store places the pictures of everything listed so far.
    SqliteClass *store = SqliteClass::instance();
    ui->textEdit->setHtml(store->reportImagesToHtml(ui->textEdit->toHtml()));
}

void ViewReport::appendGroup(const MainQuestion &group)
{
    QTextEdit *text = ui->textEdit;
    if (group.queTypeId != lastType)
        text->append(QStringLiteral("  ") + typeMemo(group));
    if (group.cateListId != lastGroup) {
        text->append(group.publicQueText);
        lastGroup = group.cateListId;
    }
    lastType = group.queTypeId;
    int number = 0;
    for (const QuestionData *question : group.questions) {
        text->append(QStringLiteral("\t(%1) %2").arg(++number).arg(question->queText));
        ++questionCount;
        for (const QChar letter : question->answer)
            for (const OptionData *option : question->options)
                if (option->optName == QString(letter))
                    text->append(QStringLiteral("\t\t●%1").arg(option->optText));
        text->append(QStringLiteral("\n"));
    }
}

void ViewReport::receiveSqliteClass(int ret)
{
    if (isStale())
        return;
    if (busyOverlay)
        busyOverlay->close();
    if (worker) {
        worker->wait();
        if (ret == -1)
            qDebug().noquote() << worker->lastErrorText();
    }
    showTextOverlay(0);
    ui->label->setText(QStringLiteral("\t总题：%1题  ").arg(questionCount));
    ui->textEdit->moveCursor(QTextCursor::Start);
    showInListedFont();
}

bool ViewReport::isStale() const
{
    return worker && startedGeneration != worker->generation();
}

void ViewReport::buildExamReport(QList<ExamSection *> sections, int mode)
{
    // A viewer may be reused: every report starts on an empty page.
    ui->textEdit->clear();
    lastType = -1;
    lastGroup = -1;
    int right = 0;
    int wrong = 0;
    int unanswered = 0;
    for (const ExamSection *section : sections) {
        int number = 0;
        for (const MainQuestion *entry : section->questions) {
            if (entry->questions.isEmpty())
                continue;
            appendReportEntry(*entry, ++number);
            switch (entry->questions.first()->userStatus) {
            case 1: ++right; break;
            case 2: ++wrong; break;
            default: ++unanswered; break;
            }
        }
    }
    const int total = right + wrong + unanswered;
    ui->label->setText(QStringLiteral("\t总题：%1题  正确：%2题  错误：<font color=\"#FF0000\">%3</font>题 "
                                      "未做:<font color=\"#FF0000\">%4</font>题  ")
                           .arg(total).arg(right).arg(wrong).arg(unanswered));
    ui->textEdit->moveCursor(QTextCursor::Start);
    questionCount = total;
    correctCount = right;
    unansweredCount = unanswered;
    saveExamRecord(mode);
    close();
}

void ViewReport::appendReportEntry(const MainQuestion &entry, int number)
{
    QTextEdit *text = ui->textEdit;
    if (entry.queTypeId != lastType)
        text->append(typeMemo(entry));
    lastType = entry.queTypeId;
    if (entry.cateListId != lastGroup) {
        text->append(QStringLiteral("\n") + entry.publicQueText);
        lastGroup = entry.cateListId;
    }
    const QuestionData *question = entry.questions.first();
    text->append(QStringLiteral("\t(%1) %2").arg(number).arg(question->queText));
    for (const OptionData *option : question->options)
        text->append(QStringLiteral("\t\t%1\n").arg(QStringLiteral("%1%2").arg(option->optName, option->optText)));
    text->append(QStringLiteral("\t\t正确答案：%1 您的答案：%2\n").arg(question->answer, question->userAnswer));
}

int ViewReport::saveExamRecord(int mode)
{
    if (mode != ExamRecord::ManMachine && mode != ExamRecord::Simulated)
        return 0;
    ExamRecord record;
    record.kind = mode;
    record.report = SqliteClass::instance()->reportImagesToHtml(ui->textEdit->toHtml());
    record.total = questionCount;
    record.right = correctCount;
    record.unanswered = unansweredCount;
    return record.insert();
}

void ViewReport::printOrder(QPrinter *)
{
}

void ViewReport::receivecurrentIndexChanged(QString size)
{
    const int points = size.toInt();
    formatWholeText([points](QTextEdit *edit) { edit->setFontPointSize(points); });
}

void ViewReport::on_pushButton_print_clicked()
{
}

void ViewReport::on_pushButton_toHtml_clicked()
{
}

void ViewReport::on_pushButton_exit_clicked()
{
    close();
}

void ViewReport::on_pushButton_max_clicked()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void ViewReport::on_pushButton_min_clicked()
{
    showMinimized();
}

void ViewReport::on_textbold_clicked(bool checked)
{
    formatWholeText([checked](QTextEdit *edit) { edit->setFontWeight(checked ? 75 : 50); });
}

void ViewReport::on_textitalic_clicked(bool checked)
{
    formatWholeText([checked](QTextEdit *edit) { edit->setFontItalic(checked); });
}

void ViewReport::on_textUnderline_clicked(bool checked)
{
    formatWholeText([checked](QTextEdit *edit) { edit->setFontUnderline(checked); });
}

void ViewReport::on_toolButton_LeftAlignment_clicked()
{
    formatWholeText([](QTextEdit *edit) { edit->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); });
}

void ViewReport::on_toolButton_RightAlignment_clicked()
{
    formatWholeText([](QTextEdit *edit) { edit->setAlignment(Qt::AlignRight | Qt::AlignAbsolute); });
}

void ViewReport::on_toolButton_CenterAlignment_clicked()
{
    formatWholeText([](QTextEdit *edit) { edit->setAlignment(Qt::AlignHCenter); });
}

void ViewReport::on_fontComboBox_currentFontChanged(QFont f)
{
    const int points = listedSize();
    formatWholeText([f, points](QTextEdit *edit) {
        edit->setCurrentFont(f);
        edit->setFontPointSize(points);
    });
}

void ViewReport::on_textcolor_clicked()
{
    const QColor chosen = QColorDialog::getColor(textColour, nullptr, QString());
    if (!chosen.isValid())
        return;
    textColour = chosen;
    formatWholeText([chosen](QTextEdit *edit) { edit->setTextColor(chosen); });
    ui->textcolor->setIcon(swatch(chosen));
    saveColorSetting(fontColourKey, colourText(chosen));
}

void ViewReport::on_pushButton_background_clicked()
{
    const QColor chosen = QColorDialog::getColor(backgroundColour, nullptr, QString());
    if (!chosen.isValid())
        return;
    applyBackground(chosen);
    ui->pushButton_background->setIcon(swatch(chosen));
    saveColorSetting(backgroundKey, colourText(chosen));
}

void ViewReport::applyBackground(const QColor &colour)
{
    backgroundColour = colour;
    ui->textEdit->setStyleSheet(QStringLiteral("background-color:rgb(%1,%2,%3,%4);")
                                    .arg(colour.red()).arg(colour.green()).arg(colour.blue()).arg(colour.alpha()));
}

void ViewReport::saveColorSetting(const QString &key, const QString &value)
{
    ConfigIni::write(QStringLiteral("QuestionCell/%1").arg(key), value);
}

void ViewReport::formatWholeText(const std::function<void(QTextEdit *)> &change)
{
    ui->textEdit->selectAll();
    change(ui->textEdit);
    ui->textEdit->moveCursor(QTextCursor::Start);
}

int ViewReport::listedSize() const
{
    return ui->fontsizecomboBox->currentText().toInt();
}

bool ViewReport::selectFamily(const QString &family)
{
    // QFontComboBox would select a stand-in for a missing family.
    if (!QFontDatabase().families().contains(family))
        return false;
    ui->fontComboBox->setCurrentFont(QFont(family));
    return true;
}

void ViewReport::fitFamilyList()
{
    QFontComboBox *box = ui->fontComboBox;
    box->ensurePolished();
    const QFontMetrics metrics(box->font());
    const QFontDatabase fonts;
    int widest = 0;
    for (const QFontDatabase::WritingSystem system : {QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese,
                                                      QFontDatabase::Japanese, QFontDatabase::Korean}) {
        for (const QString &family : fonts.families(system))
            widest = qMax(widest, metrics.horizontalAdvance(family));
    }
    // The edit field keeps two pixels free on each side of its text.
    const int editMargins = 4;
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const QSize fitted = box->style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                        QSize(widest + editMargins, metrics.height()), box);
    box->setMinimumWidth(fitted.width());
}

void ViewReport::showInListedFont()
{
    const bool installed = selectFamily(listedFamily);
    ui->fontsizecomboBox->setCurrentIndex(listedSizeIndex);
    // The lists apply only a change of selection; new content needs both
    // whatever the lists showed before.
    const int points = listedSize();
    formatWholeText([installed, points](QTextEdit *edit) {
        if (installed)
            edit->setFontFamily(listedFamily);
        edit->setFontPointSize(points);
    });
}

void ViewReport::showTextOverlay(int bottomCut)
{
    if (!textOverlay)
        textOverlay = new ViewReport2(this);
    placeTextOverlay(bottomCut);
    textOverlay->show();
}

void ViewReport::placeTextOverlay(int bottomCut)
{
    overlayBottomCut = bottomCut;
    const QPoint topLeft = ui->textEdit->mapTo(this, QPoint(0, 0));
    // The vertical scroll bar stays uncovered.
    textOverlay->setGeometry(topLeft.x(), topLeft.y(), ui->textEdit->width() - 15,
                             ui->textEdit->height() - bottomCut);
}

bool ViewReport::isDragArea(const QPoint &pos) const
{
    return QRect(QPoint(0, 0), ui->widget_title->size()).contains(pos);
}

void ViewReport::mousePressEvent(QMouseEvent *event)
{
    // Only a window moves; inside a page a press must not shift the viewer.
    if (event->button() != Qt::LeftButton || !isWindow() || !isDragArea(event->pos()))
        return;
    dragging = true;
    pressPosition = event->globalPos();
    windowPosition = pos();
}

void ViewReport::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(windowPosition + event->globalPos() - pressPosition);
}

void ViewReport::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragging = false;
}

void ViewReport::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isWindow() && isDragArea(event->pos()))
        on_pushButton_max_clicked();
}

void ViewReport::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    if (qAbs(delta.x()) > qAbs(delta.y())) {
        event->ignore();
        return;
    }
    QScrollBar *bar = ui->textEdit->verticalScrollBar();
    bar->setValue(bar->value() - delta.y());
}

void ViewReport::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1));
    painter.drawRect(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

void ViewReport::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (busyOverlay)
        busyOverlay->setGeometry(rect());
}

bool ViewReport::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->textEdit && textOverlay
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeTextOverlay(overlayBottomCut);
    return QWidget::eventFilter(watched, event);
}
