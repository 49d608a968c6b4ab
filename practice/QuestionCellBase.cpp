#include "QuestionCellBase.h"

#include "NoteDialog.h"
#include "QuestionData.h"
#include "SqliteClass.h"

#include <QCursor>
#include <QDebug>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

const char outlinedStyle[] =
    "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;"
    "font: 75 11pt \"微软雅黑\";border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);}"
    "QPushButton:hover{color: rgb(255, 255, 255);background-color: rgb(%1);border:1px solid  rgb(%1); }";

const char filledStyle[] =
    "QPushButton{border-radius:5px;min-height:25px;min-width:90px;max-height:25px;max-width:90px;"
    "font: 75 11pt \"微软雅黑\";color: rgb(255, 255, 255);background-color: rgb(%1);border:1px solid  rgb(%1);}"
    "QPushButton:hover{";

const char *hoverOfFilled(QuestionCellBase::FilledHover hover)
{
    switch (hover) {
    case QuestionCellBase::FilledHover::WhiteGround:
        return "border:1px solid  rgb(120, 120, 120);background-color:rgb(255,255,255);color: rgb(120, 120, 120);";
    case QuestionCellBase::FilledHover::Plain:
        return "border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);";
    case QuestionCellBase::FilledHover::WhiteGroundFirst:
        break;
    }
    return "background-color:rgb(255,255,255);border:1px solid  rgb(120, 120, 120);color: rgb(120, 120, 120);";
}

SqliteClass *store()
{
    return SqliteClass::instance();
}

} // namespace

QuestionCellBase::QuestionCellBase(FilledHover hover, QWidget *parent)
    : QWidget(parent), filledHover(hover)
{
}

QuestionCellBase::~QuestionCellBase() = default;

QString QuestionCellBase::buttonStyle(bool filled, const QString &skin, FilledHover hover)
{
    if (!filled)
        return QString::fromUtf8(outlinedStyle).arg(skin);
    return (QString::fromUtf8(filledStyle) + QLatin1String(hoverOfFilled(hover)) + QLatin1Char('}')).arg(skin);
}

void QuestionCellBase::styleHeading(QLabel *number, QLabel *typeName, const QString &skin)
{
    if (number)
        number->setStyleSheet(QStringLiteral("font: 75 28pt \"微软雅黑\";color: rgb(%1);").arg(skin));
    if (typeName)
        typeName->setStyleSheet(QStringLiteral("font: 75 14pt \"微软雅黑\";color: rgb(%1);").arg(skin));
}

void QuestionCellBase::attachWidgets(const Widgets &attached)
{
    widgets = attached;
    connect(widgets.note, &QPushButton::clicked, this, &QuestionCellBase::receiveNoteButton);
}

void QuestionCellBase::setStyle(const QString &skin)
{
    skinColor = skin;
    styleHeading(widgets.number, widgets.typeName, skin);
    for (QPushButton *button : qAsConst(widgets.outlined))
        button->setStyleSheet(style(false));
}

void QuestionCellBase::setKeyword(const QString &word)
{
    keyword = word;
}

void QuestionCellBase::setShowAnswerAtOnce(bool on)
{
    showAnswerAtOnce = on;
}

void QuestionCellBase::takeQuestion(const QuestionData &question)
{
    queId = question.queId;
    answer = question.answer;
    analysis = question.prompt;
    questionText = question.queText;
}

void QuestionCellBase::takeUserMarks(const QuestionData &question)
{
    note = question.userNote;
    showFavourite(question.userFav);
    showNoteState(!question.userNote.isEmpty());
}

QString QuestionCellBase::questionHtml(const QString &text) const
{
    const QString html = textHtml(text);
    return mode == BrowseMode ? SqliteClass::highlightKeyword(html, keyword) : html;
}

QString QuestionCellBase::textHtml(const QString &text)
{
    return store()->questionTextToHtml(text, 0);
}

bool QuestionCellBase::recordAnswer(const QString &answerText, int state, Recording when)
{
    const bool records = mode == PracticeMode || (mode == BrowseMode && when == Recording::PracticeAndBrowse);
    if (!records)
        return false;
    if (store()->recordAnswer(queId, answerText, QString::number(state), QStringLiteral("001")) != 0) {
        logStoreError();
        return false;
    }
    return true;
}

void QuestionCellBase::logStoreError()
{
    qDebug().noquote() << store()->lastErrorText();
}

void QuestionCellBase::showFavourite(bool on)
{
    favourite = on;
    widgets.mark->setText(on ? QStringLiteral("已收藏") : QStringLiteral("未收藏"));
    widgets.mark->setStyleSheet(style(on));
    widgets.mark->setChecked(on);
}

void QuestionCellBase::showNoteState(bool hasNote)
{
    widgets.note->setText(hasNote ? QStringLiteral("已有笔记") : QStringLiteral("添加笔记"));
    widgets.note->setStyleSheet(style(hasNote));
}

// A failed write changes nothing: the button never claims a favourite the
// bank does not hold.
void QuestionCellBase::on_pushButton_mark_clicked(bool)
{
    const bool wanted = !favourite;
    if (store()->setFavourite(queId, wanted ? 1 : 0) != 0) {
        logStoreError();
        widgets.mark->setChecked(favourite);
        return;
    }
    showFavourite(wanted);
}

void QuestionCellBase::on_pushButton_error_clicked()
{
    emit sendChangeError(errorKind, queId, questionText);
}

void QuestionCellBase::receiveNoteButton(bool)
{
    noteDialog = new NoteDialog;
    noteDialog->setSkinColor(skinColor);
    connect(noteDialog.data(), &NoteDialog::sendSaveNote, this, &QuestionCellBase::receiveSaveNote);
    if (store()->readNote(queId, note) != 0)
        logStoreError();
    noteDialog->show();
    placeNoteDialog();
    if (!note.isEmpty())
        noteDialog->setText(note);
}

// Just above and left of the pointer; moved inside the screen only where
// that place would leave it.
void QuestionCellBase::placeNoteDialog()
{
    const QPoint cursor = QCursor::pos();
    QRect place(QPoint(cursor.x() - noteDialog->width(), cursor.y() - noteDialog->height() - 10), noteDialog->size());
    QScreen *screen = QGuiApplication::screenAt(cursor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        if (!room.contains(place)) {
            place.moveLeft(qBound(room.left(), place.left(), qMax(room.left(), room.right() - place.width() + 1)));
            place.moveTop(qBound(room.top(), place.top(), qMax(room.top(), room.bottom() - place.height() + 1)));
        }
    }
    noteDialog->move(place.topLeft());
}

void QuestionCellBase::receiveSaveNote(QString str)
{
    if (store()->saveNote(queId, str) != 0) {
        logStoreError();
        return;
    }
    showNoteState(!str.isEmpty());
}
