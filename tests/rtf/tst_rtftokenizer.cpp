#include "rtf/RtfTokenizer.h"

#include <QTest>

namespace
{

using Kind = RtfTokenizer::Kind;

QByteArray shown(QByteArrayView bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if (uchar(c) < 0x20 || uchar(c) >= 0x7f)
            out += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

// The tokens of rtf, one word each: "{", "}", "W:word" or "W:word=N", "S:symbol", "E:hh",
// "B:data", "U:N", "T:text".
QByteArray tokensOf(const QByteArray &rtf)
{
    QByteArrayList words;
    RtfTokenizer tokenizer(rtf);
    RtfTokenizer::Token token;
    while (tokenizer.next(token)) {
        switch (token.kind) {
        case Kind::GroupOpen:
            words << "{";
            break;
        case Kind::GroupClose:
            words << "}";
            break;
        case Kind::ControlWord:
            words << "W:" + shown(token.bytes) +
                         (token.hasParameter ? "=" + QByteArray::number(token.parameter) : "");
            break;
        case Kind::ControlSymbol:
            words << "S:" + shown(QByteArrayView(&token.byte, 1));
            break;
        case Kind::Escape:
            words << "E:" + QByteArray::number(uchar(token.byte), 16).rightJustified(2, '0');
            break;
        case Kind::Binary:
            words << "B:" + shown(token.bytes);
            break;
        case Kind::Unicode:
            words << "U:" + QByteArray::number(token.parameter);
            break;
        case Kind::Text:
            words << "T:" + shown(token.bytes);
            break;
        }
    }
    return words.join(' ');
}

} // namespace

class TestRtfTokenizer : public QObject
{
    Q_OBJECT
private slots:
    void tokens_data();
    void tokens();
    void offsets_data();
    void offsets();
};

void TestRtfTokenizer::tokens_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("groups, words and text")
        << QByteArray("{\\rtf1\\ansi ab}") << QByteArray("{ W:rtf=1 W:ansi T:ab }");
    QTest::newRow("one delimiter space is the word's")
        << QByteArray("\\par  x\\par") << QByteArray("W:par T: x W:par");
    QTest::newRow("word ends at a non-letter")
        << QByteArray("\\par;\\b0x") << QByteArray("W:par T:; W:b=0 T:x");
    QTest::newRow("negative parameter") << QByteArray("\\f-5 x") << QByteArray("W:f=-5 T:x");
    QTest::newRow("minus without digits is text")
        << QByteArray("\\fs- x\\fs-") << QByteArray("W:fs T:- x W:fs T:-");
    QTest::newRow("parameters saturate") << QByteArray("\\fs99999999999999999999 \\f-99999999999 ")
                                         << QByteArray("W:fs=1000000000 W:f=-1000000000");
    QTest::newRow("long control word is one token") << "\\" + QByteArray(1000, 'a') + "7 x"
                                                    << "W:" + QByteArray(1000, 'a') + "=7 T:x";
    QTest::newRow("control symbols") << QByteArray("\\~\\-\\_\\*\\:\\{\\}\\\\\\\x82")
                                     << QByteArray("S:~ S:- S:_ S:* S:: S:{ S:} S:\\ S:\\x82");
    QTest::newRow("backslash before a line break is a symbol")
        << QByteArray("a\\\r\nb") << QByteArray("T:a S:\\x0d T:b");
    QTest::newRow("line breaks are dropped") << QByteArray("\r\na\r\nb\n") << QByteArray("T:a T:b");
    QTest::newRow("control bytes stay in text")
        << QByteArray("a\x01\x7f\tb\0c", 7) << QByteArray("T:a\\x01\\x7f\\x09b\\x00c");
    QTest::newRow("escapes") << QByteArray("\\'82\\'A0\\'5c\\'00")
                             << QByteArray("E:82 E:a0 E:5c E:00");
    QTest::newRow("broken escapes stand for nothing")
        << QByteArray("\\'zz\\'8z\\'8\\'") << QByteArray("T:zz T:z");
    QTest::newRow("lone backslash at the end") << QByteArray("ab\\") << QByteArray("T:ab");
    QTest::newRow("binary data") << QByteArray("\\bin3 {}\\x") << QByteArray("B:{}\\ T:x");
    QTest::newRow("binary longer than the input")
        << QByteArray("\\bin2000000000 a}") << QByteArray("B:a}");
    QTest::newRow("binary without a length")
        << QByteArray("\\bin x\\bin-5 y\\bin0 z") << QByteArray("B: T:x B: T:y B: T:z");
    QTest::newRow("binary word needs the whole name")
        << QByteArray("\\binary3 abc") << QByteArray("W:binary=3 T:abc");
    QTest::newRow("u with and without a parameter")
        << QByteArray("\\u12354?\\u \\u-3913 \\uc1\\ul")
        << QByteArray("U:12354 T:? W:u U:-3913 W:uc=1 W:ul");
}

void TestRtfTokenizer::tokens()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, expected);
    QCOMPARE(tokensOf(rtf), expected);
}

void TestRtfTokenizer::offsets_data()
{
    tokens_data();
}

// Every token starts where its own bytes start, after the token before it.
void TestRtfTokenizer::offsets()
{
    QFETCH(QByteArray, rtf);
    RtfTokenizer tokenizer(rtf);
    RtfTokenizer::Token token;
    qsizetype previous = -1;
    while (tokenizer.next(token)) {
        QVERIFY(token.offset > previous);
        QVERIFY(token.offset < rtf.size());
        previous = token.offset;
        const QByteArrayView at = QByteArrayView(rtf).sliced(token.offset);
        switch (token.kind) {
        case Kind::GroupOpen:
            QVERIFY(at.startsWith('{'));
            break;
        case Kind::GroupClose:
            QVERIFY(at.startsWith('}'));
            break;
        case Kind::Text:
            QVERIFY(at.startsWith(token.bytes));
            break;
        case Kind::ControlWord:
            QVERIFY(at.sliced(1).startsWith(token.bytes));
            Q_FALLTHROUGH();
        default:
            QVERIFY(at.startsWith('\\'));
            break;
        }
    }
}

QTEST_APPLESS_MAIN(TestRtfTokenizer)
#include "tst_rtftokenizer.moc"
