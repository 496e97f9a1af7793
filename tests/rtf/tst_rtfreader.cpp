#include "rtf/RtfReader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace
{

const QByteArray kFontTable = "{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
                              "{\\f1\\froman\\fcharset2 Symbol;}"
                              "{\\f2\\fmodern\\fcharset128 "
                              "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}";

QByteArray nested(int depth, const QByteArray &inner)
{
    return QByteArray(depth, '{') + inner + QByteArray(depth, '}');
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void malformed_data();
    void malformed();
    void controlCharacters_data();
    void controlCharacters();
    void fonts();
    void fontNames_data();
    void fontNames();
    void emptyParagraphsKeepTheirFormat();
    void readingAgainReplacesTheText();
    void decoderIsAvailable();
};

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 Hello\\par World\\par}")
                                << QStringLiteral("Hello\nWorld");
    QTest::newRow("final mark adds no line")
        << QByteArray("{\\rtf1 a\\par\\par}") << QStringLiteral("a\n");
    QTest::newRow("empty lines kept")
        << QByteArray("{\\rtf1 \\par\\par a\\par}") << QStringLiteral("\n\na");
    QTest::newRow("line breaks in the source are not text")
        << QByteArray("{\\rtf1 a\r\nb\\par\r\nc}") << QStringLiteral("ab\nc");
    QTest::newRow("delimiter space is eaten, the next is kept")
        << QByteArray("{\\rtf1\\par  x}") << QStringLiteral("\n x");

    // Code page 932: double-byte characters arrive as two escapes.
    QTest::newRow("double-byte escapes")
        << QByteArray("{\\rtf1 \\'81\\'5c\\'87\\'54\\'87\\'40\\'81\\'60\\'81\\'5b}")
        << QStringLiteral("―Ⅰ①～ー");
    QTest::newRow("trail byte is a backslash")
        << QByteArray("{\\rtf1 \\'81\\'5c\\\\}") << QStringLiteral("―\\");
    QTest::newRow("ideographic space and kana")
        << QByteArray("{\\rtf1 \\'81\\'40\\'82\\'a0A\\'a1}") << QStringLiteral("\u3000あA｡");
    QTest::newRow("raw code-page bytes")
        << QByteArray("{\\rtf1 \x82\xa0\x8a\xbf}") << QStringLiteral("あ漢");
    QTest::newRow("split over an unchanged group")
        << QByteArray("{\\rtf1 \\'82{\\'a0}}") << QStringLiteral("あ");
    QTest::newRow("lead byte cut off by a size change")
        << QByteArray("{\\rtf1 \\'82\\fs20 A}") << QStringLiteral("\uFFFDA");
    QTest::newRow("lead byte cut off by a paragraph")
        << QByteArray("{\\rtf1 \\'82\\par B}") << QStringLiteral("\uFFFD\nB");
    QTest::newRow("lead byte at the end")
        << QByteArray("{\\rtf1 x\\'82}") << QStringLiteral("x\uFFFD");
    QTest::newRow("bytes the code page does not map")
        << QByteArray("{\\rtf1 a\\'80b\x80"
                      "c\\'a0\\'fd\\'ff}")
        << QStringLiteral("a\uFFFDb\uFFFDc\uFFFD\uFFFD\uFFFD");
    QTest::newRow("lead byte with a byte that cannot follow")
        << QByteArray("{\\rtf1 \\'81\\'20x}") << QStringLiteral("\uFFFD x");

    // \u with its fallback characters.
    QTest::newRow("u with one fallback")
        << QByteArray("{\\rtf1\\uc1\\u12354?x}") << QStringLiteral("あx");
    QTest::newRow("u default skips one")
        << QByteArray("{\\rtf1\\u12354 ?x}") << QStringLiteral("あx");
    QTest::newRow("u with double-byte fallback")
        << QByteArray("{\\rtf1\\uc2\\u12354\\'82\\'a0x}") << QStringLiteral("あx");
    QTest::newRow("uc0 skips nothing")
        << QByteArray("{\\rtf1\\uc0\\u12354 x}") << QStringLiteral("あx");
    QTest::newRow("negative u") << QByteArray("{\\rtf1\\u-3913?}")
                                << QString(QChar(char16_t(0xF0B7)));
    QTest::newRow("uc is scoped to its group")
        << QByteArray("{\\rtf1{\\uc2 }\\u12354?x}") << QStringLiteral("あx");
    QTest::newRow("group end stops skipping")
        << QByteArray("{\\rtf1\\uc5{\\u12354?}x}") << QStringLiteral("あx");
    QTest::newRow("huge uc") << QByteArray("{\\rtf1{\\uc99999999999\\u12354 abc}def}")
                             << QStringLiteral("あdef");
    QTest::newRow("u out of range")
        << QByteArray("{\\rtf1\\u99999999999 ?y}") << QStringLiteral("\uFFFDy");

    // What is not text.
    QTest::newRow("skipped destinations")
        << QByteArray("{\\rtf1" + kFontTable +
                      "{\\colortbl\\red0\\green0\\blue0;}{\\fchars !),.}{\\lchars ([}"
                      "{\\*\\generator Foo;}{\\*\\unknown{\\nested bar}}{\\info{\\title T}}ok}")
        << QStringLiteral("ok");
    QTest::newRow("text after a skipped group")
        << QByteArray("{\\rtf1{\\*\\x a}b{\\fchars c}d}") << QStringLiteral("bd");
    QTest::newRow("binary data") << QByteArray("{\\rtf1 a\\bin4 {}\\\\b}") << QStringLiteral("ab");
    QTest::newRow("unknown words show nothing")
        << QByteArray("{\\rtf1\\deflang1041\\pard\\plain\\lang1041\\b\\i x}")
        << QStringLiteral("x");

    // Escapes and symbols.
    QTest::newRow("escaped braces and backslash")
        << QByteArray("{\\rtf1 a\\{b\\}c\\\\d}") << QStringLiteral("a{b}c\\d");
    QTest::newRow("symbols") << QByteArray("{\\rtf1 a\\~b\\-c\\_d\\tab e\\line f}")
                             << QStringLiteral("a\u00A0bc\u2011d\te\u2028f");
    QTest::newRow("backslash newline is a paragraph")
        << QByteArray("{\\rtf1 a\\\nb}") << QStringLiteral("a\nb");
    QTest::newRow("nesting within the bound")
        << QByteArray("{\\rtf1" + nested(150, "x") + "}") << QStringLiteral("x");
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(RtfReader::plainText(rtf), expected);
}

void TestRtfReader::malformed_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("unclosed") << QByteArray("{\\rtf1 abc") << QStringLiteral("abc");
    QTest::newRow("stray closing braces") << QByteArray("}}}abc{{") << QStringLiteral("abc");
    QTest::newRow("lone backslash") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'8") << QStringLiteral("a");
    QTest::newRow("truncated quote") << QByteArray("{\\rtf1 a\\'") << QStringLiteral("a");
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << QStringLiteral("azzb");
    QTest::newRow("half bad hex") << QByteArray("{\\rtf1 a\\'8zb}") << QStringLiteral("azb");
    QTest::newRow("huge numbers") << QByteArray(
                                         "{\\rtf1\\fs999999999999999999999\\f-99999999999999 x}")
                                  << QStringLiteral("x");
    QTest::newRow("minus without digits") << QByteArray("{\\rtf1\\fs- x}") << QStringLiteral("- x");
    QTest::newRow("long control word")
        << QByteArray("{\\rtf1\\" + QByteArray(100000, 'a') + " x}") << QStringLiteral("x");
    QTest::newRow("binary longer than the input")
        << QByteArray("{\\rtf1 a\\bin2000000000 bc") << QStringLiteral("a");
    QTest::newRow("u at the end") << QByteArray("{\\rtf1 a\\u12354") << QStringLiteral("aあ");
    QTest::newRow("NUL and control bytes")
        << QByteArray("{\\rtf1 a\0\x01\x7f b}", 13) << QStringLiteral("a b");
    QTest::newRow("deep nesting beyond the bound")
        << QByteArray("{\\rtf1 a" + nested(100000, "x") + "b}") << QStringLiteral("ab");
    QTest::newRow("deep nesting never closed")
        << QByteArray("{\\rtf1 a" + QByteArray(100000, '{') + "x") << QStringLiteral("a");
    QTest::newRow("unclosed font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Foo") << QString();
}

void TestRtfReader::malformed()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(RtfReader::plainText(rtf), expected);
}

void TestRtfReader::controlCharacters_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("written as they are")
        << QByteArray("{\\rtf1 a\0\x01\x1f\x7f b}", 15) << QStringLiteral("a b");
    QTest::newRow("escaped") << QByteArray("{\\rtf1 a\\'00\\'01\\'1f\\'7f\\'0d\\'0a b}")
                             << QStringLiteral("a b");
    QTest::newRow("inside a double-byte character, as they are")
        << QByteArray("{\\rtf1 \x82\x01\xa0}") << QStringLiteral("あ");
    QTest::newRow("inside a double-byte character, escaped")
        << QByteArray("{\\rtf1 \\'82\\'01\\'a0}") << QStringLiteral("あ");
    QTest::newRow("not fallback characters")
        << QByteArray("{\\rtf1\\u12354\\'01\x02?x}") << QStringLiteral("あx");
    QTest::newRow("not in a skipped destination either")
        << QByteArray("{\\rtf1 a{\\*\\x\\'01}b}") << QStringLiteral("ab");
    QTest::newRow("as u") << QByteArray("{\\rtf1 a\\u0 ?\\u1 ?\\u26 ?\\u127 ?\\u128 ?\\u159 ?b}")
                          << QStringLiteral("ab");
    QTest::newRow("tab is text, however written")
        << QByteArray("{\\rtf1 a\tb\\'09c\\tab d\\u9 ?e}") << QStringLiteral("a\tb\tc\td\te");
}

// The text never holds a control character, whichever way the document writes it.
void TestRtfReader::controlCharacters()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(RtfReader::plainText(rtf), expected);
}

void TestRtfReader::fonts()
{
    // Entries as groups and as a flat list; \plain falls back to the default font at 12 pt.
    const QByteArray rtf = "{\\rtf1\\deff0" + kFontTable +
                           "\\pard\\plain\\f2\\fs18 a\\plain b\\f0\\fs30 c{\\f2\\fs18 d}e"
                           "{\\fonttbl\\f5\\froman Flat One;\\f6 Flat Two;}\\f6 f\\f42 g}";
    QTextDocument document;
    RtfReader(&document).read(rtf);
    const QString text = document.toPlainText();
    QCOMPARE(text, QStringLiteral("abcdefg"));

    const struct {
        QString family;
        qreal points;
    } expected[] = {{QStringLiteral("ＭＳ ゴシック"), 9},  {QStringLiteral("MS Sans Serif"), 12},
                    {QStringLiteral("MS Sans Serif"), 15}, {QStringLiteral("ＭＳ ゴシック"), 9},
                    {QStringLiteral("MS Sans Serif"), 15}, {QStringLiteral("Flat Two"), 15},
                    {QStringLiteral("MS Sans Serif"), 15}};
    for (int i = 0; i < text.size(); ++i) {
        QTextCursor cursor(&document);
        cursor.setPosition(i + 1); // the format of the character before the cursor
        const QTextCharFormat format = cursor.charFormat();
        QCOMPARE(format.fontFamilies().toStringList().value(0), expected[i].family);
        QCOMPARE(format.fontPointSize(), expected[i].points);
    }
}

void TestRtfReader::fontNames_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("family");

    QTest::newRow("grouped") << QByteArray("{\\f3 Foo;}") << QStringLiteral("Foo");
    QTest::newRow("flat") << QByteArray("\\f2 A;\\f3 B;") << QStringLiteral("B");
    QTest::newRow("double-byte") << QByteArray("{\\f3 \\'82\\'a0\\'8a\\'bf;}")
                                 << QStringLiteral("あ漢");
    QTest::newRow("words inside an entry")
        << QByteArray("{\\f3\\fcharset128\\fprq1 Foo;}") << QStringLiteral("Foo");
    QTest::newRow("escaped semicolon") << QByteArray("{\\f3 A\\'3bB;}") << QStringLiteral("A;B");
    QTest::newRow("control bytes") << QByteArray("{\\f3 F\\'01o\x02o;}") << QStringLiteral("Foo");
    QTest::newRow("long name is cut")
        << "{\\f3 " + QByteArray(300, 'n') + ";}" << QString(RtfFontTable::kMaxNameBytes, u'n');
    QTest::newRow("a lead byte ends with its name")
        << QByteArray("{\\f2 X\\'82;}{\\f3 AB;}") << QStringLiteral("AB");
    QTest::newRow("entry without a name") << QByteArray("{\\f3 ;}") << QString();
    QTest::newRow("entry ends at the next number")
        << QByteArray("\\f3 C\\f4 D;") << QStringLiteral("C");
    QTest::newRow("entry ends with its group")
        << QByteArray("{\\f3 C}{\\f4 D;}") << QStringLiteral("C");
}

void TestRtfReader::fontNames()
{
    QFETCH(QByteArray, table);
    QFETCH(QString, family);
    QTextDocument document;
    RtfReader(&document).read("{\\rtf1{\\fonttbl" + table + "}\\f3 x}");
    QCOMPARE(document.toPlainText(), QStringLiteral("x"));
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontFamilies().toStringList().value(0), family);
}

void TestRtfReader::emptyParagraphsKeepTheirFormat()
{
    // An empty line must be as high as the text around it.
    QTextDocument document;
    RtfReader(&document).read("{\\rtf1" + kFontTable + "\\plain\\f2\\fs18 a\\par\\par b\\par}");
    QCOMPARE(document.blockCount(), 3);
    const QTextBlock empty = document.begin().next();
    QVERIFY(empty.text().isEmpty());
    QCOMPARE(empty.charFormat().fontPointSize(), 9.0);
    QCOMPARE(empty.charFormat().fontFamilies().toStringList().value(0),
             QStringLiteral("ＭＳ ゴシック"));

    // A paragraph mark has the format in effect where it stands.
    RtfReader(&document).read("{\\rtf1\\fs18 a\\par\\fs30\\par\\fs18 b}");
    QCOMPARE(document.blockCount(), 3);
    QCOMPARE(document.begin().next().charFormat().fontPointSize(), 15.0);
}

void TestRtfReader::readingAgainReplacesTheText()
{
    QTextDocument document;
    RtfReader reader(&document);
    reader.read("{\\rtf1" + kFontTable + "\\f2 one\\par two\\'82}");
    reader.read("{\\rtf1 three}");
    QCOMPARE(document.toPlainText(), QStringLiteral("three"));
    QCOMPARE(document.begin().charFormat().fontFamilies().toStringList(), QStringList());
}

void TestRtfReader::decoderIsAvailable()
{
    QVERIFY2(RtfReader::decoderAvailable(), "this Qt cannot decode code page 932 (no ICU?)");
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
