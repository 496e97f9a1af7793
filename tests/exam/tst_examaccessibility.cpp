// The exam window as a screen reader meets it: every answer named by its item, the circle
// marks, the score and the time left with their values and their changes, and no trace of
// the answer key anywhere in the accessible tree, before or after marking.
#include "common/AccessibleEvents.h"
#include "common/Items.h"
#include "common/KelvoTest.h"
#include "common/RecordingDevice.h"
#include "controls/MciPlayer.h"
#include "controls/Notice.h"
#include "controls/TabPanel.h"
#include "exam/AnswerSheet.h"
#include "exam/SecretLabel.h"
#include "exam/frmKelvo.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

using kelvo::test::textItems;

namespace
{

// The page of a text item in the answer panel.
int pageOf(int item)
{
    return item == 135 ? 35 : (item <= 35 ? item - 1 : item);
}

// Every node of the accessible tree below root, root included, depth first.
void walk(QAccessibleInterface *root, const std::function<void(QAccessibleInterface *)> &visit)
{
    visit(root);
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface *child = root->child(i))
            walk(child, visit);
    }
}

// What a notice has said: its name each time it appears.
class Said : public QObject
{
public:
    explicit Said(QWidget *notice) { notice->installEventFilter(this); }
    QStringList messages;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            messages << static_cast<QWidget *>(watched)->accessibleName();
        return false;
    }
};

} // namespace

class TestExamAccessibility : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_window.reset(); }

    void answerBlanksAreNamedByTheirItem_data();
    void answerBlanksAreNamedByTheirItem();
    void choiceBoxesKeepTheirCaptions();
    void circleMarksAreNamed();
    void keyCaptionsReachNoReader_data();
    void keyCaptionsReachNoReader();
    void scoreAndTimeAreNamedWithTheirValues();
    void readersHearScoreAndTimeChange();
    void readersAreToldTheTimeAtItsMarksAndTheScore();

private:
    QAccessibleInterface *iface(QObject *o) const
    {
        return QAccessible::queryAccessibleInterface(o);
    }
    QLabel *label(const char *name) const
    {
        return m_window->findChild<QLabel *>(QString::fromUtf8(name));
    }
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QString::fromUtf8(name));
    }
    void typeWholeKey();

    std::unique_ptr<frmKelvo> m_window;
    TabPanel *m_answers = nullptr;
    QTime m_now;
    qint64 m_realMs = 0;
};

void TestExamAccessibility::init()
{
    m_window = std::make_unique<frmKelvo>(QString());
    m_now = QTime(10, 0, 59, 500);
    m_realMs = 0;
    m_window->setClock([this] { return m_now; });
    m_window->setMonotonicClock([this] { return m_realMs; });
    m_answers = m_window->findChild<TabPanel *>(QStringLiteral("SSTab2"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestExamAccessibility::typeWholeKey()
{
    for (const int n : textItems()) {
        const QString name =
            n == 135 ? QStringLiteral("lbl正解335") : QStringLiteral("lbl正解%1").arg(n);
        m_window->Text(n)->setText(m_window->keyLabel(name)->caption());
    }
    m_window->chkKelvo(3)->setChecked(true);
}

void TestExamAccessibility::answerBlanksAreNamedByTheirItem_data()
{
    QTest::addColumn<int>("item");
    for (const int n : textItems())
        QTest::addRow("%d", n) << n;
}

void TestExamAccessibility::answerBlanksAreNamedByTheirItem()
{
    QFETCH(int, item);
    QLineEdit *blank = m_window->Text(item);
    QAccessibleInterface *text = iface(blank);
    QCOMPARE(text->role(), QAccessible::EditableText);
    QCOMPARE(text->text(QAccessible::Name),
             m_answers->tabText(pageOf(item)) + QStringLiteral(" の答え"));
    // Its caption 答え labels it.
    QCOMPARE(m_window->Label3(item)->buddy(), blank);
    bool labelled = false;
    for (const auto &[other, relation] : text->relations(QAccessible::Label))
        labelled = labelled || other->object() == m_window->Label3(item);
    QVERIFY(labelled);
    // Found on its page, in the page's order: the caption before the blank.
    QAccessibleInterface *page = text->parent();
    QCOMPARE(page->object(), m_answers->widget(pageOf(item)));
    QVERIFY(page->indexOfChild(iface(m_window->Label3(item))) < page->indexOfChild(text));
}

void TestExamAccessibility::choiceBoxesKeepTheirCaptions()
{
    for (int k = 1; k <= 9; ++k) {
        QAccessibleInterface *box = iface(m_window->chkKelvo(k));
        QCOMPARE(box->role(), QAccessible::CheckBox);
        QCOMPARE(box->text(QAccessible::Name), QString(QChar(0x2460 + k - 1)));
    }
    QAccessibleInterface *frame = iface(m_window->findChild<QGroupBox *>(QStringLiteral("Frame3")));
    QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("6-ｱ の答え"));
    QCOMPARE(iface(m_window->chkKelvo(3))->parent()->object(), frame->object());
}

void TestExamAccessibility::circleMarksAreNamed()
{
    // The figures of the question panel are a named picture too.
    QAccessibleInterface *figures = iface(label("Picture1"));
    QCOMPARE(figures->role(), QAccessible::Graphic);
    QCOMPARE(figures->text(QAccessible::Name), QStringLiteral("問題の図（図１、図２）"));

    QAccessibleInterface *mark = iface(m_window->pctマル(1));
    m_window->Text(1)->setText(QStringLiteral("9"));
    m_window->cmd得点_Click();
    QVERIFY(mark->state().invisible);
    m_window->Text(1)->setText(QStringLiteral("133"));
    m_window->cmd得点_Click();
    QCOMPARE(mark->role(), QAccessible::Graphic);
    QCOMPARE(mark->text(QAccessible::Name), QStringLiteral("正解"));
    QVERIFY(!mark->state().invisible);
}

void TestExamAccessibility::keyCaptionsReachNoReader_data()
{
    QTest::addColumn<bool>("marked");
    QTest::newRow("before marking") << false;
    QTest::newRow("after marking the whole key") << true;
}

void TestExamAccessibility::keyCaptionsReachNoReader()
{
    QFETCH(bool, marked);
    // Every caption of the table, as marking reads it.
    QStringList keys;
    const QList<AnswerSheet::Page> pages =
        AnswerSheet::readTable(QStringLiteral(":/tables/answersheet.tsv"));
    for (const AnswerSheet::Page &page : pages) {
        for (const auto &[name, caption] : page.keys) {
            QCOMPARE(m_window->keyLabel(name)->caption(), caption);
            keys << caption;
        }
    }
    QCOMPARE(keys.size(), 114);
    if (marked) {
        typeWholeKey();
        m_window->cmd得点_Click();
        QCOMPARE(label("lbl得点")->text(), QStringLiteral("140"));
    }

    const QList<SecretLabel *> secrets = m_window->findChildren<SecretLabel *>();
    QCOMPARE(secrets.size(), 115); // the keys and the answer under the tabs of page 5-ｻｼｽ
    int nodes = 0;
    walk(iface(m_window.get()), [&](QAccessibleInterface *node) {
        ++nodes;
        QVERIFY2(!qobject_cast<SecretLabel *>(node->object()),
                 qPrintable(node->object()->objectName()));
        for (QAccessible::Text t :
             {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help}) {
            // What the student typed into a blank is the student's own.
            if (t == QAccessible::Value && node->role() == QAccessible::EditableText)
                continue;
            const QString text = node->text(t);
            // A short caption ("3", "a") is also a legitimate text of its own.
            QVERIFY2(text.size() < 2 || !keys.contains(text),
                     qPrintable(node->object()->objectName() + QLatin1String(": ") + text));
        }
        for (int i = 0; i < node->childCount(); ++i)
            QCOMPARE(node->child(i)->parent()->object(), node->object());
    });
    // Hidden pages, their blanks and the tabs are all there.
    QVERIFY2(nodes > 56 * 3 + 58, qPrintable(QString::number(nodes)));
    // Asked for directly, a key label tells nothing.
    for (SecretLabel *secret : secrets) {
        // No widget holds a caption as its text, so no label's interface can tell it.
        QVERIFY(secret->text().isEmpty());
        QAccessibleInterface *node = iface(secret);
        QVERIFY(node->text(QAccessible::Name).isEmpty());
        QVERIFY(node->text(QAccessible::Description).isEmpty());
        QCOMPARE(node->childCount(), 0);
        QVERIFY(node->state().invisible);
    }
    // A page shows a reader its caption, blank and mark only.
    QAccessibleInterface *page = iface(m_answers->widget(0));
    QCOMPARE(page->childCount(), 3);
    QCOMPARE(page->child(1)->object(), m_window->Text(1));
}

void TestExamAccessibility::scoreAndTimeAreNamedWithTheirValues()
{
    QCOMPARE(iface(label("lbl得点"))->text(QAccessible::Name), QStringLiteral("得点"));
    QCOMPARE(iface(label("lbl秒"))->text(QAccessible::Name), QStringLiteral("残り時間"));
    QTest::mouseClick(button("cmdスタート"), Qt::LeftButton);
    QCOMPARE(iface(label("lbl秒"))->text(QAccessible::Name), QStringLiteral("残り時間 1:00"));
    m_window->Text(7)->setText(QStringLiteral("3"));
    m_window->Text(1)->setText(QStringLiteral("１３３"));
    QTest::mouseClick(button("cmd得点"), Qt::LeftButton);
    QCOMPARE(iface(label("lbl得点"))->text(QAccessible::Name), QStringLiteral("得点 4"));
    // The score button clears the time left.
    QCOMPARE(iface(label("lbl秒"))->text(QAccessible::Name), QStringLiteral("残り時間"));
    QCOMPARE(iface(label("lbl得点"))->role(), QAccessible::StaticText);
}

void TestExamAccessibility::readersHearScoreAndTimeChange()
{
    KELVO_NEED_ACCESSIBILITY_EVENTS();
    kelvo::test::AccessibleEvents events;
    QLabel *time = label("lbl秒");
    QLabel *score = label("lbl得点");
    QTest::mouseClick(button("cmdスタート"), Qt::LeftButton);
    QCOMPARE(events.of(QAccessible::NameChanged, time).size(), 1);
    QCOMPARE(events.of(QAccessible::NameChanged, time).constFirst().name,
             QStringLiteral("残り時間 1:00"));

    // The clock enters the next minute; the window's own timer takes the minute off.
    m_now = QTime(10, 1, 0, 200);
    m_realMs = 700;
    QTRY_COMPARE_WITH_TIMEOUT(events.of(QAccessible::NameChanged, time).size(), 2, 20000);
    QCOMPARE(events.of(QAccessible::NameChanged, time).constLast().name,
             QStringLiteral("残り時間 0:59"));
    // Ticks that change nothing say nothing: the player, opened at every tick, counts them.
    QStringList player;
    m_window->findChild<MciPlayer *>(QStringLiteral("MMControl1"))
        ->setDevice(std::make_unique<kelvo::test::RecordingDevice>(&player));
    QTRY_VERIFY_WITH_TIMEOUT(player.size() >= 2, 20000);
    const int ticks = int(events.of(QAccessible::NameChanged, time).size());
    QCOMPARE(ticks, 2);

    m_window->Text(7)->setText(QStringLiteral("3"));
    QTest::mouseClick(button("cmd得点"), Qt::LeftButton);
    QCOMPARE(events.of(QAccessible::NameChanged, score).size(), 1);
    QCOMPARE(events.of(QAccessible::NameChanged, score).constFirst().name,
             QStringLiteral("得点 2"));
    QCOMPARE(events.of(QAccessible::NameChanged, time).size(), ticks + 1);
}

// Orca speaks what changes only where the focus is, so the time left and the score are told
// through the notice: the time at the start, every ten minutes, each of the last five minutes
// and at 0:00, the score when marked; and the focus stays in the blank all along.
void TestExamAccessibility::readersAreToldTheTimeAtItsMarksAndTheScore()
{
    auto *notice = m_window->findChild<Notice *>();
    QVERIFY(notice);
    Said said(notice);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::mouseClick(button("cmdスタート"), Qt::LeftButton);
    QTRY_VERIFY(m_window->Text(1)->hasFocus());
    m_window->tmr時間()->setInterval(1);
    for (int left = 59; left >= 0; --left) {
        m_now = m_now.addSecs(60);
        m_realMs += 60'000;
        const QString shown = QTime(0, 0).addSecs(left * 60).toString(QStringLiteral("h:mm"));
        QTRY_COMPARE(label("lbl秒")->text(), shown);
    }
    const QStringList times{QStringLiteral("1:00"), QStringLiteral("0:50"), QStringLiteral("0:40"),
                            QStringLiteral("0:30"), QStringLiteral("0:20"), QStringLiteral("0:10"),
                            QStringLiteral("0:05"), QStringLiteral("0:04"), QStringLiteral("0:03"),
                            QStringLiteral("0:02"), QStringLiteral("0:01"), QStringLiteral("0:00")};
    QStringList expected;
    for (const QString &time : times)
        expected << QStringLiteral("残り時間 ") + time;
    QCOMPARE(said.messages, expected);
    QVERIFY(m_window->Text(1)->hasFocus());

    m_window->Text(7)->setText(QStringLiteral("3"));
    QTest::mouseClick(button("cmd得点"), Qt::LeftButton);
    QCOMPARE(said.messages.mid(expected.size()), QStringList{QStringLiteral("得点 2")});
    QVERIFY(notice->isVisible());
}

KELVO_TEST_MAIN(TestExamAccessibility)
#include "tst_examaccessibility.moc"
