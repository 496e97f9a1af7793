#include "common/Documents.h"

#include "rtf/RtfReader.h"
#include "rtf/RtfTokenizer.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace
{

constexpr int kInputs = 20000;
constexpr int kEditedDocuments = 100;
constexpr quint32 kSeed = 20000707;

// Fragments that steer the reader into its corner cases when spliced into a document.
const QByteArrayList kTokens{"{",
                             "}",
                             "\\",
                             "\\'",
                             "\\'8",
                             "\\'81",
                             "\\'81\\'",
                             "\\u",
                             "\\u-",
                             "\\u12354",
                             "\\u99999999999",
                             "\\uc",
                             "\\uc2",
                             "\\uc99999999999",
                             "\\*",
                             "\\*\\x",
                             "{\\fonttbl",
                             "{\\f",
                             "\\f2",
                             "\\fs",
                             "\\fs0",
                             "\\fs-5",
                             "\\par",
                             "\\plain",
                             "\\pard",
                             "{\\fchars",
                             "{\\colortbl",
                             "\\bin",
                             "\\bin999999",
                             "\\bin3 ",
                             "\\{",
                             "\\}",
                             "\\\\",
                             "\\~",
                             "\\\r\n",
                             ";",
                             "\x81",
                             "\xff",
                             QByteArray(1, '\0'),
                             QByteArray(300, '{'),
                             QByteArray(300, '}')};

QByteArray randomBytes(QRandomGenerator &random, int length)
{
    QByteArray bytes(length, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// One random edit of input: flip, insert, delete, duplicate or cut.
void mutate(QRandomGenerator &random, QByteArray &input)
{
    const int size = int(input.size());
    const int at = size > 0 ? int(random.bounded(size)) : 0;
    switch (random.bounded(6)) {
    case 0:
        if (size > 0)
            input[at] = char(random.bounded(256));
        break;
    case 1:
        input.insert(at, kTokens.at(random.bounded(int(kTokens.size()))));
        break;
    case 2:
        input.insert(at, randomBytes(random, int(random.bounded(1, 16))));
        break;
    case 3:
        input.remove(at, random.bounded(1, 64));
        break;
    case 4:
        input.insert(at, input.mid(random.bounded(size + 1), random.bounded(1, 256)));
        break;
    default:
        input.truncate(at);
        break;
    }
}

// Pieces that are not text: inserted before any token, they must leave the text as it was.
const QByteArrayList kControlBytes{QByteArray(1, '\0'),
                                   "\x01",
                                   "\x08",
                                   "\x0b",
                                   "\x1a",
                                   "\x1f",
                                   "\x7f",
                                   "\r\n",
                                   "\\'00",
                                   "\\'01",
                                   "\\'0d",
                                   "\\'1a",
                                   "\\'1f",
                                   "\\'7f"};
// More pieces that a document without \\u and \\* reads past.
const QByteArrayList kNeutralInDocuments{"{}", "{\\*\\kelvoz {x}\\'82y}", "\\kelvoz "};

// The input with one of pieces inserted before each token, where choose says so.
QByteArray insertedBeforeTokens(QRandomGenerator &random, const QByteArray &input,
                                const QByteArrayList &pieces, int oneIn)
{
    QByteArray edited;
    qsizetype copied = 0;
    RtfTokenizer tokenizer(input);
    RtfTokenizer::Token token;
    while (tokenizer.next(token)) {
        if (random.bounded(oneIn) != 0)
            continue;
        edited += input.mid(copied, token.offset - copied);
        edited += pieces.at(random.bounded(int(pieces.size())));
        copied = token.offset;
    }
    return edited + input.mid(copied);
}

// What the reader must never do, whatever the input: leave a control character in the text,
// or make more text than the input has bytes, which would also mean work out of proportion.
QString faultOf(const QTextDocument &document, const QByteArray &input)
{
    if (document.characterCount() > input.size() + 1)
        return QStringLiteral("%1 characters from %2 bytes")
            .arg(document.characterCount())
            .arg(input.size());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (const QChar ch : block.text()) {
            if (ch.category() == QChar::Other_Control && ch != u'\t')
                return QStringLiteral("control character U+%1")
                    .arg(uint(ch.unicode()), 4, 16, QChar(u'0'));
        }
    }
    return {};
}

QString plainTextOf(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines.join(u'\n');
}

QByteArray printable(const QByteArray &input)
{
    return input.left(300).toPercentEncoding();
}

} // namespace

// Random and mutated documents, fonts by the thousand and groups past the depth limit.
class TestRtfFuzz : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void mutatedInputs();
    void documentsSurviveNeutralEdits_data();
    void documentsSurviveNeutralEdits();
    void manyFonts_data();
    void manyFonts();
    void deepGroups_data();
    void deepGroups();

private:
    QByteArrayList m_documents;
};

void TestRtfFuzz::initTestCase()
{
    m_documents = {kelvo::test::storedDocument("passline.rtf"),
                   kelvo::test::storedDocument("readme.rtf")};
    for (const QByteArray &document : m_documents)
        QVERIFY(!document.isEmpty());
}

// Every input reads without a fault, and control bytes before its tokens, written as they
// are or escaped, change nothing in its text.
void TestRtfFuzz::mutatedInputs()
{
    QRandomGenerator random(kSeed);
    QTextDocument document;
    RtfReader reader(&document);
    for (int run = 0; run < kInputs; ++run) {
        QByteArray input;
        if (run % 4 == 0) {
            input = randomBytes(random, int(random.bounded(1, 512)));
        } else {
            // Mostly small cut-outs of the documents keep each read short; every 50th input
            // is a whole document.
            const QByteArray &seed = m_documents.at(run % 2);
            const int length = run % 50 == 1 ? int(seed.size()) : int(random.bounded(16, 2048));
            input = seed.mid(random.bounded(int(seed.size())), length);
            if (run % 3 == 0)
                input.prepend(seed.left(600)); // the header with its tables
            for (int edits = int(random.bounded(1, 12)); edits > 0; --edits)
                mutate(random, input);
        }
        reader.read(input);
        const QString fault = faultOf(document, input);
        QVERIFY2(fault.isEmpty(),
                 qPrintable(fault + QLatin1String(": ") + QLatin1String(printable(input))));
        const QString text = plainTextOf(document);

        const QByteArray edited = insertedBeforeTokens(random, input, kControlBytes, 3);
        reader.read(edited);
        QVERIFY2(plainTextOf(document) == text, printable(edited).constData());
    }
}

void TestRtfFuzz::documentsSurviveNeutralEdits_data()
{
    QTest::addColumn<int>("document");
    QTest::newRow("pass line") << 0;
    QTest::newRow("readme") << 1;
}

void TestRtfFuzz::documentsSurviveNeutralEdits()
{
    QFETCH(int, document);
    const QByteArray &original = m_documents.at(document);
    const QString text = RtfReader::plainText(original);
    QVERIFY(text.size() > 1000);
    QRandomGenerator random(kSeed + document);
    for (int run = 0; run < kEditedDocuments; ++run) {
        const QByteArray edited = insertedBeforeTokens(
            random, original, kControlBytes + kNeutralInDocuments, int(random.bounded(1, 20)));
        QCOMPARE(RtfReader::plainText(edited), text);
    }
}

void TestRtfFuzz::manyFonts_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("grouped");
    QTest::newRow("one") << 1 << true;
    QTest::newRow("300 flat") << 300 << false;
    QTest::newRow("20000 grouped") << 20000 << true;
    QTest::newRow("20000 flat") << 20000 << false;
}

// A table of count fonts each used once: every run has the family of its own font.
void TestRtfFuzz::manyFonts()
{
    QFETCH(int, count);
    QFETCH(bool, grouped);
    QByteArray rtf = "{\\rtf1\\deff0{\\fonttbl";
    for (int i = 0; i < count; ++i) {
        const QByteArray entry =
            "\\f" + QByteArray::number(i) + " Font " + QByteArray::number(i) + ";";
        rtf += grouped ? "{" + entry + "}" : entry;
    }
    rtf += "}";
    // Used in an order of their own, so that no mix-up of table and use goes unseen.
    for (int n = 0; n < count; ++n) {
        const int i = int((qint64(n) * 7919) % count);
        rtf += "\\f" + QByteArray::number(i) + " " + QByteArray::number(i) + ",";
    }
    rtf += "}";

    QTextDocument document;
    RtfReader(&document).read(rtf);
    QCOMPARE(document.blockCount(), 1);
    int runs = 0;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QStringList numbers = fragment.text().split(u',', Qt::SkipEmptyParts);
        QCOMPARE(numbers.size(), 1);
        QCOMPARE(fragment.charFormat().fontFamilies().toStringList(),
                 QStringList{u"Font "_qs + numbers.first()});
        ++runs;
    }
    QCOMPARE(runs, count);
}

void TestRtfFuzz::deepGroups_data()
{
    QTest::addColumn<int>("depth");
    for (int depth :
         {RtfReader::kMaxDepth - 1, RtfReader::kMaxDepth, RtfReader::kMaxDepth + 1, 100000})
        QTest::addRow("%d", depth) << depth;
}

// Groups nested depth deep, the document's group being the first, with a character at each
// level on the way in and on the way out, in a size that tells its level. Levels past
// kMaxDepth are left out with all they hold; every other level keeps its size.
void TestRtfFuzz::deepGroups()
{
    QFETCH(int, depth);
    QByteArray rtf = "{\\rtf1\\fs2 x";
    QList<qreal> expected{1};
    for (int level = 2; level <= depth; ++level) {
        rtf += "{\\fs" + QByteArray::number(2 * level) + " x";
        if (level <= RtfReader::kMaxDepth)
            expected << level;
    }
    for (int level = depth; level > 1; --level) {
        rtf += "}x";
        if (level - 1 <= RtfReader::kMaxDepth)
            expected << level - 1;
    }
    rtf += "}";

    QTextDocument document;
    RtfReader(&document).read(rtf);
    QList<qreal> sizes;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        for (qsizetype i = 0; i < it.fragment().length(); ++i)
            sizes << it.fragment().charFormat().fontPointSize();
    }
    QCOMPARE(document.toPlainText(), QString(expected.size(), u'x'));
    QCOMPARE(sizes, expected);
}

QTEST_MAIN(TestRtfFuzz)
#include "tst_rtffuzz.moc"
