#include "NewTalkExamCell.h"
#include "ui_NewTalkExamCell.h"

#include "LabelForm.h"

NewTalkExamCell::NewTalkExamCell(QWidget *parent)
    : QWidget(parent), ui(new Ui::NewTalkExamCell)
{
    ui->setupUi(this);
}

NewTalkExamCell::~NewTalkExamCell()
{
    while (!buttons.isEmpty())
        delete buttons.takeFirst();
    delete ui;
}

void NewTalkExamCell::setTitle(const QString &title)
{
    ui->label_title->setText(title);
}

void NewTalkExamCell::setSectionIndex(int index)
{
    sectionIndex = index;
}

void NewTalkExamCell::setPendingNumber(const QString &number)
{
    pendingNumber = number;
}

void NewTalkExamCell::addNumber(int id)
{
    const int placed = ui->gridLayout->count();
    auto *label = new LabelForm;
    connect(label, SIGNAL(sendClecked(int,QString)), this, SLOT(receiveLabelForm(int,QString)));
    label->setId(id);
    label->setNumberText(pendingNumber);
    ui->gridLayout->addWidget(label, placed / columns, placed % columns, 1, 1);
    buttons.append(label);
    label->setState(0);
}

int NewTalkExamCell::questionCount() const
{
    return buttons.size();
}

LabelForm *NewTalkExamCell::button(int k) const
{
    return buttons.value(k, nullptr);
}

void NewTalkExamCell::clickNumber(int k)
{
    if (LabelForm *label = button(k))
        label->click();
}

void NewTalkExamCell::setNumberState(int k, int state)
{
    if (LabelForm *label = button(k))
        label->setState(state);
}

QStringList NewTalkExamCell::unansweredNumbers() const
{
    QStringList numbers;
    for (const LabelForm *label : buttons)
        if (label->state() == 0)
            numbers.append(label->text());
    return numbers;
}

QString NewTalkExamCell::firstNumberText() const
{
    return buttons.isEmpty() ? QString() : buttons.first()->text();
}

QString NewTalkExamCell::lastNumberText() const
{
    return buttons.isEmpty() ? QString() : buttons.last()->text();
}

void NewTalkExamCell::receiveLabelForm(int id, QString number)
{
    emit sendNewTalkExam(sectionIndex, id, number);
}

void NewTalkExamCell::on_toolButton_clicked(bool checked)
{
    ui->widget_2->setVisible(!checked);
    ui->toolButton->setIcon(QIcon(checked ? QStringLiteral(":/machine/images/machine/arrow_up.png")
                                          : QStringLiteral(":/machine/images/machine/arrow_down.png")));
}
