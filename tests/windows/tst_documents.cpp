#include "common/Documents.h"
#include "common/KelvoTest.h"

#include "rtf/RtfReader.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

using kelvo::test::cellsOf;
using kelvo::test::cellWidth;
using kelvo::test::storedDocument;

namespace
{

const QChar kIdeo(0x3000);

struct Column {
    int cell;
    QString text;
};

bool isBlank(QChar ch)
{
    return ch == kIdeo || ch == QLatin1Char(' ');
}

// The runs of non-blank text of line with the cell each starts at. Fails the test when a
// gap is made of anything but full-width spaces and at most one half-width space.
QList<Column> columnsOf(const QString &line)
{
    QList<Column> columns;
    int cell = 0;
    int halfSpaces = 0;
    for (QChar ch : line) {
        if (isBlank(ch)) {
            halfSpaces += ch == QLatin1Char(' ');
            if (halfSpaces > 1)
                QTest::qFail(qPrintable(QStringLiteral("two half-width spaces in a gap: ") + line),
                             __FILE__, __LINE__);
        } else {
            if (!columns.isEmpty() && cell == columns.last().cell + cellsOf(columns.last().text))
                columns.last().text += ch;
            else
                columns.append({cell, QString(ch)});
            halfSpaces = 0;
        }
        cell += cellWidth(ch);
    }
    return columns;
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void header_data();
    void header();
    void everyRunIsGothic9_data();
    void everyRunIsGothic9();
    void passLineLines();
    void passLineColumns();
    void readmeLines();
};

void TestDocuments::header_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("pass line") << QByteArray("passline.rtf");
    QTest::newRow("readme") << QByteArray("readme.rtf");
}

void TestDocuments::header()
{
    QFETCH(QByteArray, name);
    const QByteArray rtf = storedDocument(name.constData());
    QVERIFY(!rtf.isEmpty());
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0\\deftab720{\\fonttbl"));
    QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
                         "{\\f2\\fmodern\\fcharset128 \\'82\\'6c\\'82\\'72 "
                         "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"));
    QVERIFY(rtf.contains("{\\colortbl\\red0\\green0\\blue0;}"));
    QVERIFY(rtf.contains("{\\fchars "));
    QVERIFY(rtf.contains("{\\lchars "));
    QVERIFY(rtf.contains("\\deflang1041\\pard\\plain\\f2\\fs18 "));
    QCOMPARE(rtf.count("\\plain"), 1);
    QCOMPARE(rtf.count("\\f2"), 2); // its table entry and its one use
    QVERIFY(!rtf.contains("\\u"));
    for (char byte : rtf)
        QVERIFY2(uchar(byte) < 0x80, "non-ASCII text must be written as escapes");
    QVERIFY(rtf.trimmed().endsWith("\\par\r\n}"));
}

void TestDocuments::everyRunIsGothic9_data()
{
    header_data();
}

void TestDocuments::everyRunIsGothic9()
{
    QFETCH(QByteArray, name);
    QTextDocument document;
    RtfReader(&document).read(storedDocument(name.constData()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QList<QTextCharFormat> formats{block.charFormat()};
        for (auto it = block.begin(); !it.atEnd(); ++it)
            formats << it.fragment().charFormat();
        for (const QTextCharFormat &format : formats) {
            QCOMPARE(format.fontFamilies().toStringList(), QStringList{u"ＭＳ ゴシック"_qs});
            QCOMPARE(format.fontPointSize(), 9.0);
            QVERIFY(!format.hasProperty(QTextFormat::FontWeight));
            QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
        }
    }
}

void TestDocuments::passLineLines()
{
    const QStringList lines = RtfReader::plainText(storedDocument("passline.rtf")).split(u'\n');
    QCOMPARE(lines.size(), 127);
    QVERIFY(lines.at(1).isEmpty());
    QCOMPARE(cellsOf(lines.at(0)), 124);
    int widest = 0;
    for (const QString &line : lines) {
        widest = std::max(widest, cellsOf(line));
        for (QChar ch : line) // half-width: only the A and B of subject names, and blanks
            QVERIFY2(cellWidth(ch) == 2 || ch == u'A' || ch == u'B' || ch == u' ',
                     qPrintable(line));
    }
    QCOMPARE(widest, 124);
    for (int entry = 0; entry < 21; ++entry) {
        const int first = 2 + entry * 6;
        if (entry > 0)
            QVERIFY(lines.at(first - 1).isEmpty());
        QCOMPARE(cellsOf(lines.at(first)), 120);
    }
    const QString firstRate = columnsOf(lines.at(2)).last().text;
    const QString lastRate = columnsOf(lines.at(122)).last().text;
    QCOMPARE(firstRate, u"８０．３％"_qs);
    QCOMPARE(lastRate, u"９４．０％"_qs);
    QCOMPARE(lines.at(126), QString(17, kIdeo) + u"外"_qs);
}

// The columns of every line. The texts themselves are the generator's (scripts/
// make-documents.py), and the test kelvo_documents checks that the committed documents are
// what it writes.
void TestDocuments::passLineColumns()
{
    const QStringList lines = RtfReader::plainText(storedDocument("passline.rtf")).split(u'\n');
    const auto cellsOfColumns = [](const QList<Column> &columns) {
        QList<int> cells;
        for (const Column &c : columns)
            cells << c.cell;
        return cells;
    };

    QCOMPARE(cellsOfColumns(columnsOf(lines.at(0))), (QList<int>{2, 20, 38, 100}));
    QCOMPARE(columnsOf(lines.at(0)).constLast().text, u"合格ライン（１科目平均）"_qs);
    QStringList universities, faculties;
    for (int entry = 0; entry < 21; ++entry) {
        const int at = 2 + entry * 6;
        QList<Column> first = columnsOf(lines.at(at));
        // The university's name in the first of its three entries only.
        QCOMPARE(first.constFirst().cell == 4, entry % 3 == 0);
        if (entry % 3 == 0)
            universities << first.takeFirst().text;
        QCOMPARE(cellsOfColumns(first), (QList<int>{22, 34, 38, 42, 110}));
        faculties << first.at(0).text;
        QCOMPARE(first.at(1).text + first.at(3).text, u"国国語Ⅰ・Ⅱ"_qs);
        QVERIFY2(first.at(4).text.endsWith(u'％'), qPrintable(lines.at(at)));
        // The social studies: label, dash and requirement from cell 34, one full-width space
        // apart.
        const QList<Column> social = columnsOf(lines.at(at + 1));
        QCOMPARE(social.size(), 3);
        const int dash = 34 + cellsOf(social.at(0).text) + 2;
        QCOMPARE(cellsOfColumns(social), (QList<int>{34, dash, dash + 4}));
        QCOMPARE(social.at(1).text, u"―"_qs);
        for (int line = 2; line <= 3; ++line) {
            const QList<Column> subject = columnsOf(lines.at(at + line));
            QCOMPARE(cellsOfColumns(subject), (QList<int>{34, 38, 42}));
            QCOMPARE(subject.at(0).text, line == 2 ? u"数"_qs : u"理"_qs);
        }
        const QList<Column> foreign = columnsOf(lines.at(at + 4));
        QCOMPARE(cellsOfColumns(foreign), QList<int>{34});
        QCOMPARE(foreign.at(0).text, u"外"_qs);
        // Columns are filled with full-width spaces: no half-width blank anywhere.
        for (int line = at; line < at + 5; ++line)
            QVERIFY(!lines.at(line).contains(u' '));
    }
    QCOMPARE(universities, (QStringList{u"北海道"_qs, u"東北"_qs, u"東京"_qs, u"名古屋"_qs,
                                        u"京都"_qs, u"大阪"_qs, u"九州"_qs}));
    QCOMPARE(faculties.mid(0, 3), (QStringList{u"法"_qs, u"工"_qs, u"医"_qs}));
    QCOMPARE(QString(faculties.join(QString())), QString(u"法工医"_qs.repeated(7)));
}

void TestDocuments::readmeLines()
{
    // 73 lines; each heading (★) followed by an empty line; the date last. The file list
    // lines up: "・" at cell 16, the opening parenthesis at cell 34, sizes ending and dates
    // starting in one column; it names the chime the program plays.
    const QStringList lines = RtfReader::plainText(storedDocument("readme.rtf")).split(u'\n');
    QCOMPARE(lines.size(), 73);
    QCOMPARE(lines.constFirst(), QString(10, kIdeo));
    QCOMPARE(lines.constLast(), QString(14, u' ') + u"2000/07/吉日"_qs);
    QCOMPARE(lines.filter(QRegularExpression(u"^★"_qs)).size(), 5);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).startsWith(u'★'))
            QVERIFY2(lines.at(i + 1).isEmpty(), qPrintable(lines.at(i)));

    const QStringList files = lines.filter(QRegularExpression(u"^　{8}・"_qs));
    QCOMPARE(files.size(), 9);
    QCOMPARE(files.filter(u"・"_qs + QStringLiteral(KELVO_CHIME) + u' ').size(), 1);
    for (const QString &line : files) {
        qsizetype open = line.indexOf(u'(');
        if (open < 0)
            open = line.indexOf(u'（');
        QCOMPARE(cellsOf(line.left(open)), 34);
        if (line == files.constLast())
            continue; // the readme itself has no size or date
        QCOMPARE(cellsOf(line.left(line.indexOf(u"KB"_qs) + 2)), 42);
        QCOMPARE(cellsOf(line.left(line.indexOf(u'/') - 2)), 46);
    }
}

KELVO_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
