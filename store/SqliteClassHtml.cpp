#include "SqliteClass.h"

#include <QImage>
#include <QRegularExpression>

namespace {

// An image file name in square brackets. The run before the extension may
// hold "]" but no "(", ")" or "[", so a match ends at the last image name
// before the next bracket or parenthesis; other extensions and other letter
// cases are plain text.
const QRegularExpression imageRefPattern(
    QStringLiteral("\\[[^(\\[)]*\\.(jpg|gif|png|JPG|GIF|PNG|bmp|BMP)\\]"));

// Pictures up to this height sit inside the line.
const int inlineImageMaxHeight = 100;

const QString lineBreak = QStringLiteral("<br>");

// The distinct image references of text, in order of first appearance.
QStringList imageReferences(const QString &text)
{
    QStringList references;
    QRegularExpressionMatchIterator matches = imageRefPattern.globalMatch(text);
    while (matches.hasNext()) {
        const QString reference = matches.next().captured();
        if (!references.contains(reference))
            references << reference;
    }
    return references;
}

// Replaces every image reference by an HTML image from the bank's "images"
// folder; tall pictures go on a line of their own. A missing or unreadable
// file measures 0 and stays inline. Gives the height of the last distinct
// reference (0 without any) through lastHeight.
QString placeImages(QString text, const QString &bankDir, int *lastHeight = nullptr)
{
    int height = 0;
    for (const QString &reference : imageReferences(text)) {
        const QString path = QStringLiteral("%1images/%2").arg(bankDir, reference.mid(1, reference.size() - 2));
        height = QImage(path).height();
        const QString image = QStringLiteral("<img src=\"%1\" />").arg(path);
        text.replace(reference, height <= inlineImageMaxHeight ? image : QStringLiteral("<br><br/>") + image);
    }
    if (lastHeight)
        *lastHeight = height;
    return text;
}

// Line feeds as HTML breaks; carriage returns dropped.
QString breakLines(QString text)
{
    return text.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), lineBreak);
}

// The review lists keep one grey item text whatever the skin.
QString listStyle(const char *sheet)
{
    return QString::fromUtf8(sheet).replace(QLatin1String("%1"), QLatin1String("91,91,91,255"));
}

} // namespace

QString SqliteClass::questionTextToHtml(const QString &text, int) const
{
    QString html = breakLines(placeImages(text, databaseDir()));
    if (html.endsWith(lineBreak))
        html.chop(lineBreak.size());
    return html;
}

QString SqliteClass::optionTextToHtml(const QString &text)
{
    // The files are read outside the lock: conversions touch no database.
    int height = 0;
    QString html = placeImages(text, databaseDir(), &height);
    {
        const StoreLocker locker(storeMutex);
        imageHeight = height;
    }
    return html.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

QString SqliteClass::reportImagesToHtml(const QString &html) const
{
    return placeImages(html, databaseDir());
}

QString SqliteClass::highlightKeyword(const QString &text, const QString &keyword)
{
    if (keyword.isEmpty())
        return text;

    // The keyword is literal text, painted only between tags so that a
    // keyword such as "img" cannot break the markup. A tag opens with a
    // letter, "/" or "!": the "<" and ">" of values such as "<3.9" are text.
    static const QRegularExpression tag(QStringLiteral("<[A-Za-z/!][^>]*>"));
    const QString painted = QStringLiteral("<font color=\"#FF0000\">%1</font>").arg(keyword.toHtmlEscaped());
    QString html;
    int from = 0;
    QRegularExpressionMatchIterator tags = tag.globalMatch(text);
    while (tags.hasNext()) {
        const QRegularExpressionMatch match = tags.next();
        html += text.mid(from, match.capturedStart() - from).replace(keyword, painted);
        html += match.captured();
        from = match.capturedEnd();
    }
    html += text.mid(from).replace(keyword, painted);
    return breakLines(html);
}

QString SqliteClass::stripImageRefs(const QString &text)
{
    QString stripped = text;
    for (const QString &reference : imageReferences(text))
        stripped.remove(reference);
    return stripped;
}

QString SqliteClass::tableWidgetStyle(const QString &)
{
    return listStyle(
        "QTableWidget{  border:0px;font: 75 12pt \"微软雅黑\";}"
        "QHeaderView::section{border:0px;min-height:35px;font: 75 12pt \"微软雅黑\";}"
        "QTableWidget::item {color: rgb(%1);border-bottom:1px solid rgb(230,230,230,255);}"
        "QTableWidget::item:hover {background-color: rgb(240, 240, 240,125);color: rgb(%1);}"
        "QTableWidget::item:selected {background-color: rgb(240,240,240,125);color: rgb(%1);}");
}

QString SqliteClass::treeWidgetStyle(const QString &)
{
    return listStyle(
        "QTreeWidget{border:0px;font: 75 12pt \"微软雅黑\";}"
        "QTreeWidget::item {font: 75 12pt \"微软雅黑\";color: rgb(%1);border:0px;min-height:35px;"
        " border-bottom:1px solid rgb(230,230,230,255);}"
        "QTreeWidget::item:hover { background-color: rgb(240, 240, 240,125);color: rgb(%1);}"
        " QTreeWidget::item:selected { background-color: rgb(240,240,240,125);color: rgb(%1);}");
}
