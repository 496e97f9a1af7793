#include "common/Documents.h"
#include "common/KelvoTest.h"

#include "rtf/RtfReader.h"

#include <QFile>
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

struct Entry {
    QString university, faculty, social, socialRequirement, math, science, rate;
};

QList<Entry> passLineEntries()
{
    const QString law = u"法"_qs, eng = u"工"_qs, med = u"医"_qs;
    const QString tireki = u"地歴"_qs, komin = u"地歴・公民"_qs;
    const QString all9 = u"計９科目から１つ"_qs;
    const QString mathA = u"数ⅠAは必須、数ⅡB、工、簿、情報から１つ"_qs;
    const QString mathB = u"数Ⅰ、数ⅠAから１つ、数ⅡB、工、簿、情報から１つ"_qs;
    const QString mathC = u"数ⅠA必須、数ⅡB、工、簿、情報から１つ"_qs;
    const QString sci = u"物B、化B、生B、地学Bから１つ"_qs;
    const QString sogo = u"総理、物B、化B、生B、地学Bから１つ"_qs;
    const QString threeB = u"世B、日B、地理Bから１つ"_qs;
    const QString sixB = u"世B、日B、地理B、現社、政経、倫理から１つ"_qs;
    const QString fourB = u"世B、日B、地理B、現社から１つ"_qs;
    return {
        {u"北海道"_qs, law, tireki, threeB, mathA, sci, u"８０．３％"_qs},
        {u"北海道"_qs, eng, komin, sixB, mathA, sci, u"８１．５％"_qs},
        {u"北海道"_qs, med, komin, sixB, mathA, u"物B、生Bから１つ、化B、地学Bから１つ"_qs,
         u"９１．７％"_qs},
        {u"東北"_qs, law, tireki, threeB, mathA, sci, u"８６．９％"_qs},
        {u"東北"_qs, eng, komin, all9, mathA, sci, u"８５．０％"_qs},
        {u"東北"_qs, med, komin, fourB, mathA, u"物B、生B、化Bから１つ"_qs, u"９２．９％"_qs},
        {u"東京"_qs, law, komin, all9, mathA, sci, u"９２．１％"_qs},
        {u"東京"_qs, eng, komin, all9, mathA, sci, u"９２．５％"_qs},
        {u"東京"_qs, med, komin, all9, mathA, sci, u"９６．０％"_qs},
        {u"名古屋"_qs, law, komin, sixB, mathB, sogo, u"８５．５％"_qs},
        {u"名古屋"_qs, eng, komin, all9, mathB, u"総理、物B、化Bから１つ"_qs, u"８７．０％"_qs},
        {u"名古屋"_qs, med, komin, sixB, mathC, u"総理、物B、化B、生Bから１つ"_qs,
         u"９３．４％"_qs},
        {u"京都"_qs, law, tireki, threeB, u"数ⅠA、数ⅡB"_qs, u"物B、化B"_qs, u"８９．２％"_qs},
        {u"京都"_qs, eng, tireki, threeB, mathA, sci, u"８９．４％"_qs},
        {u"京都"_qs, med, komin, u"世B、日B、地理A、地理B、現社、政経、倫理から１つ"_qs, mathA,
         u"物B、化B、生B、地学Bから１"_qs, u"９５．０％"_qs},
        {u"大阪"_qs, law, komin, sixB, mathC, sogo, u"８８．１％"_qs},
        {u"大阪"_qs, eng, komin, all9, mathA, sogo, u"８８．１％"_qs},
        {u"大阪"_qs, med, komin, all9, mathA, sci, u"９３．５％"_qs},
        {u"九州"_qs, law, komin, fourB, mathC, sogo, u"８６．７％"_qs},
        {u"九州"_qs, eng, komin, fourB, mathC, sogo, u"８４．０％"_qs},
        {u"九州"_qs, med, komin, fourB, mathC, sogo, u"９４．０％"_qs},
    };
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
    void readmeFileListIsAligned();
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

void TestDocuments::passLineColumns()
{
    const QStringList lines = RtfReader::plainText(storedDocument("passline.rtf")).split(u'\n');

    auto check = [](const QString &line, const QList<Column> &expected) {
        const QList<Column> actual = columnsOf(line);
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual.at(i).text, expected.at(i).text);
            QCOMPARE(actual.at(i).cell, expected.at(i).cell);
        }
    };

    check(lines.at(0), {{2, u"旧帝国大学"_qs},
                        {20, u"学部名"_qs},
                        {38, u"受験科目"_qs},
                        {100, u"合格ライン（１科目平均）"_qs}});
    if (QTest::currentTestFailed())
        return;

    const QList<Entry> entries = passLineEntries();
    QString previous;
    for (qsizetype n = 0; n < entries.size(); ++n) {
        const Entry &e = entries.at(n);
        const int at = 2 + int(n) * 6;
        QList<Column> first;
        if (e.university != previous)
            first << Column{4, e.university};
        previous = e.university;
        first << Column{22, e.faculty} << Column{34, u"国"_qs} << Column{38, u"―"_qs}
              << Column{42, u"国語Ⅰ・Ⅱ"_qs} << Column{110, e.rate};
        check(lines.at(at), first);
        const int dash = 34 + cellsOf(e.social) + 2;
        check(lines.at(at + 1), {{34, e.social}, {dash, u"―"_qs}, {dash + 4, e.socialRequirement}});
        check(lines.at(at + 2), {{34, u"数"_qs}, {38, u"―"_qs}, {42, e.math}});
        check(lines.at(at + 3), {{34, u"理"_qs}, {38, u"―"_qs}, {42, e.science}});
        check(lines.at(at + 4), {{34, u"外"_qs}});
        if (QTest::currentTestFailed()) {
            qWarning() << "entry" << n + 1 << e.university << e.faculty;
            return;
        }
        // Columns are filled with full-width spaces: no half-width blank anywhere.
        for (int line = at; line < at + 5; ++line)
            QVERIFY(!lines.at(line).contains(u' '));
    }
}

void TestDocuments::readmeLines()
{
    const QString s(kIdeo);
    const QStringList expected{
        QString(10, kIdeo),
        s + s + s + s + u"○○○○○　ソフトの説明　○○○○○"_qs,
        {},
        {},
        u"★はじめに"_qs,
        {},
        u"「Bralden2000」をダウンロードしていただきまして、ありがとうございます。"_qs,
        u"本ソフトは、実在のBraldenを参考にして作ったゲームです｡"_qs,
        u"実行に必要なQt 6 基本ランタイム DLL (32 bit)を梱包して"_qs,
        u"Setup.exeを作ったため、ファイル容量が大きくなってしまいました。（＾＾；"_qs,
        u"[もっといい方法があると思いますが、自分の技量では限界でした]"_qs,
        u"本ソフトが受験生の学力アップに役立つと嬉しいです。"_qs,
        {},
        {},
        u"【ソフト名】Bralden2000(Kelvo）"_qs,
        u"【掲載日】  2000/07/07 大安"_qs,
        u"【ファイル】"_qs,
        {},
        QString(8, kIdeo) + u"・00Kelvo.dat     (    9KB    00/07/03 )"_qs,
        QString(8, kIdeo) + u"・ASYCFILT.DLL    (  145KB    98/12/23 )"_qs,
        QString(8, kIdeo) + u"・Qt6Core.dll     ( 1376KB    98/09/25 )"_qs,
        QString(8, kIdeo) + u"・Mci32.ocx       （ 194KB    98/06/24 ）"_qs,
        QString(8, kIdeo) + u"・Richtx32.ocx    (  199KB    98/06/24 )"_qs,
        QString(8, kIdeo) + u"・Tabctl32.ocx    (  205KB    98/06/24 )"_qs,
        QString(8, kIdeo) + u"・Kelvo.exe       (  752KB    00/07/05 )"_qs,
        QString(8, kIdeo) + u"・"_qs + QStringLiteral(KELVO_CHIME).leftJustified(16) +
            u"(  128KB    00/04/02 )"_qs,
        QString(8, kIdeo) + u"・Readme.txt      （いま読んでるファイル)"_qs,
        {},
        {},
        {},
        u"★インストール方法 "_qs,
        {},
        s + u"1.ダウンロードしたファイルを任意のフォルダに復元してください。 "_qs,
        s + u"2.復元したフォルダのルートに存在する Setup.exe ファイルを実行してください。 "_qs,
        s + u"3.セットアップウィザードが起動されますので、 "_qs,
        s + s + u"後はウィザードの指示に従ってインストールを行なってください。 "_qs,
        {},
        {},
        {},
        u"★アンインストール方法 "_qs,
        {},
        s + u"1.コントロールパネルを開きます。 "_qs,
        s + u"2.アプリケーションの追加と削除を実行します。 "_qs,
        s + u"3.ソフトウェアの一覧から「Bralden」を選択し、追加と削除のボタンを押します。 "_qs,
        s + u"4.アンインストールウィザードが起動しますので、 "_qs,
        s + u"後はウィザードの指示に従ってアンインストールを行なってください。 "_qs,
        {},
        {},
        {},
        u"★学習手順"_qs,
        {},
        s + s + u"１．「スタート」ボタンをクリックする。"_qs,
        s + s + u"２．問題の解答を選んでチェックボックスをクリックする。"_qs,
        s + s + u"３．制限時間がくるか、全て解答し終わったら「得点」ボタンをクリックする。"_qs,
        {},
        s,
        {},
        u"★著作権、配布、転載等について"_qs,
        {},
        {},
        {},
        s,
        s + u"その際、著者への報告は必要ありません。"_qs,
        u"・本ソフトウェアを使用した事によって生じたいかなる損害についても、"_qs,
        s,
        s + u"各利用者の責任において使用してください。"_qs,
        {},
        {},
        {},
        u" ご意見ご希望お気づきの点を電子メールにてお知らせいただけると、"_qs,
        u"次へのゲーム作りの励みになって嬉しいです。"_qs,
        {},
        QString(14, u' ') + u"2000/07/吉日"_qs,
    };
    QCOMPARE(expected.size(), 73);

    const QStringList lines = RtfReader::plainText(storedDocument("readme.rtf")).split(u'\n');
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i) != expected.at(i))
            qWarning() << "line" << i + 1;
        QCOMPARE(lines.at(i), expected.at(i));
    }
}

void TestDocuments::readmeFileListIsAligned()
{
    // Each file line: "・" at cell 16, the opening parenthesis at cell 34, sizes ending
    // and dates starting in one column.
    const QStringList lines = RtfReader::plainText(storedDocument("readme.rtf")).split(u'\n');
    QCOMPARE(lines.size(), 73);
    for (int i = 18; i < 27; ++i) {
        const QString &line = lines.at(i);
        QCOMPARE(cellsOf(line.left(line.indexOf(u'・'))), 16);
        qsizetype open = line.indexOf(u'(');
        if (open < 0)
            open = line.indexOf(u'（');
        QCOMPARE(cellsOf(line.left(open)), 34);
        if (i == 26)
            continue; // the readme itself has no size or date
        const qsizetype kb = line.indexOf(u"KB"_qs);
        QCOMPARE(cellsOf(line.left(kb + 2)), 42);
        const qsizetype slash = line.indexOf(u'/');
        QCOMPARE(cellsOf(line.left(slash - 2)), 46);
    }
}

KELVO_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
