#include "MarkForm.h"
#include "ui_MarkForm.h"

#include <QEvent>

MarkForm::MarkForm(QWidget *parent) : QWidget(parent), ui(new Ui::MarkForm)
{
    ui->setupUi(this);
    title = ui->label_title->text();
    ui->label_title->installEventFilter(this);
}

MarkForm::~MarkForm()
{
    delete ui;
}

void MarkForm::setFavoriteIcon(bool on)
{
    ui->label_ismark->setStyleSheet(on ? QStringLiteral("border-image: url(:/corvel/images/corvel/favorite_icon.png);")
                                       : QStringLiteral("border-image: none;"));
}

void MarkForm::setNoteIcon(bool on)
{
    ui->label_isnote->setStyleSheet(on ? QStringLiteral("border-image: url(:/corvel/images/corvel/write_icon.png);")
                                       : QStringLiteral("border-image:none;"));
}

// The mark always shows the kept state: unchecking a question's last box
// makes it unanswered again, and a right or wrong mark would then lie.
void MarkForm::setStateIcon(int state)
{
    QString sheet = QStringLiteral("border-image: none;");
    if (state == 1)
        sheet = QStringLiteral("border-image: url(:/corvel/images/corvel/right_icon.png);");
    else if (state == 2)
        sheet = QStringLiteral("border-image: url(:/corvel/images/corvel/wrong_icon.png);");
    else
        state = 0;
    answerState = state;
    ui->label_questionstate->setStyleSheet(sheet);
}

void MarkForm::setTitle(const QString &text)
{
    title = text;
    ui->label_title->setToolTip(text);
    showTitle();
}

// The side list is narrower than most questions: the label would cut the
// text off mid-character with no sign that more follows.
void MarkForm::showTitle()
{
    QLabel *label = ui->label_title;
    const int room = label->contentsRect().width();
    label->setText(room > 0 ? label->fontMetrics().elidedText(title, Qt::ElideRight, room) : title);
}

bool MarkForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->label_title && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        showTitle();
    return QWidget::eventFilter(watched, event);
}
