// The exam window as the student first sees it: every control by name, where it stands,
// what it says, and the state it opens in.
#include "common/Items.h"
#include "common/KelvoTest.h"
#include "controls/QuestionView.h"
#include "controls/TabPanel.h"
#include "core/Marking.h"
#include "core/Twips.h"
#include "exam/AnswerSheet.h"
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

using kelvo::twipsRect;
using kelvo::test::textItems;

namespace
{
// Where the window is told its document is; nothing is read from there.
const QString kDocument = QStringLiteral("/nonexistent/Bralden/00Kelvo.dat");
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
    void controls_data();
    void controls();
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
    QCOMPARE(find<QWidget>(QStringLiteral("cmd得点"))->geometry(), twipsRect(480, 3360, 1215, 495));

    QTest::mouseClick(find<QPushButton>(QStringLiteral("cmdスタート")), Qt::LeftButton);
    QLineEdit *blank = m_window->Text(1);
    QVERIFY(blank->hasFocus());
    const QRect shown(blank->mapTo(area->viewport(), QPoint()), blank->size());
    QVERIFY2(area->viewport()->rect().contains(shown),
             qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                            .arg(shown.x())
                            .arg(shown.y())
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(area->viewport()->width())
                            .arg(area->viewport()->height())));
    // And back to the score button, far up and left.
    auto *score = find<QPushButton>(QStringLiteral("cmd得点"));
    score->setFocus(Qt::BacktabFocusReason);
    QVERIFY(area->viewport()->rect().contains(
        QRect(score->mapTo(area->viewport(), QPoint()), score->size())));
}

void TestExamWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("background");

    const QColor pink(255, 128, 255), none;
    QTest::newRow("start") << "cmdスタート" << twipsRect(480, 1200, 1215, 495) << "スタート" << 9.0
                           << true << none;
    QTest::newRow("time caption") << "Label1" << twipsRect(240, 1920, 1695, 375) << "あと　 　　分"
                                  << 12.0 << true << pink;
    QTest::newRow("time") << "lbl秒" << twipsRect(840, 1920, 735, 375) << "" << 14.25 << true
                          << pink;
    QTest::newRow("score button") << "cmd得点" << twipsRect(480, 3360, 1215, 495) << "得　点" << 9.0
                                  << true << none;
    QTest::newRow("average") << "Label4" << twipsRect(240, 4080, 1815, 255) << "（平均 57,36 点）"
                             << 9.0 << true << none;
    QTest::newRow("score unit") << "Label2" << twipsRect(480, 4440, 1215, 375) << "点" << 14.25
                                << true << pink;
    QTest::newRow("pass rate") << "cmd合格率" << twipsRect(480, 5880, 1215, 495) << "合格率" << 9.0
                               << true << none;
}

void TestExamWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(QColor, background);

    QWidget *w = find<QWidget>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->property("text").toString(), caption);
    QCOMPARE(w->font().family(), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(w->font().pointSizeF(), points);
    QCOMPARE(w->font().bold(), bold);
    if (background.isValid()) {
        // Rendered, not read back from a property: the colour the student sees.
        const QImage image = w->grab().toImage();
        QCOMPARE(QColor(image.pixel(1, 1)), background);
    }
}

void TestExamWindow::valueLabelsSit()
{
    auto *time = find<QLabel>(QStringLiteral("lbl秒"));
    auto *score = find<QLabel>(QStringLiteral("lbl得点"));
    QCOMPARE(time->alignment(), Qt::AlignCenter);
    QCOMPARE(find<QLabel>(QStringLiteral("Label1"))->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    QCOMPARE(score->pos(), QPoint(48, 296));
    QCOMPARE(score->font().pointSizeF(), 14.25);
    // The value labels lie above their caption labels.
    const QObjectList siblings = find<QWidget>(QStringLiteral("centralwidget"))->children();
    QVERIFY(siblings.indexOf(time) > siblings.indexOf(find<QLabel>(QStringLiteral("Label1"))));
    QVERIFY(siblings.indexOf(score) > siblings.indexOf(find<QLabel>(QStringLiteral("Label2"))));
    QVERIFY(!find<QLabel>(QStringLiteral("Label4"))->autoFillBackground());
    auto *player = find<QWidget>(QStringLiteral("MMControl1"));
    QCOMPARE(player->geometry(), twipsRect(0, 7920, 3540, 375));
    QVERIFY(player->isHidden());
}

void TestExamWindow::questionPanel()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab1"));
    QCOMPARE(panel->geometry(), twipsRect(2280, 0, 9615, 6015));
    QCOMPARE(panel->count(), 2);
    QCOMPARE(panel->tabsPerRow(), 2);
    QCOMPARE(panel->rowCount(), 1);
    QCOMPARE(panel->tabText(0), QStringLiteral("問　題"));
    QCOMPARE(panel->tabText(1), QStringLiteral("図 １、図２"));
    QCOMPARE(panel->currentIndex(), 0);

    auto *view = find<QuestionView>(QStringLiteral("Scriptlet1"));
    QCOMPARE(view->parentWidget(), panel->widget(0));
    QCOMPARE(view->geometry(), twipsRect(120, 360, 9375, 5535));
    QCOMPARE(view->documentPath(), kDocument);

    auto *figures = find<QLabel>(QStringLiteral("Picture1"));
    QCOMPARE(figures->parentWidget(), panel->widget(1));
    QCOMPARE(figures->geometry(), twipsRect(960, 1200, 7695, 3495));
    QCOMPARE(figures->pixmap().size(), QSize(510, 238));
    QVERIFY(!figures->hasScaledContents());
}

void TestExamWindow::answerPages()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab2"));
    QCOMPARE(panel->geometry(), twipsRect(2280, 6120, 9570, 2175));
    QCOMPARE(panel->count(), 56);
    QCOMPARE(panel->tabsPerRow(), 14);
    QCOMPARE(panel->rowCount(), 4);
    QCOMPARE(panel->currentIndex(), 0);
    QCOMPARE(panel->tabText(0), QStringLiteral("1-ｱｲｳ"));
    QCOMPARE(panel->tabText(35), QStringLiteral("3-ﾄﾅ"));
    QCOMPARE(panel->tabText(38), QStringLiteral("4-ｶｷｸｹｺ"));
    QCOMPARE(panel->tabText(49), QStringLiteral("6-ｱ"));
    QCOMPARE(panel->tabText(55), QStringLiteral("6-ﾁﾂ"));
    const QImage pagePicture = panel->widget(3)->grab().toImage();
    QCOMPARE(QColor(pagePicture.pixel(pagePicture.width() - 2, pagePicture.height() - 2)),
             QColor(255, 255, 0));

    // Blank n on page n-1 up to 35, blank 135 on page 35, blank n on page n from 36.
    for (const int n : textItems()) {
        const int pageIndex = n == 135 ? 35 : (n <= 35 ? n - 1 : n);
        QWidget *page = panel->widget(pageIndex);
        QLineEdit *text = m_window->Text(n);
        QVERIFY2(text, qPrintable(QString::number(n)));
        QCOMPARE(text->objectName(), QStringLiteral("Text_%1").arg(n));
        QCOMPARE(text->parentWidget(), page);
        QCOMPARE(text->geometry(), twipsRect(1920, 1440, 5175, 495));
        QVERIFY(text->text().isEmpty() && !text->isReadOnly() && text->isEnabled());
        QVERIFY(text->maxLength() >= 1 << 30);
        QLabel *caption = m_window->Label3(n);
        QCOMPARE(caption->objectName(), QStringLiteral("Label3_%1").arg(n));
        QCOMPARE(caption->text(), QStringLiteral("答え"));
        QCOMPARE(caption->geometry(), twipsRect(1320, 1560, 495, 255));
        QCOMPARE(caption->parentWidget(), page);
        QLabel *mark = m_window->pctマル(n);
        QCOMPARE(mark->objectName(), QStringLiteral("pctマル_%1").arg(n));
        QCOMPARE(mark->parentWidget(), page);
        QCOMPARE(mark->geometry(), twipsRect(480, 1440, 495, 495));
        QCOMPARE(mark->pixmap().size(), QSize(32, 32));
    }
    QVERIFY(!m_window->Text(49) && !m_window->Label3(49) && !m_window->Text(56));
    QCOMPARE(
        m_window->findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^Text_"))).size(),
        55);

    auto *label5 = find<SecretLabel>(QStringLiteral("Label5"));
    QCOMPARE(label5->caption(), QStringLiteral("611"));
    QCOMPARE(label5->parentWidget(), panel->widget(48));
    QCOMPARE(label5->geometry(), twipsRect(0, 0, 495, 255));
    QVERIFY(!label5->isHidden());
}

void TestExamWindow::keyLabels()
{
    const QList<SecretLabel *> keys =
        m_window->findChildren<SecretLabel *>(QRegularExpression(QStringLiteral("^lbl正解")));
    QCOMPARE(keys.size(), 114);
    for (SecretLabel *key : keys) {
        QVERIFY2(key->isHidden(), qPrintable(key->objectName()));
        QVERIFY(!key->caption().isEmpty());
        QCOMPARE(key->caption().trimmed(), key->caption());
    }
    auto *panel = find<TabPanel>(QStringLiteral("SSTab2"));
    const auto keyAt = [&](const QString &name) { return find<SecretLabel>(name); };
    QCOMPARE(keyAt(QStringLiteral("lbl正解4"))->caption(), QStringLiteral("-6"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解04"))->caption(), QStringLiteral("ー６"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解04"))->caption().at(0), QChar(0x30FC));
    QCOMPARE(keyAt(QStringLiteral("lbl正解028"))->caption(), QStringLiteral("１a"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解029"))->caption(), QStringLiteral("a"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解013"))->caption(), QStringLiteral("４ｂ６"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解038"))->caption(), QStringLiteral("ｃ１２３２"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解035"))->caption(), QStringLiteral("2313"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解135"))->caption(), QStringLiteral("１３２３"));
    QCOMPARE(keyAt(QStringLiteral("lbl正解135"))->parentWidget(), panel->widget(34));
    for (const char *name : {"lbl正解335", "lbl正解435", "lbl正解535", "lbl正解635"})
        QCOMPARE(keyAt(QString::fromUtf8(name))->parentWidget(), panel->widget(35));
    QCOMPARE(keyAt(QStringLiteral("lbl正解635"))->caption(), QStringLiteral("２３１３"));
    QVERIFY(!keyAt(QStringLiteral("lbl正解49")) && !keyAt(QStringLiteral("lbl正解049")));

    // Every full-width key follows from its half-width key: digits, b and c widen, "-"
    // becomes the prolonged sound mark, "a" stays as it is.
    const QString narrow = QStringLiteral("0123456789bc-a");
    const QString wide = QStringLiteral("０１２３４５６７８９ｂｃーa");
    for (const int n : textItems()) {
        if (n == 35 || n == 135)
            continue;
        QString expected = keyAt(QStringLiteral("lbl正解%1").arg(n))->caption();
        for (QChar &c : expected)
            c = wide.at(narrow.indexOf(c));
        QCOMPARE(keyAt(QStringLiteral("lbl正解0%1").arg(n))->caption(), expected);
    }
}

void TestExamWindow::choicePage()
{
    auto *panel = find<TabPanel>(QStringLiteral("SSTab2"));
    auto *frame = find<QGroupBox>(QStringLiteral("Frame3"));
    QCOMPARE(frame->title(), QStringLiteral("答え"));
    QCOMPARE(frame->parentWidget(), panel->widget(49));
    QCOMPARE(frame->geometry(), twipsRect(1320, 1320, 6975, 615));
    const int lefts[] = {360, 1080, 1800, 2520, 3240, 3960, 4680, 5400, 6120};
    const int widths[] = {735, 495, 735, 735, 615, 615, 615, 495, 495};
    for (int k = 1; k <= 9; ++k) {
        QCheckBox *box = m_window->chkKelvo(k);
        QCOMPARE(box->objectName(), QStringLiteral("chkKelvo_%1").arg(k));
        QCOMPARE(box->parentWidget(), frame);
        QCOMPARE(box->text(), QString(QChar(0x2460 + k - 1)));
        QCOMPARE(box->geometry(), twipsRect(lefts[k - 1], 240, widths[k - 1], 255));
        QVERIFY(!box->isChecked());
    }
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
