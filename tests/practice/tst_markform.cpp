// The side row of the question list: its marks, kept state and title.
#include "MarkForm.h"

#include "Resources.h"

#include <QLabel>
#include <QPixmap>
#include <QtTest>

namespace {

QLabel *label(MarkForm &row, const char *name)
{
    return row.findChild<QLabel *>(QLatin1String(name));
}

const QString noMark = QStringLiteral("border-image: none;");
const QString rightMark = QStringLiteral("border-image: url(:/corvel/images/corvel/right_icon.png);");
const QString wrongMark = QStringLiteral("border-image: url(:/corvel/images/corvel/wrong_icon.png);");

} // namespace

class TestMarkForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void newRow();
    void stateIcon_data();
    void stateIcon();
    void favouriteAndNote();
    void marksAreDrawn();
    void titleAndTooltip_data();
    void titleAndTooltip();
};

void TestMarkForm::newRow()
{
    MarkForm row;
    QCOMPARE(row.size(), QSize(503, 30));
    QCOMPARE(row.state(), 0);
    QCOMPARE(label(row, "label_title")->text(), QStringLiteral("TextLabel"));
    for (const char *mark : {"label_questionstate", "label_ismark", "label_isnote"}) {
        QCOMPARE(label(row, mark)->styleSheet(), QString());
        QCOMPARE(label(row, mark)->size(), QSize(22, 22));
    }
}

void TestMarkForm::stateIcon_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("sheet");

    for (int before : {0, 1, 2}) {
        const QByteArray from = "after " + QByteArray::number(before) + ", ";
        QTest::newRow(from + "1") << before << 1 << 1 << rightMark;
        QTest::newRow(from + "2") << before << 2 << 2 << wrongMark;
        // An unanswered question shows no mark, whatever it showed before.
        QTest::newRow(from + "0") << before << 0 << 0 << noMark;
        QTest::newRow(from + "3") << before << 3 << 0 << noMark;
        QTest::newRow(from + "-1") << before << -1 << 0 << noMark;
    }
}

void TestMarkForm::stateIcon()
{
    QFETCH(int, before);
    QFETCH(int, state);
    QFETCH(int, kept);
    QFETCH(QString, sheet);
    MarkForm row;
    row.setStateIcon(before);
    row.setStateIcon(state);
    QCOMPARE(row.state(), kept);
    QCOMPARE(label(row, "label_questionstate")->styleSheet(), sheet);
    QCOMPARE(label(row, "label_ismark")->styleSheet(), QString());
}

void TestMarkForm::favouriteAndNote()
{
    MarkForm row;
    row.setFavoriteIcon(true);
    row.setNoteIcon(true);
    QCOMPARE(label(row, "label_ismark")->styleSheet(),
             QStringLiteral("border-image: url(:/corvel/images/corvel/favorite_icon.png);"));
    QCOMPARE(label(row, "label_isnote")->styleSheet(),
             QStringLiteral("border-image: url(:/corvel/images/corvel/write_icon.png);"));
    row.setFavoriteIcon(false);
    row.setNoteIcon(false);
    QCOMPARE(label(row, "label_ismark")->styleSheet(), noMark);
    QCOMPARE(label(row, "label_isnote")->styleSheet(), QStringLiteral("border-image:none;"));
    QCOMPARE(row.state(), 0);
}

// The four marks are real pictures with something drawn on them.
void TestMarkForm::marksAreDrawn()
{
    for (const char *name : {"favorite_icon", "write_icon", "right_icon", "wrong_icon"}) {
        const QImage image(QStringLiteral(":/corvel/images/corvel/%1.png").arg(QLatin1String(name)));
        QVERIFY2(!image.isNull(), name);
        QCOMPARE(image.size(), QSize(22, 22));
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
        QVERIFY2(inked > 20, name);
    }
}

void TestMarkForm::titleAndTooltip_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("short") << QStringLiteral("【1】.最可能的诊断是");
    QTest::newRow("long") << QStringLiteral("【12】.男，65岁，反复咳嗽、咳痰20年，气急5年，近一周咳嗽加重，痰呈黄色脓性，"
                                            "伴发热，最可能的诊断是下列哪一项");
}

// The tooltip holds the whole text; the label what fits, with an ellipsis
// where the text goes on.
void TestMarkForm::titleAndTooltip()
{
    QFETCH(QString, title);
    MarkForm row;
    row.resize(291, 30);
    row.setTitle(title);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QLabel *text = label(row, "label_title");
    QCOMPARE(text->toolTip(), title);
    const QString shown = text->text();
    if (text->fontMetrics().horizontalAdvance(title) <= text->contentsRect().width()) {
        QCOMPARE(shown, title);
    } else {
        QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
        QVERIFY2(title.startsWith(shown.chopped(1)), qPrintable(shown));
        QVERIFY(text->fontMetrics().horizontalAdvance(shown) <= text->contentsRect().width());
    }
    QVERIFY(shown.startsWith(title.left(4)));
}

QTEST_MAIN(TestMarkForm)
#include "tst_markform.moc"
