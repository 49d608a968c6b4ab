// The image button's style sheets and page id.
#include "PushButton.h"

#include <QtTest>

namespace {

QString normalSheet(const QString &base)
{
    return QStringLiteral("QPushButton{background-color: transparent;border-image: url(%1_normal.png)}"
                          "QPushButton:hover{background-color: transparent;border-image: url(%1_hover.png)}")
        .arg(base);
}

QString selectedSheet(const QString &base)
{
    return QStringLiteral("QPushButton{border-image: url(%1_hover.png)}").arg(base);
}

const QString home = QStringLiteral(":/HomePage/images/HomePage/shouye");
const QString bank = QStringLiteral(":/HomePage/images/HomePage/tiku");

} // namespace

class TestPushButton : public QObject
{
    Q_OBJECT
private slots:
    void newButtonIsPlain()
    {
        QWidget form;
        form.setStyleSheet(QStringLiteral("QPushButton{color: red;}"));
        PushButton button(&form);
        button.setText(QStringLiteral("关闭"));
        QCOMPARE(button.styleSheet(), QString());
        QCOMPARE(button.text(), QStringLiteral("关闭"));
        QCOMPARE(button.id(), -1);
    }

    void imageBaseGivesNormalSheetAndHidesText()
    {
        PushButton button;
        button.setText(QStringLiteral("首页"));
        button.setImageName(home);
        QCOMPARE(button.styleSheet(), normalSheet(home));
        QCOMPARE(button.text(), QString());
    }

    void states_data()
    {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<QString>("expected");
        QTest::newRow("selected") << QList<int>{2} << selectedSheet(home);
        QTest::newRow("selected then normal") << QList<int>{2, 0} << normalSheet(home);
        QTest::newRow("unknown state leaves the form's look") << QList<int>{2, 1} << QString();
    }
    void states()
    {
        QFETCH(QList<int>, states);
        QFETCH(QString, expected);
        PushButton button;
        button.setImageName(home);
        for (int state : states)
            button.applyState(state);
        QCOMPARE(button.styleSheet(), expected);
    }

    void newImagesKeepTheSelection()
    {
        PushButton button;
        button.setImageName(home);
        button.applyState(2);
        button.setImageName(bank);
        QCOMPARE(button.styleSheet(), selectedSheet(bank));
        button.applyState(0);
        QCOMPARE(button.styleSheet(), normalSheet(bank));
    }

    void idIsTheLastSet()
    {
        PushButton button;
        button.setId(7);
        button.setId(12);
        QCOMPARE(button.id(), 12);
    }
};

QTEST_MAIN(TestPushButton)
#include "tst_pushbutton.moc"
