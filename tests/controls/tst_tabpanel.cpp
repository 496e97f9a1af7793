// The multi-row tab panel: rows of tabs, pages that keep their values, keys that turn
// pages, the focus landing in the page's first control, the tabs from the keyboard alone,
// and the panel as a screen reader sees it.
#include "common/AccessibleEvents.h"
#include "common/KelvoTest.h"
#include "common/Typing.h"
#include "controls/TabButton.h"
#include "controls/TabPanel.h"
#include "controls/TabPanelBar.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

class TestTabPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { delete m_window; }

    void rowsOfTabs();
    void clickShowsExactlyThatPage();
    void valuesSurvivePageSwitches();
    void keysTurnPages_data();
    void keysTurnPages();
    void keysOnlyTurnThePanelWithTheFocus();
    void pagesCoverTheTabRows();
    void pageChangeLeavesTheAnswerAsItWas_data();
    void pageChangeLeavesTheAnswerAsItWas();
    void pageChangeIsNoTabIntoADocument();

    void arrowKeysMoveBetweenTabs_data();
    void arrowKeysMoveBetweenTabs();
    void tabKeyPassesTabsThenPage();
    void focusIsDrawnOnTheCurrentTab();
    void readerSeesPageTabs();
    void readerFollowsTheFocusedTab();
    void pressActionChoosesThePage();

private:
    QAccessibleInterface *tabInterface(int index) const
    {
        return QAccessible::queryAccessibleInterface(m_panel->tabButton(index));
    }
    void focusTabs();

    QWidget *m_window = nullptr;
    QPushButton *m_before = nullptr;
    TabPanel *m_panel = nullptr;
    TabPanel *m_other = nullptr;
    QList<QLineEdit *> m_edits;
};

void TestTabPanel::init()
{
    m_window = new QWidget;
    m_window->resize(700, 400);
    m_before = new QPushButton(QStringLiteral("before"), m_window);
    m_before->setGeometry(640, 200, 50, 30);
    m_panel = new TabPanel(m_window);
    m_panel->setGeometry(0, 200, 638, 145);
    m_panel->setTabsPerRow(14);
    m_panel->setTabHeight(20);
    m_edits.clear();
    for (int i = 0; i < 56; ++i) {
        auto *page = new QWidget;
        page->setWindowTitle(QStringLiteral("%1-ｱｲ").arg(i));
        auto *edit = new QLineEdit(page);
        edit->setObjectName(QStringLiteral("edit%1").arg(i));
        edit->setGeometry(128, 96, 345, 33);
        m_edits << edit;
        m_panel->addPage(page);
    }
    m_other = new TabPanel(m_window);
    m_other->setGeometry(0, 0, 600, 180);
    m_other->setTabsPerRow(2);
    for (int i = 0; i < 2; ++i) {
        auto *page = new QWidget;
        new QLineEdit(page);
        m_other->addPage(page, QStringLiteral("q%1").arg(i));
    }
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestTabPanel::rowsOfTabs()
{
    QCOMPARE(m_panel->count(), 56);
    QCOMPARE(m_panel->rowCount(), 4);
    QCOMPARE(m_panel->tabText(13), QStringLiteral("13-ｱｲ"));
    int width = 0;
    for (int i = 0; i < 14; ++i)
        width += m_panel->tabButton(i)->width();
    QCOMPARE(width, m_panel->width());
    QCOMPARE(m_panel->tabButton(0)->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(m_panel->tabButton(14)->geometry().topLeft(), QPoint(0, 20));
    QCOMPARE(m_panel->tabButton(55)->geometry().bottom(), 79);
    QCOMPARE(m_panel->tabButton(55)->geometry().right(), m_panel->width() - 1);
    // A half-width caption of seven characters fits its tab.
    QVERIFY(m_panel->tabButton(0)->fontMetrics().horizontalAdvance(QStringLiteral("4-ｶｷｸｹｺ")) <
            m_panel->tabButton(0)->width());
}

void TestTabPanel::clickShowsExactlyThatPage()
{
    QSignalSpy changed(m_panel, &TabPanel::currentChanged);
    QTest::mouseClick(m_panel->tabButton(37), Qt::LeftButton);
    QCOMPARE(m_panel->currentIndex(), 37);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 37);
    for (int i = 0; i < 56; ++i) {
        QCOMPARE(m_edits.at(i)->isVisible(), i == 37);
        QCOMPARE(m_panel->tabButton(i)->isChecked(), i == 37);
    }
    QVERIFY(m_edits.at(37)->hasFocus());
}

void TestTabPanel::valuesSurvivePageSwitches()
{
    QTest::mouseClick(m_panel->tabButton(5), Qt::LeftButton);
    kelvo::test::type(m_edits.at(5), QStringLiteral("ー６"));
    QTest::mouseClick(m_panel->tabButton(40), Qt::LeftButton);
    kelvo::test::type(m_edits.at(40), QStringLiteral("c1"));
    QTest::mouseClick(m_panel->tabButton(5), Qt::LeftButton);
    QCOMPARE(m_edits.at(5)->text(), QStringLiteral("ー６"));
    QCOMPARE(m_edits.at(40)->text(), QStringLiteral("c1"));
    QVERIFY(m_edits.at(5)->isVisible());
}

void TestTabPanel::keysTurnPages_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<bool>("fromTabs");
    QTest::addColumn<int>("expected");
    QTest::newRow("ctrl+tab") << 3 << (Qt::CTRL | Qt::Key_Tab) << false << 4;
    QTest::newRow("ctrl+tab wraps") << 55 << (Qt::CTRL | Qt::Key_Tab) << false << 0;
    QTest::newRow("ctrl+shift+tab") << 3 << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << false << 2;
    QTest::newRow("ctrl+shift+tab wraps")
        << 0 << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << false << 55;
    QTest::newRow("ctrl+pgdn") << 13 << (Qt::CTRL | Qt::Key_PageDown) << false << 14;
    QTest::newRow("ctrl+pgup") << 14 << (Qt::CTRL | Qt::Key_PageUp) << false << 13;
    QTest::newRow("ctrl+tab on the tabs") << 20 << (Qt::CTRL | Qt::Key_Tab) << true << 21;
    QTest::newRow("ctrl+pgup on the tabs") << 20 << (Qt::CTRL | Qt::Key_PageUp) << true << 19;
}

void TestTabPanel::keysTurnPages()
{
    QFETCH(int, start);
    QFETCH(QKeyCombination, keys);
    QFETCH(bool, fromTabs);
    QFETCH(int, expected);
    m_panel->setCurrentIndex(start);
    QWidget *from = fromTabs ? static_cast<QWidget *>(m_panel->tabBar()) : m_edits.at(start);
    from->setFocus();
    QTRY_VERIFY(from->hasFocus());
    QWidgetList focused;
    const auto record =
        connect(qApp, &QApplication::focusChanged, this, [&](QWidget *, QWidget *now) {
            if (now)
                focused << now;
        });
    QTest::keyClick(from, keys.key(), keys.keyboardModifiers());
    disconnect(record);
    QCOMPARE(m_panel->currentIndex(), expected);
    // Straight there, not through the controls that follow the panel.
    QCOMPARE(focused, QWidgetList{m_edits.at(expected)});
    // The student lands in the blank of the page and can type at once.
    QVERIFY(m_edits.at(expected)->hasFocus());
    kelvo::test::type(QApplication::focusWidget(), QStringLiteral("12"));
    QCOMPARE(m_edits.at(expected)->text(), QStringLiteral("12"));
    QVERIFY(m_edits.at(start)->text().isEmpty() || start == expected);
}

void TestTabPanel::keysOnlyTurnThePanelWithTheFocus()
{
    QWidget *edit = m_other->widget(0)->findChild<QLineEdit *>();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(m_other->currentIndex(), 1);
    QCOMPARE(m_panel->currentIndex(), 0);
}

void TestTabPanel::pagesCoverTheTabRows()
{
    // Controls on a page are placed relative to the panel, tab rows included.
    QCOMPARE(m_edits.at(0)->mapTo(m_panel, QPoint(0, 0)), QPoint(128, 96));
    QCOMPARE(m_panel->widget(0)->geometry(), m_panel->rect());
}

void TestTabPanel::pageChangeLeavesTheAnswerAsItWas_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click on the tab") << QStringLiteral("click");
    QTest::newRow("ctrl+tab") << QStringLiteral("ctrl+tab");
    QTest::newRow("ctrl+pgup") << QStringLiteral("ctrl+pgup");
}

// The answer reached by a page change shows its caret at its end with nothing selected, so
// the next key adds to it rather than replacing it.
void TestTabPanel::pageChangeLeavesTheAnswerAsItWas()
{
    QFETCH(QString, how);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QLineEdit *answer = m_edits.at(5);
    answer->setText(QStringLiteral("ー６"));
    answer->setCursorPosition(0);
    const int from = how == QLatin1String("ctrl+pgup") ? 6 : 4;
    m_panel->setCurrentIndex(from);
    m_edits.at(from)->setFocus();
    QTRY_VERIFY(m_edits.at(from)->hasFocus());
    if (how == QLatin1String("click")) {
        QTest::mouseClick(m_panel->tabButton(5), Qt::LeftButton);
    } else if (how == QLatin1String("ctrl+tab")) {
        QTest::keyClick(m_edits.at(from), Qt::Key_Tab, Qt::ControlModifier);
    } else {
        QTest::keyClick(m_edits.at(from), Qt::Key_PageUp, Qt::ControlModifier);
    }
    QCOMPARE(m_panel->currentIndex(), 5);
    QTRY_VERIFY(answer->hasFocus());
    QVERIFY2(!answer->hasSelectedText(), qPrintable(answer->selectedText()));
    QCOMPARE(answer->cursorPosition(), answer->text().size());
    kelvo::test::type(answer, QStringLiteral("1"));
    QCOMPARE(answer->text(), QStringLiteral("ー６1"));
}

// A page whose first control is a document view: a browser told it was reached by Tab moves
// its document's own focus to the first element there and scrolls to it, so a page change
// must not tell it so.
void TestTabPanel::pageChangeIsNoTabIntoADocument()
{
    class Document : public QWidget
    {
    public:
        using QWidget::QWidget;
        QList<Qt::FocusReason> reasons;

    protected:
        void focusInEvent(QFocusEvent *event) override { reasons << event->reason(); }
    };
    auto *document = new Document(m_other->widget(1));
    document->setFocusPolicy(Qt::StrongFocus);
    document->setGeometry(8, 24, 200, 100);
    document->show();
    m_other->widget(1)->findChild<QLineEdit *>()->setFocusPolicy(Qt::NoFocus);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::mouseClick(m_other->tabButton(1), Qt::LeftButton);
    QTRY_VERIFY(document->hasFocus());
    QTest::mouseClick(m_other->tabButton(0), Qt::LeftButton);
    QWidget *edit = m_other->widget(0)->findChild<QLineEdit *>();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    QTRY_VERIFY(document->hasFocus());
    QCOMPARE(document->reasons.size(), 2);
    for (const Qt::FocusReason reason : document->reasons)
        QVERIFY(reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason);
}

void TestTabPanel::focusTabs()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_panel->tabBar()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(m_panel->tabBar()->hasFocus());
}

void TestTabPanel::arrowKeysMoveBetweenTabs_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("expected");
    // 56 tabs, 14 to a row: row 0 holds 0..13, row 3 holds 42..55.
    QTest::newRow("left") << 3 << Qt::Key_Left << 2;
    QTest::newRow("left at the first stays") << 0 << Qt::Key_Left << 0;
    QTest::newRow("left to the row above") << 14 << Qt::Key_Left << 13;
    QTest::newRow("right") << 3 << Qt::Key_Right << 4;
    QTest::newRow("right to the next row") << 13 << Qt::Key_Right << 14;
    QTest::newRow("right at the last stays") << 55 << Qt::Key_Right << 55;
    QTest::newRow("up a row") << 20 << Qt::Key_Up << 6;
    QTest::newRow("up in the first row stays") << 5 << Qt::Key_Up << 5;
    QTest::newRow("down a row") << 5 << Qt::Key_Down << 19;
    QTest::newRow("down in the last row stays") << 50 << Qt::Key_Down << 50;
    QTest::newRow("home") << 30 << Qt::Key_Home << 0;
    QTest::newRow("end") << 3 << Qt::Key_End << 55;
}

void TestTabPanel::arrowKeysMoveBetweenTabs()
{
    QFETCH(int, start);
    QFETCH(Qt::Key, key);
    QFETCH(int, expected);
    m_panel->setCurrentIndex(start);
    focusTabs();
    QTest::keyClick(m_panel->tabBar(), key);
    QCOMPARE(m_panel->currentIndex(), expected);
    QVERIFY(m_panel->tabButton(expected)->isChecked());
    QVERIFY(m_edits.at(expected)->isVisible());
    // The focus stays on the tabs, so the next arrow goes on from here.
    QVERIFY(m_panel->tabBar()->hasFocus());
    QVERIFY(m_panel->tabButton(expected)->focusShown());
}

void TestTabPanel::tabKeyPassesTabsThenPage()
{
    m_panel->setCurrentIndex(9);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_before->setFocus();
    QTRY_VERIFY(m_before->hasFocus());
    // From the control before the panel: first the tabs, then the blank of the shown page.
    QTest::keyClick(m_before, Qt::Key_Tab);
    QVERIFY(m_panel->tabBar()->hasFocus());
    QTest::keyClick(m_panel->tabBar(), Qt::Key_Right);
    QTest::keyClick(m_panel->tabBar(), Qt::Key_Tab);
    QVERIFY(m_edits.at(10)->hasFocus());
    kelvo::test::type(m_edits.at(10), QStringLiteral("ー６"));
    QCOMPARE(m_edits.at(10)->text(), QStringLiteral("ー６"));
    // And back.
    QTest::keyClick(m_edits.at(10), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(m_panel->tabBar()->hasFocus());
    QTest::keyClick(m_panel->tabBar(), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(m_before->hasFocus());
    // The tabs are one stop: no tab takes the focus itself.
    for (int i = 0; i < m_panel->count(); ++i)
        QCOMPARE(m_panel->tabButton(i)->focusPolicy(), Qt::NoFocus);
}

void TestTabPanel::focusIsDrawnOnTheCurrentTab()
{
    m_panel->setCurrentIndex(4);
    focusTabs();
    const QImage focused = m_panel->tabButton(4)->grab().toImage();
    QVERIFY(m_panel->tabButton(4)->focusShown());
    QVERIFY(!m_panel->tabButton(5)->focusShown());
    m_edits.at(4)->setFocus();
    QTRY_VERIFY(m_edits.at(4)->hasFocus());
    QVERIFY(!m_panel->tabButton(4)->focusShown());
    QVERIFY(focused != m_panel->tabButton(4)->grab().toImage());
}

void TestTabPanel::readerSeesPageTabs()
{
    m_panel->setCurrentIndex(37);
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(m_panel);
    QVERIFY(panel);
    // The tabs first, then the pages, though the tabs lie on top.
    QCOMPARE(panel->childCount(), 2);
    QAccessibleInterface *list = panel->child(0);
    QCOMPARE(list->object(), m_panel->tabBar());
    QCOMPARE(list->role(), QAccessible::PageTabList);
    QCOMPARE(list->parent()->object(), m_panel);
    QCOMPARE(panel->indexOfChild(list), 0);
    // The stack of pages is a mere container, which a reader does not name on the way into a
    // page (a layered pane it would).
    QCOMPARE(panel->child(1)->role(), QAccessible::Client);
    QVERIFY(qobject_cast<QWidget *>(panel->child(1)->object())->isAncestorOf(m_edits.at(0)));

    QCOMPARE(list->childCount(), 56);
    for (int i = 0; i < 56; ++i) {
        QAccessibleInterface *tab = list->child(i);
        QCOMPARE(tab->object(), m_panel->tabButton(i));
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), m_panel->tabText(i));
        QCOMPARE(tab->state().selected, i == 37);
        QVERIFY(tab->state().selectable && tab->state().focusable);
        QVERIFY(!tab->state().checkable);
        QCOMPARE(tab->parent()->object(), m_panel->tabBar());
        QCOMPARE(list->indexOfChild(tab), i);
    }
    // The question panel's two tabs too.
    QAccessibleInterface *other = QAccessible::queryAccessibleInterface(m_other->tabBar());
    QCOMPARE(other->childCount(), 2);
    QCOMPARE(other->child(1)->text(QAccessible::Name), QStringLiteral("q1"));
}

void TestTabPanel::readerFollowsTheFocusedTab()
{
    KELVO_NEED_ACCESSIBILITY_EVENTS();
    kelvo::test::AccessibleEvents events;
    m_panel->setCurrentIndex(2);
    focusTabs();
    // The tab, not the list, is what the reader is told has the focus.
    QTRY_COMPARE(events.last(QAccessible::Focus), m_panel->tabButton(2));
    QVERIFY(tabInterface(2)->state().focused);
    QCOMPARE(QAccessible::queryAccessibleInterface(m_panel->tabBar())->focusChild()->object(),
             m_panel->tabButton(2));

    events.clear();
    QTest::keyClick(m_panel->tabBar(), Qt::Key_Right);
    QCOMPARE(events.last(QAccessible::Focus), m_panel->tabButton(3));
    QCOMPARE(events.of(QAccessible::Focus, m_panel->tabButton(3)).constFirst().name,
             m_panel->tabText(3));
    QCOMPARE(events.of(QAccessible::Selection, m_panel->tabButton(3)).size(), 1);
    QCOMPARE(events.of(QAccessible::Selection, m_panel->tabButton(2)).size(), 1);
    QVERIFY(tabInterface(3)->state().focused && tabInterface(3)->state().selected);
    QVERIFY(!tabInterface(2)->state().focused && !tabInterface(2)->state().selected);

    // Into the page: the tab loses the focus.
    QTest::keyClick(m_panel->tabBar(), Qt::Key_Tab);
    QCOMPARE(events.last(QAccessible::Focus), m_edits.at(3));
    QVERIFY(!tabInterface(3)->state().focused && tabInterface(3)->state().selected);
}

void TestTabPanel::pressActionChoosesThePage()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QAccessibleActionInterface *action = tabInterface(9)->actionInterface();
    QVERIFY(action);
    QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_panel->currentIndex(), 9);
    QVERIFY(m_edits.at(9)->hasFocus());
}

KELVO_TEST_MAIN(TestTabPanel)
#include "tst_tabpanel.moc"
