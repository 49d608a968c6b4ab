#include "QuestionAnswerCellForm.h"
#include "ui_QuestionAnswerCellForm.h"

#include "SqliteClass.h"

namespace {

QString markImage(const char *name)
{
    return QStringLiteral(":/QuestionCell/images/QuestionCell/") + QLatin1String(name);
}

} // namespace

QuestionAnswerCellForm::QuestionAnswerCellForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::QuestionAnswerCellForm)
{
    ui->setupUi(this);
    ui->label_text->setWordWrap(true);
    connect(ui->label_text, &Inherit_QLabel::sendclick, this, &QuestionAnswerCellForm::receiveclick);
    connect(ui->label_icon, &Inherit_QLabel::sendclick, this, &QuestionAnswerCellForm::receiveclick);
}

QuestionAnswerCellForm::~QuestionAnswerCellForm()
{
    delete ui;
}

void QuestionAnswerCellForm::setRow(int newRow)
{
    row = newRow;
}

void QuestionAnswerCellForm::setChoiceKind(int kind)
{
    choiceKind = kind;
}

void QuestionAnswerCellForm::setChecked(int value)
{
    checked = value;
    static const char *const pictures[2][2] = {{"radiooff.png", "radioon.png"}, {"checkbox.png", "checkboxon.png"}};
    if ((checked != 0 && checked != 1) || (choiceKind != 0 && choiceKind != 1))
        return;
    ui->label_icon->setStyleSheet(QStringLiteral("image: url(%1);").arg(markImage(pictures[choiceKind][checked])));
}

int QuestionAnswerCellForm::isChecked() const
{
    return checked;
}

void QuestionAnswerCellForm::setMark(int mark, bool paint)
{
    if (mark == 1 || mark == 2) {
        if (paint)
            ui->label_right->setStyleSheet(
                QStringLiteral("border-image: url(%1);").arg(markImage(mark == 1 ? "right.png" : "error.png")));
        return;
    }
    ui->label_right->setStyleSheet(QStringLiteral("border-image: url();"));
}

int QuestionAnswerCellForm::setOptionText(const QString &text)
{
    SqliteClass *store = SqliteClass::instance();
    ui->label_text->setText(store->optionTextToHtml(text));
    return store->lastImageHeight();
}

void QuestionAnswerCellForm::receiveclick()
{
    emit sendclick(row);
}
