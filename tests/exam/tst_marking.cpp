// Marking through the real window: answers typed into the blanks, boxes ticked, the score
// button clicked; the circle marks and the total read back as the student sees them.
#include "common/Items.h"
#include "common/KelvoTest.h"
#include "common/Typing.h"
#include "controls/TabButton.h"
#include "controls/TabPanel.h"
#include "core/Marking.h"
#include "exam/SecretLabel.h"
#include "exam/frmKelvo.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using kelvo::test::textItems;

class TestMarking : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_window.reset(); }

    void wholePaper_data();
    void wholePaper();
    void fourDigitBlanksShareTheirKeys_data();
    void fourDigitBlanksShareTheirKeys();
    void choiceItem_data();
    void choiceItem();
    void correctingOneAnswerAddsItsPoints();
    void pressStopsTheCountdown();
    void anythingTypedIsMarkedCalmly_data();
    void anythingTypedIsMarkedCalmly();

private:
    void answer(int item, const QString &text);
    void tick(const QList<int> &boxes);
    void press() { QTest::mouseClick(m_score, Qt::LeftButton); }
    QString total() const
    {
        return m_window->findChild<QLabel *>(QStringLiteral("lbl得点"))->text();
    }
    bool marked(int item) const { return !m_window->pctマル(item)->isHidden(); }

    std::unique_ptr<frmKelvo> m_window;
    TabPanel *m_panel = nullptr;
    QPushButton *m_score = nullptr;
};

void TestMarking::init()
{
    m_window = std::make_unique<frmKelvo>(QString());
    m_panel = m_window->findChild<TabPanel *>(QStringLiteral("SSTab2"));
    m_score = m_window->findChild<QPushButton *>(QStringLiteral("cmd得点"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMarking::answer(int item, const QString &text)
{
    QLineEdit *blank = m_window->Text(item);
    QTest::mouseClick(m_panel->tabButton(m_panel->indexOf(blank->parentWidget())), Qt::LeftButton);
    QVERIFY(blank->isVisible());
    blank->clear();
    kelvo::test::type(blank, text);
}

void TestMarking::tick(const QList<int> &boxes)
{
    m_panel->setCurrentIndex(49);
    for (int k : boxes)
        QTest::mouseClick(m_window->chkKelvo(k), Qt::LeftButton);
}

void TestMarking::wholePaper_data()
{
    QTest::addColumn<int>("form"); // 0 nothing, 1 half-width keys, 2 full-width keys
    QTest::addColumn<bool>("choice");
    QTest::addColumn<QString>("expected");
    QTest::newRow("half-width key and ③") << 1 << true << "140";
    QTest::newRow("full-width key and ③") << 2 << true << "140";
    QTest::newRow("half-width key, no box") << 1 << false << "136";
    QTest::newRow("nothing answered") << 0 << false << "0";
}

void TestMarking::wholePaper()
{
    QFETCH(int, form);
    QFETCH(bool, choice);
    QFETCH(QString, expected);
    for (const int n : textItems()) {
        if (form == 0)
            continue;
        answer(n, kelvo::test::answerOf(n, form == 2));
    }
    if (choice)
        tick({3});
    press();
    QCOMPARE(total(), expected);
    for (const int n : textItems())
        QCOMPARE(marked(n), form != 0);
    QCOMPARE(marked(49), choice);
    // Answers stay as typed, keys stay hidden; a second press gives the same.
    if (form == 1)
        QCOMPARE(m_window->Text(38)->text(), QStringLiteral("c1232"));
    for (QLabel *k : m_window->findChildren<QLabel *>()) {
        if (k->objectName().startsWith(QStringLiteral("lbl正解")))
            QVERIFY(k->isHidden());
    }
    press();
    QCOMPARE(total(), expected);
}

void TestMarking::fourDigitBlanksShareTheirKeys_data()
{
    QTest::addColumn<QString>("text");
    for (const char *t : {"1323", "2313", "１３２３", "２３１３"})
        QTest::newRow(t) << QString::fromUtf8(t);
}

void TestMarking::fourDigitBlanksShareTheirKeys()
{
    QFETCH(QString, text);
    answer(35, text);
    answer(135, text);
    press();
    QVERIFY(marked(35) && marked(135));
    QCOMPARE(total(), QStringLiteral("2"));
}

void TestMarking::choiceItem_data()
{
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<bool>("correct");
    // The window's boxes, clicked: the rule's cases are its own test's.
    QTest::newRow("③ alone") << QList<int>{3} << true;
    QTest::newRow("③ and ⑨") << QList<int>{3, 9} << false;
    QTest::newRow("② alone") << QList<int>{2} << false;
    QTest::newRow("③ ticked twice") << QList<int>{3, 3} << false;
}

void TestMarking::choiceItem()
{
    QFETCH(QList<int>, boxes);
    QFETCH(bool, correct);
    tick(boxes);
    press();
    QCOMPARE(marked(49), correct);
    QCOMPARE(total(), correct ? QStringLiteral("4") : QStringLiteral("0"));
}

void TestMarking::correctingOneAnswerAddsItsPoints()
{
    answer(34, QStringLiteral("992"));
    answer(48, QStringLiteral("612"));
    press();
    QCOMPARE(total(), QStringLiteral("5"));
    QVERIFY(!marked(48));
    answer(48, QStringLiteral("６１１"));
    press();
    QCOMPARE(total(), QStringLiteral("10"));
    QVERIFY(marked(48) && marked(34));
    answer(34, QString());
    press();
    QCOMPARE(total(), QStringLiteral("5"));
    QVERIFY(!marked(34));
}

void TestMarking::pressStopsTheCountdown()
{
    auto *start = m_window->findChild<QPushButton *>(QStringLiteral("cmdスタート"));
    auto *time = m_window->findChild<QLabel *>(QStringLiteral("lbl秒"));
    auto *score = m_window->findChild<QLabel *>(QStringLiteral("lbl得点"));
    const QPoint corner = score->pos();
    answer(7, QStringLiteral("3"));
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(m_window->tmr時間()->isActive());
    QVERIFY(!start->isEnabled());
    press();
    QVERIFY(!m_window->tmr時間()->isActive());
    QVERIFY(start->isEnabled());
    QVERIFY(time->text().isEmpty());
    QCOMPARE(total(), QStringLiteral("2"));
    // The score label sizes itself to the total from its top-left corner.
    QCOMPARE(score->pos(), corner);
    QVERIFY(score->width() >= score->fontMetrics().horizontalAdvance(QStringLiteral("2")));
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(time->text(), QStringLiteral("1:00"));
    QVERIFY(total().isEmpty());
    QVERIFY(!marked(7));
    QCOMPARE(m_window->Text(7)->text(), QStringLiteral("3"));
}

void TestMarking::anythingTypedIsMarkedCalmly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("a megabyte") << QString(1 << 20, QLatin1Char('7'));
    QTest::newRow("control characters") << QStringLiteral("1\t3\r\n3\x01\x7f");
    QTest::newRow("lone surrogates") << (QString(QChar(0xD800)) + QChar(0xDC00) + QChar(0xDFFF));
    QTest::newRow("emoji") << QStringLiteral("133😀");
    QTest::newRow("right to left") << QStringLiteral("\u202E133\u05D0");
    QTest::newRow("zero-width joiner") << QStringLiteral("13\u200D3");
    QTest::newRow("nul inside") << QString::fromUtf16(u"13\u00003", 4);
}

void TestMarking::anythingTypedIsMarkedCalmly()
{
    QFETCH(QString, text);
    m_window->Text(1)->setText(text); // pasted: the widget takes it as it is
    QElapsedTimer timer;
    timer.start();
    press();
    QVERIFY(timer.elapsed() < 10000); // generous: sanitizer builds on a busy machine
    QVERIFY(!marked(1));
    QCOMPARE(total(), QStringLiteral("0"));
    QCOMPARE(m_window->Text(1)->text(), text);
}

KELVO_TEST_MAIN(TestMarking)
#include "tst_marking.moc"
