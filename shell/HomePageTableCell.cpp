#include "HomePageTableCell.h"
#include "ui_HomePageTableCell.h"

#include "Skin.h"
#include "SqliteClass.h"

HomePageTableCell::HomePageTableCell(QWidget *parent)
    : QWidget(parent), ui(new Ui::HomePageTableCell)
{
    ui->setupUi(this);
}

HomePageTableCell::~HomePageTableCell()
{
    delete ui;
}

void HomePageTableCell::setData(int row, const QString &parentName, const QString &chapterName,
                                const QString &questionText, const QDateTime &time)
{
    this->row = row;
    text = QStringLiteral("%1 > %2 > %3").arg(parentName, chapterName, SqliteClass::stripImageRefs(questionText));
    showText();
    ui->label_time->setText(time.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")));
}

void HomePageTableCell::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    laidOut = true;
    showText();
}

// Case texts run long: end them in "…" before the button rather than cut
// through a character. Until the cell's first resize event its label has no
// width of its own and shows the whole line.
void HomePageTableCell::showText()
{
    QLabel *label = ui->label_text;
    if (!laidOut) {
        label->setText(text);
        return;
    }
    label->ensurePolished();
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->contentsRect().width()));
}

void HomePageTableCell::setSkinColor(const QString &color)
{
    // "rgb()" would leave a white caption on no background at all.
    if (color.isEmpty())
        return;
    ui->pushButton_learn->setStyleSheet(
        QStringLiteral("QPushButton{border-image: none;border-radius:5px;background-color: rgb(%1);"
                       "color: rgb(255, 255, 255);font: 75 12pt \"微软雅黑\";}"
                       "QPushButton:hover{background-color: rgb(%2);}")
            .arg(color, skinHoverColor(color)));
}

void HomePageTableCell::on_pushButton_learn_clicked()
{
    emit sendTableCellData(row);
}
