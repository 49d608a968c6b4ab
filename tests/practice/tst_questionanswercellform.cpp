// The option row and its clickable label.
#include "QuestionAnswerCellForm.h"

#include "CellFixture.h"
#include "Inherit_QLabel.h"
#include "Resources.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QLabel *label(QWidget *row, const QString &name)
{
    return row->findChild<QLabel *>(name);
}

QString iconStyle(QWidget *row)
{
    return label(row, QStringLiteral("label_icon"))->styleSheet();
}

QString markStyle(QWidget *row)
{
    return label(row, QStringLiteral("label_right"))->styleSheet();
}

const QString rightMark = QStringLiteral("border-image: url(:/QuestionCell/images/QuestionCell/right.png);");
const QString wrongMark = QStringLiteral("border-image: url(:/QuestionCell/images/QuestionCell/error.png);");
const QString noMark = QStringLiteral("border-image: url();");

} // namespace

class TestQuestionAnswerCellForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void look()
    {
        QuestionAnswerCellForm row;
        QCOMPARE(row.size(), QSize(655, 48));
        QCOMPARE(row.focusPolicy(), Qt::NoFocus);
        QCOMPARE(label(&row, QStringLiteral("label_right"))->size(), QSize(22, 22));
        QCOMPARE(label(&row, QStringLiteral("label_icon"))->maximumWidth(), 16);
        QVERIFY(qobject_cast<Inherit_QLabel *>(label(&row, QStringLiteral("label_text"))));
        QVERIFY(label(&row, QStringLiteral("label_text"))->wordWrap());
        // Before the first setChecked: the empty check box, whatever the kind.
        row.setChoiceKind(0);
        QCOMPARE(iconStyle(&row), QStringLiteral("image: url(:/QuestionCell/images/QuestionCell/checkbox.png);"));
    }

    void clicksReportTheRow_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("reports");
        for (const char *target : {"label_icon", "label_text"}) {
            QTest::newRow(QByteArray(target) + ", left") << target << int(Qt::LeftButton) << 1;
            QTest::newRow(QByteArray(target) + ", right") << target << int(Qt::RightButton) << 1;
            QTest::newRow(QByteArray(target) + ", middle") << target << int(Qt::MiddleButton) << 1;
        }
        QTest::newRow("answer mark") << "label_right" << int(Qt::LeftButton) << 0;
        QTest::newRow("row margin") << "" << int(Qt::LeftButton) << 0;
    }
    void clicksReportTheRow()
    {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(int, reports);
        QuestionAnswerCellForm row;
        row.setRow(3);
        row.show();
        QSignalSpy spy(&row, &QuestionAnswerCellForm::sendclick);
        QWidget *on = target.isEmpty() ? static_cast<QWidget *>(&row) : label(&row, target);
        QTest::mouseClick(on, Qt::MouseButton(button), Qt::NoModifier, target.isEmpty() ? QPoint(2, 2) : QPoint());
        // Reported once the release is done with.
        QCOMPARE(spy.count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(spy.count(), reports);
        if (reports)
            QCOMPARE(spy.at(0).at(0).toInt(), 3);
    }

    // Leaving the label between press and release cancels the click.
    void leavingCancelsTheClick()
    {
        Inherit_QLabel text;
        text.show();
        QSignalSpy spy(&text, &Inherit_QLabel::sendclick);
        QTest::mousePress(&text, Qt::LeftButton);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&text, &leave);
        QTest::mouseRelease(&text, Qt::LeftButton);
        QTest::mouseRelease(&text, Qt::LeftButton);   // a release without a press
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(spy.count(), 0);
    }

    // The events go on to the widgets behind the label.
    void eventsAreLeftUnaccepted()
    {
        Inherit_QLabel text;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&text, &press);
        QVERIFY(!press.isAccepted());
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&text, &release);
        QVERIFY(!release.isAccepted());
    }

    void selectionMark_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("picture");
        QTest::newRow("radio off") << 0 << 0 << "radiooff.png";
        QTest::newRow("radio on") << 0 << 1 << "radioon.png";
        QTest::newRow("box off") << 1 << 0 << "checkbox.png";
        QTest::newRow("box on") << 1 << 1 << "checkboxon.png";
    }
    void selectionMark()
    {
        QFETCH(int, kind);
        QFETCH(int, checked);
        QFETCH(QString, picture);
        QuestionAnswerCellForm row;
        row.setChoiceKind(kind);
        row.setChecked(checked);
        QCOMPARE(row.isChecked(), checked);
        QCOMPARE(iconStyle(&row), QStringLiteral("image: url(:/QuestionCell/images/QuestionCell/%1);").arg(picture));
        row.setChecked(2);   // kept, the picture stays
        QCOMPARE(row.isChecked(), 2);
        QCOMPARE(iconStyle(&row), QStringLiteral("image: url(:/QuestionCell/images/QuestionCell/%1);").arg(picture));
    }

    void answerMark_data()
    {
        QTest::addColumn<QList<int>>("marks");   // mark, paint, mark, paint, ...
        QTest::addColumn<QString>("shown");
        QTest::newRow("right") << QList<int>{1, 1} << rightMark;
        QTest::newRow("wrong") << QList<int>{2, 1} << wrongMark;
        QTest::newRow("not painted") << QList<int>{1, 0} << QString();
        QTest::newRow("wrong, then right unpainted") << QList<int>{2, 1, 1, 0} << wrongMark;
        QTest::newRow("wrong, then cleared unpainted") << QList<int>{2, 1, 0, 0} << noMark;
        QTest::newRow("right, then wrong") << QList<int>{1, 1, 2, 1} << wrongMark;
        QTest::newRow("another mark clears") << QList<int>{1, 1, 5, 1} << noMark;
    }
    void answerMark()
    {
        QFETCH(QList<int>, marks);
        QFETCH(QString, shown);
        QuestionAnswerCellForm row;
        for (int i = 0; i + 1 < marks.size(); i += 2)
            row.setMark(marks[i], marks[i + 1] != 0);
        QCOMPARE(markStyle(&row), shown);
    }

    void optionText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("shown");
        QTest::newRow("last distinct picture counts") << "[img50.png][img150.png][img50.png]" << 150 << "";
        QTest::newRow("reversed") << "[img150.png][img50.png][img150.png]" << 50 << "";
        QTest::newRow("no picture") << "A.吸烟" << 0 << "A.吸烟";
        QTest::newRow("line feed joins") << "a\nb" << 0 << "ab";
        QTest::newRow("missing picture") << "E.[missing.png]" << 0 << "";
    }
    void optionText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        CellFixture bank;
        QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
        QuestionAnswerCellForm row;
        QTEST(row.setOptionText(text), "height");
        if (!shown.isEmpty())
            QCOMPARE(label(&row, QStringLiteral("label_text"))->text(), shown);
        else
            QVERIFY(label(&row, QStringLiteral("label_text"))->text().contains(QLatin1String("<img src=")));
    }
};

QTEST_MAIN(TestQuestionAnswerCellForm)
#include "tst_questionanswercellform.moc"
