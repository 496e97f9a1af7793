// The exam window as the student first sees it: every control by name, how the controls stand
// to each other, the answer sheet as its table gives it, and the state the window opens in.
#include "common/Items.h"
#include "common/KelvoTest.h"
#include "controls/QuestionView.h"
#include "controls/TabPanel.h"
#include "core/Marking.h"
#include "exam/SecretLabel.h"
#include "exam/frmKelvo.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;
using kelvo::test::answerTable;
using kelvo::test::textItems;

namespace
{
// Where the window is told its document is; nothing is read from there.
const QString kDocument = QStringLiteral("/nonexistent/Bralden/00Kelvo.dat");

// Whether every rect stands inside outer, and no two of them overlap.
bool apartWithin(const QList<QRect> &rects, const QRect &outer)
{
    for (qsizetype i = 0; i < rects.size(); ++i) {
        if (!outer.contains(rects.at(i)))
            return false;
        for (qsizetype j = i + 1; j < rects.size(); ++j)
            if (rects.at(i).intersects(rects.at(j)))
                return false;
    }
    return true;
}
} // namespace

class TestExamWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_window.reset(); }

    void answerPagesMadeRightAfterTheFirstPaint();
    void windowItself();
    void smallWindowScrollsToTheFocus();
    void leftColumn();
    void valueLabelsSit();
    void questionPanel();
    void answerPages();
    void keyLabels();
    void choicePage();
    void menus();
    void initialState();
    void gothicFontIsFixedPitch();

private:
    template <typename T> T *find(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }
    std::unique_ptr<frmKelvo> m_window;
};

// The window as it is once it is up: shown, painted, every answer page made.
void TestExamWindow::init()
{
    m_window = std::make_unique<frmKelvo>(kDocument);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_VERIFY(find<QGroupBox>(QStringLiteral("Frame3")));
}

// The first paint shows the first answer page only: the others are made right after it, and
// show their controls as the first page does.
void TestExamWindow::answerPagesMadeRightAfterTheFirstPaint()
{
    frmKelvo window(kDocument);
    auto *panel = window.findChild<TabPanel *>(QStringLiteral("SSTab2"));
    QVERIFY(window.findChild<QLineEdit *>(QStringLiteral("Text_1")));
    QVERIFY(!window.findChild<QLineEdit *>(QStringLiteral("Text_2")));
    QVERIFY(!window.findChild<QGroupBox *>(QStringLiteral("Frame3")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.findChild<QGroupBox *>(QStringLiteral("Frame3")));
    QCOMPARE(window.findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^Text_"))).size(),
             55);
    panel->setCurrentIndex(1);
    QVERIFY(window.findChild<QLineEdit *>(QStringLiteral("Text_2"))->isVisible());
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("Label3_2"))->isVisible());
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("pctマル_2"))->isVisible());
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lbl正解2"))->isVisible());
    panel->setCurrentIndex(49);
    QVERIFY(window.findChild<QCheckBox *>(QStringLiteral("chkKelvo_3"))->isVisible());

    // In the tab order the pages' controls follow each other in page order, whenever made.
    QStringList chain;
    for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
        chain << w->objectName();
    QStringList expected;
    for (const int n : kelvo::marking::markingOrder())
        expected << (n == 49 ? QStringLiteral("chkKelvo_1") : QStringLiteral("Text_%1").arg(n));
    QStringList answers = chain.filter(QRegularExpression(QStringLiteral("^(Text_|chkKelvo_1$)")));
    QCOMPARE(answers, expected);

    // Whoever asks for a control before then gets it at once.
    frmKelvo early(kDocument);
    QVERIFY(early.Text(55));
    QVERIFY(early.chkKelvo(9));
    QVERIFY(early.findChild<QGroupBox *>(QStringLiteral("Frame3")));
}

void TestExamWindow::windowItself()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmKelvo"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("問題 （Kelvo）"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto *client = find<QWidget>(QStringLiteral("centralwidget"));
    QCOMPARE(m_window->centralWidget(), client->parentWidget()->parentWidget()); // its area
    QCOMPARE(QRect(client->mapTo(m_window.get(), QPoint()), client->size()),
             QRect(QPoint(0, m_window->menuBar()->height()), QSize(792, 554)));
    // Nothing moves when the window grows.
    const QPoint start = m_window->findChild<QWidget *>(QStringLiteral("cmdスタート"))
                             ->mapTo(m_window.get(), QPoint());
    m_window->resize(1000, 760);
    QTRY_COMPARE(client->width(), 1000);
    QCOMPARE(m_window->findChild<QWidget *>(QStringLiteral("cmdスタート"))
                 ->mapTo(m_window.get(), QPoint()),
             start);
    QCOMPARE(m_window->font().family(), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(m_window->font().pointSize(), 9);
    const QPixmap picture = client->property("picture").value<QPixmap>();
    QCOMPARE(picture.size(), QSize(794, 567));
    QTimer *timer = find<QTimer>(QStringLiteral("tmr時間"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(!timer->isActive());
}

void TestExamWindow::smallWindowScrollsToTheFocus()
{
    // On a small screen the window is smaller than its controls: they keep their places and
    // the client area scrolls, always to the control with the focus.
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->resize(400, 300);
    auto *area = m_window->findChild<QScrollArea *>();
    QTRY_VERIFY(area->verticalScrollBar()->isVisible() && area->horizontalScrollBar()->isVisible());
    auto *client = find<QWidget>(QStringLiteral("centralwidget"));
    QCOMPARE(client->size(), QSize(792, 554));

    QTest::mouseClick(find<QPushButton>(QStringLiteral("cmdスタート")), Qt::LeftButton);
    QLineEdit *blank = m_window->Text(1);
    QVERIFY(blank->hasFocus());
    const QRect shown(blank->mapTo(area->viewport(), QPoint()), blank->size());
    QVERIFY2(area->viewport()->rect().contains(shown),
             qPrintable(QDebug::toString(shown) + QDebug::toString(area->viewport()->size())));
    // And back to the score button, far up and left.
    auto *score = find<QPushButton>(QStringLiteral("cmd得点"));
    score->setFocus(Qt::BacktabFocusReason);
    QVERIFY(area->viewport()->rect().contains(
        QRect(score->mapTo(area->viewport(), QPoint()), score->size())));
}

// The buttons and labels of the left column, top to bottom, left of the question panel: each
// caption in the Gothic face, bold, fitting its control; the coloured labels rendered pink.
void TestExamWindow::leftColumn()
{
    const QStringList names{u"cmdスタート"_qs, u"Label1"_qs, u"cmd得点"_qs,
                            u"Label4"_qs,      u"Label2"_qs, u"cmd合格率"_qs};
    const QRect questions = find<QWidget>(QStringLiteral("SSTab1"))->geometry();
    QList<QRect> rects;
    for (const QString &name : names) {
        QWidget *w = find<QWidget>(name);
        QVERIFY2(w, qPrintable(name));
        rects << w->geometry();
        const QString caption = w->property("text").toString();
        QVERIFY(!caption.isEmpty());
        QVERIFY2(w->fontMetrics().horizontalAdvance(caption) <= w->width(), qPrintable(name));
        QCOMPARE(w->font().family(), QStringLiteral("ＭＳ ゴシック"));
        QVERIFY(w->font().bold());
        QVERIFY(w->geometry().right() < questions.left());
        if (rects.size() > 1)
            QVERIFY2(rects.at(rects.size() - 2).bottom() < w->geometry().top(), qPrintable(name));
    }
    QVERIFY(apartWithin(rects, QRect(QPoint(), QSize(792, 554))));
    // Rendered, not read back from a property: the colour the student sees.
    for (const char *name : {"Label1", "lbl秒", "Label2"}) {
        const QImage image = find<QWidget>(QString::fromUtf8(name))->grab().toImage();
        QCOMPARE(QColor(image.pixel(1, 1)), QColor(255, 128, 255));
    }
}

void TestExamWindow::valueLabelsSit()
{
    auto *time = find<QLabel>(QStringLiteral("lbl秒"));
    auto *score = find<QLabel>(QStringLiteral("lbl得点"));
    QCOMPARE(time->alignment(), Qt::AlignCenter);
    QCOMPARE(find<QLabel>(QStringLiteral("Label1"))->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    // Designer stores whole point sizes; the value labels and the unit are 14.25 points.
    for (QLabel *label : {time, score, find<QLabel>(QStringLiteral("Label2"))})
        QCOMPARE(label->font().pointSizeF(), 14.25);
    // The value labels lie above their caption labels, and within them.
    const QObjectList siblings = find<QWidget>(QStringLiteral("centralwidget"))->children();
    QVERIFY(siblings.indexOf(time) > siblings.indexOf(find<QLabel>(QStringLiteral("Label1"))));
    QVERIFY(siblings.indexOf(score) > siblings.indexOf(find<QLabel>(QStringLiteral("Label2"))));
    QVERIFY(find<QLabel>(QStringLiteral("Label1"))->geometry().contains(time->geometry()));
    QVERIFY(find<QLabel>(QStringLiteral("Label2"))->geometry().contains(score->pos()));
    QVERIFY(!find<QLabel>(QStringLiteral("Label4"))->autoFillBackground());
    QVERIFY(find<QWidget>(QStringLiteral("MMControl1"))->isHidden());
}

void TestExamWindow::questionPanel()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab1"));
    QCOMPARE(panel->count(), 2);
    QCOMPARE(panel->tabsPerRow(), 2);
    QCOMPARE(panel->rowCount(), 1);
    QCOMPARE(panel->tabText(0), QStringLiteral("問　題"));
    QCOMPARE(panel->tabText(1), QStringLiteral("図 １、図２"));
    QCOMPARE(panel->currentIndex(), 0);

    auto *view = find<QuestionView>(QStringLiteral("Scriptlet1"));
    QCOMPARE(view->parentWidget(), panel->widget(0));
    QCOMPARE(view->documentPath(), kDocument);

    // The figures picture at its own size, on its page.
    auto *figures = find<QLabel>(QStringLiteral("Picture1"));
    QCOMPARE(figures->parentWidget(), panel->widget(1));
    QCOMPARE(figures->pixmap().size(), QSize(510, 238));
    QVERIFY(!figures->hasScaledContents());
    panel->setCurrentIndex(1);
    QVERIFY(QRect(QPoint(), panel->widget(1)->size()).contains(figures->geometry()));
    panel->setCurrentIndex(0);
    QVERIFY(QRect(QPoint(), panel->widget(0)->size()).contains(view->geometry()));
}

void TestExamWindow::answerPages()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab2"));
    QCOMPARE(panel->count(), int(answerTable().size()));
    QCOMPARE(panel->tabsPerRow(), 14);
    QCOMPARE(panel->rowCount(), 4);
    QCOMPARE(panel->currentIndex(), 0);
    const QImage pagePicture = panel->widget(3)->grab().toImage();
    QCOMPARE(QColor(pagePicture.pixel(pagePicture.width() - 2, pagePicture.height() - 2)),
             QColor(255, 255, 0));

    // Each page as its row of the table says; every text page laid out as the first: the
    // mark, the caption 答え and the blank side by side, inside the page.
    const QList<QRect> first{m_window->pctマル(1)->geometry(), m_window->Label3(1)->geometry(),
                             m_window->Text(1)->geometry()};
    QVERIFY(apartWithin(first, QRect(QPoint(), panel->widget(0)->size())));
    QVERIFY(first.at(0).right() < first.at(1).left() && first.at(1).right() < first.at(2).left());
    for (const kelvo::AnswerRow &row : answerTable()) {
        const int n = row.item;
        QCOMPARE(panel->tabText(row.page), row.caption);
        QWidget *page = panel->widget(row.page);
        QLabel *mark = m_window->pctマル(n);
        QCOMPARE(mark->objectName(), QStringLiteral("pctマル_%1").arg(n));
        QCOMPARE(mark->parentWidget(), page);
        QCOMPARE(mark->pixmap().size(), QSize(32, 32));
        if (row.isChoice())
            continue;
        QLineEdit *text = m_window->Text(n);
        QVERIFY2(text, qPrintable(QString::number(n)));
        QCOMPARE(text->objectName(), QStringLiteral("Text_%1").arg(n));
        QCOMPARE(text->parentWidget(), page);
        QVERIFY(text->text().isEmpty() && !text->isReadOnly() && text->isEnabled());
        QVERIFY(text->maxLength() >= 1 << 30);
        QLabel *caption = m_window->Label3(n);
        QCOMPARE(caption->objectName(), QStringLiteral("Label3_%1").arg(n));
        QCOMPARE(caption->text(), QStringLiteral("答え"));
        QCOMPARE(caption->parentWidget(), page);
        QCOMPARE((QList<QRect>{mark->geometry(), caption->geometry(), text->geometry()}), first);
    }
    QVERIFY(!m_window->Text(49) && !m_window->Label3(49) && !m_window->Text(56));
    QCOMPARE(
        m_window->findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^Text_"))).size(),
        textItems().size());

    // Under the tab rows of item 48's page, unseen.
    auto *label5 = find<SecretLabel>(QStringLiteral("Label5"));
    QCOMPARE(label5->caption(), QStringLiteral("611"));
    QCOMPARE(label5->parentWidget(), m_window->Text(48)->parentWidget());
    QVERIFY(!label5->isHidden());
}

// The key labels are the table's, on their items' pages, hidden.
void TestExamWindow::keyLabels()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab2"));
    int count = 0;
    for (const kelvo::AnswerRow &row : answerTable()) {
        for (const auto &[name, caption] : row.keys) {
            auto *key = find<SecretLabel>(name);
            QVERIFY2(key, qPrintable(name));
            QCOMPARE(key->caption(), caption);
            QCOMPARE(key->parentWidget(), panel->widget(row.page));
            QVERIFY2(key->isHidden(), qPrintable(name));
            ++count;
        }
    }
    QCOMPARE(count, 114);
    QCOMPARE(
        m_window->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^lbl正解"))).size(),
        count);
}

void TestExamWindow::choicePage()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab2"));
    auto *frame = find<QGroupBox>(QStringLiteral("Frame3"));
    QCOMPARE(frame->title(), QStringLiteral("答え"));
    QCOMPARE(frame->parentWidget(), panel->widget(49));
    QVERIFY(QRect(QPoint(), panel->widget(49)->size()).contains(frame->geometry()));
    // ① to ⑨ from left to right in one row inside the frame.
    QList<QRect> boxes;
    for (int k = 1; k <= 9; ++k) {
        QCheckBox *box = m_window->chkKelvo(k);
        QCOMPARE(box->objectName(), QStringLiteral("chkKelvo_%1").arg(k));
        QCOMPARE(box->parentWidget(), frame);
        QCOMPARE(box->text(), QString(QChar(0x2460 + k - 1)));
        QVERIFY(!box->isChecked());
        if (!boxes.isEmpty())
            QCOMPARE(box->y(), boxes.constFirst().y());
        boxes << box->geometry();
    }
    for (const QRect &box : boxes)
        QVERIFY(QRect(QPoint(), frame->size()).contains(box));
    QVERIFY(std::is_sorted(boxes.cbegin(), boxes.cend(),
                           [](const QRect &a, const QRect &b) { return a.x() < b.x(); }));
    QCOMPARE(m_window->pctマル(49)->parentWidget(), panel->widget(49));
    QVERIFY(!m_window->chkKelvo(0) && !m_window->chkKelvo(10));
}

void TestExamWindow::menus()
{
    auto *game = find<QMenu>(QStringLiteral("mnuGame"));
    auto *help = find<QMenu>(QStringLiteral("mnuHelp"));
    QCOMPARE(game->title(), QStringLiteral("ゲーム(&G)"));
    QCOMPARE(help->title(), QStringLiteral("ヘルプ(&H)"));
    const QList<QAction *> bar = m_window->menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0), game->menuAction());
    QCOMPARE(bar.at(1), help->menuAction());
    const auto item = [](QMenu *menu, const QString &name, const QString &text) {
        QCOMPARE(menu->actions().size(), 1);
        QAction *action = menu->actions().constFirst();
        QCOMPARE(action->objectName(), name);
        QCOMPARE(action->text(), text);
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->isCheckable() && action->isEnabled());
    };
    item(game, QStringLiteral("mnuExit"), QStringLiteral("終了(&Q)"));
    item(help, QStringLiteral("mnuAbout"), QStringLiteral("バージョン情報(&A)"));
}

void TestExamWindow::initialState()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (const char *name : {"cmdスタート", "cmd得点", "cmd合格率"})
        QVERIFY(find<QPushButton>(QString::fromUtf8(name))->isEnabled());
    QVERIFY(find<QLabel>(QStringLiteral("lbl秒"))->text().isEmpty());
    QVERIFY(find<QLabel>(QStringLiteral("lbl得点"))->text().isEmpty());
    for (QLabel *mark :
         m_window->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^pctマル_"))))
        QVERIFY(!mark->isVisible() && mark->isHidden());
    QCOMPARE(
        m_window->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^pctマル_"))).size(),
        56);
    QCOMPARE(m_window->remainingTime(), 0.0);
    QCOMPARE(m_window->minutes(), qint16(0));
}

void TestExamWindow::gothicFontIsFixedPitch()
{
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPointSize(9);
    const QFontInfo info(font);
    QCOMPARE(info.family(), QStringLiteral("IPAGothic"));
    const QFontMetrics metrics(font);
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("　")),
             2 * metrics.horizontalAdvance(QLatin1Char(' ')));
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("ｱ")),
             metrics.horizontalAdvance(QLatin1Char('1')));
}

KELVO_TEST_MAIN(TestExamWindow)
#include "tst_examwindow.moc"
