// The marking rules on the answer-sheet table: the key as the table holds it, the points, the
// exact comparison (no folding of look-alike characters) and the choice item.
#include "common/Items.h"
#include "core/Marking.h"

#include <QMap>
#include <QSet>
#include <QTest>

using namespace kelvo::marking;
using kelvo::test::answerTable;
using kelvo::test::rowOf;
using kelvo::test::textItems;

class TestMarkingRule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tableHoldsEveryItemOnce();
    void fullWidthKeysFollowTheHalfWidthOnes();
    void pointsAddUp();
    void lookAlikes_data();
    void lookAlikes();
    void choiceItem_data();
    void choiceItem();
};

void TestMarkingRule::tableHoldsEveryItemOnce()
{
    QList<int> items;
    for (const kelvo::AnswerRow &row : answerTable()) {
        QCOMPARE(row.page, int(items.size()));
        items << row.item;
        if (row.isChoice()) {
            QCOMPARE(row.item, kChoiceItem);
            QCOMPARE(row.choiceBox, 3); // ③
            continue;
        }
        QVERIFY2(row.choiceBox == 0 && row.keys.size() >= 2, qPrintable(row.caption));
        for (const QString &key : row.keyCaptions())
            QVERIFY2(!key.isEmpty() && key.trimmed() == key, qPrintable(row.caption));
    }
    const auto &order = markingOrder();
    QCOMPARE(QSet<int>(items.cbegin(), items.cend()), QSet<int>(order.cbegin(), order.cend()));
    QCOMPARE(items.size(), qsizetype(kItemCount));
}

void TestMarkingRule::fullWidthKeysFollowTheHalfWidthOnes()
{
    // Digits, b and c widen, "-" becomes the prolonged sound mark (not the full-width
    // hyphen-minus), "a" stays as it is.
    const QString narrow = QStringLiteral("0123456789bc-a");
    const QString wide = QStringLiteral("０１２３４５６７８９ｂｃーa");
    for (const kelvo::AnswerRow &row : answerTable()) {
        if (row.isChoice() || row.keys.size() != 2)
            continue;
        QString expected = row.keys.at(0).second;
        for (QChar &c : expected) {
            QVERIFY2(narrow.contains(c), qPrintable(row.keys.at(0).first));
            c = wide.at(narrow.indexOf(c));
        }
        QCOMPARE(row.keys.at(0).first, QStringLiteral("lbl正解%1").arg(row.item));
        QCOMPARE(row.keys.at(1).first, QStringLiteral("lbl正解0%1").arg(row.item));
        QCOMPARE(row.keys.at(1).second, expected);
    }
    // The two four-digit blanks accept the same four strings.
    QCOMPARE(rowOf(35).keyCaptions(), rowOf(135).keyCaptions());
    QCOMPARE(rowOf(35).keys.at(2).first, QStringLiteral("lbl正解135"));
}

void TestMarkingRule::pointsAddUp()
{
    int sum = 0;
    QMap<int, int> byValue;
    QMap<QString, int> byQuestion;
    for (const kelvo::AnswerRow &row : answerTable()) {
        const int p = pointsFor(row.item);
        QVERIFY2(p >= 1 && p <= 5, qPrintable(row.caption));
        sum += p;
        ++byValue[p];
        // The question number stands before the hyphen of the item's tab caption.
        byQuestion[row.caption.section(QLatin1Char('-'), 0, 0)] += p;
    }
    QCOMPARE(sum, 140);
    QCOMPARE(byValue, (QMap<int, int>{{1, 10}, {2, 21}, {3, 14}, {4, 9}, {5, 2}}));
    const QMap<QString, int> questions{{QStringLiteral("1"), 30}, {QStringLiteral("2"), 30},
                                       {QStringLiteral("3"), 20}, {QStringLiteral("4"), 20},
                                       {QStringLiteral("5"), 20}, {QStringLiteral("6"), 20}};
    QCOMPARE(byQuestion, questions);
    for (int n : {0, 56, 134, 136})
        QCOMPARE(pointsFor(n), 0);
}

void TestMarkingRule::lookAlikes_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("correct");
    QTest::newRow("4 half-width") << 4 << "-6" << true;
    QTest::newRow("4 prolonged mark") << 4 << "ー６" << true;
    QTest::newRow("4 full-width hyphen-minus") << 4 << "－６" << false;
    QTest::newRow("4 minus sign") << 4 << "−6" << false;
    QTest::newRow("4 minus sign, wide digit") << 4 << "−６" << false;
    QTest::newRow("4 half minus, wide digit") << 4 << "-６" << false;
    QTest::newRow("4 blank before") << 4 << " -6" << false;
    QTest::newRow("4 blank after") << 4 << "-6 " << false;
    QTest::newRow("4 ideographic blank after") << 4 << "-6　" << false;
    QTest::newRow("42 full-width hyphen-minus") << 42 << "－２７" << false;
    QTest::newRow("29 a") << 29 << "a" << true;
    QTest::newRow("29 full-width a") << 29 << "ａ" << false;
    QTest::newRow("29 A") << 29 << "A" << false;
    QTest::newRow("28 mixed") << 28 << "１a" << true;
    QTest::newRow("28 all wide") << 28 << "１ａ" << false;
    QTest::newRow("14 B3") << 14 << "B3" << false;
    QTest::newRow("14 ｂ3") << 14 << "ｂ3" << false;
    QTest::newRow("14 ｂ３") << 14 << "ｂ３" << true;
    QTest::newRow("19 zero") << 19 << "0" << true;
    QTest::newRow("19 wide zero") << 19 << "０" << true;
    QTest::newRow("19 letter O") << 19 << "O" << false;
    QTest::newRow("26 wide zero") << 26 << "０" << true;
    QTest::newRow("1 prefix") << 1 << "13" << false;
    QTest::newRow("1 longer") << 1 << "1333" << false;
    QTest::newRow("35 cells of the tab only") << 35 << "13" << false;
    QTest::newRow("135 wide 2313") << 135 << "２３１３" << true;
}

void TestMarkingRule::lookAlikes()
{
    QFETCH(int, item);
    QFETCH(QString, text);
    QFETCH(bool, correct);
    QCOMPARE(textItemCorrect(text, rowOf(item).keyCaptions()), correct);
}

void TestMarkingRule::choiceItem_data()
{
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("correct");
    const int three = rowOf(kChoiceItem).choiceBox;
    QTest::newRow("③ alone") << QList<int>{3} << three << true;
    QTest::newRow("nothing") << QList<int>{} << three << false;
    QTest::newRow("③ and ①") << QList<int>{3, 1} << three << false;
    QTest::newRow("③ and ②") << QList<int>{3, 2} << three << false;
    QTest::newRow("③ and ⑨") << QList<int>{3, 9} << three << false;
    QTest::newRow("⑤ alone") << QList<int>{5} << three << false;
    QTest::newRow("all nine") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << three << false;
    // The rule reads its box from the key: another key, another box.
    QTest::newRow("⑤ alone, key ⑤") << QList<int>{5} << 5 << true;
    QTest::newRow("③ alone, key ⑤") << QList<int>{3} << 5 << false;
    QTest::newRow("no key") << QList<int>{3} << 0 << false;
    QTest::newRow("key out of range") << QList<int>{} << 10 << false;
}

void TestMarkingRule::choiceItem()
{
    QFETCH(QList<int>, boxes);
    QFETCH(int, key);
    QFETCH(bool, correct);
    std::array<bool, 9> ticked{};
    for (int k : boxes)
        ticked[k - 1] = true;
    QCOMPARE(choiceItemCorrect(ticked, key), correct);
}

QTEST_GUILESS_MAIN(TestMarkingRule)
#include "tst_markingrule.moc"
