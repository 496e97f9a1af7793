// The multi-row tab panel: rows of tabs, pages that keep their values, keys that turn
// pages, and the focus landing in the page's first control.
#include "common/KelvoTest.h"
#include "common/Typing.h"
#include "controls/TabButton.h"
#include "controls/TabPanel.h"

#include <QLineEdit>
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

private:
    QWidget *m_window = nullptr;
    TabPanel *m_panel = nullptr;
    TabPanel *m_other = nullptr;
    QList<QLineEdit *> m_edits;
};

void TestTabPanel::init()
{
    m_window = new QWidget;
    m_window->resize(700, 400);
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
    QTest::addColumn<int>("expected");
    QTest::newRow("ctrl+tab") << 3 << (Qt::CTRL | Qt::Key_Tab) << 4;
    QTest::newRow("ctrl+tab wraps") << 55 << (Qt::CTRL | Qt::Key_Tab) << 0;
    QTest::newRow("ctrl+shift+tab") << 3 << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << 2;
    QTest::newRow("ctrl+shift+tab wraps") << 0 << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << 55;
    QTest::newRow("ctrl+pgdn") << 13 << (Qt::CTRL | Qt::Key_PageDown) << 14;
    QTest::newRow("ctrl+pgup") << 14 << (Qt::CTRL | Qt::Key_PageUp) << 13;
}

void TestTabPanel::keysTurnPages()
{
    QFETCH(int, start);
    QFETCH(QKeyCombination, keys);
    QFETCH(int, expected);
    m_panel->setCurrentIndex(start);
    m_edits.at(start)->setFocus();
    QTRY_VERIFY(m_edits.at(start)->hasFocus());
    QTest::keyClick(m_edits.at(start), keys.key(), keys.keyboardModifiers());
    QCOMPARE(m_panel->currentIndex(), expected);
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

KELVO_TEST_MAIN(TestTabPanel)
#include "tst_tabpanel.moc"
