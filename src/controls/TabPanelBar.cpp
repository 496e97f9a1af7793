#include "TabPanelBar.h"

#include "TabButton.h"
#include "TabPanelAccessible.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

TabPanelBar::TabPanelBar(QWidget *parent) : QWidget(parent), m_group(new QButtonGroup(this))
{
    kelvo::installTabPanelAccessibility();
    setFocusPolicy(Qt::TabFocus);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &TabPanelBar::tabClicked);
}

TabPanelBar::~TabPanelBar() = default;

int TabPanelBar::addTab(const QString &caption)
{
    const int index = count();
    auto *tab = new TabButton(caption, this);
    tab->setObjectName(QStringLiteral("qt_tab_%1").arg(index));
    m_group->addButton(tab, index);
    m_tabs.append(tab);
    // Placed before it shows, so that showing asks nothing of its size hint (a font metric
    // while the window is still being built); the other tabs keep their places.
    placeTab(index);
    tab->show();
    if (m_current < 0)
        setCurrentIndex(index);
    return index;
}

TabButton *TabPanelBar::tab(int index) const
{
    return index >= 0 && index < count() ? m_tabs.at(index) : nullptr;
}

int TabPanelBar::indexOf(const QWidget *tab) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_tabs.at(i) == tab)
            return i;
    }
    return -1;
}

void TabPanelBar::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    TabButton *old = tab(m_current);
    m_current = index;
    TabButton *now = m_tabs.at(index);
    now->setChecked(true);
    if (old)
        old->setFocusShown(false);
    now->setFocusShown(hasFocus());
#if QT_CONFIG(accessibility)
    // As QTabBar tells it: the page tab that is selected now, and, with the focus on the
    // bar, the one that has it.
    if (QAccessible::isActive()) {
        for (TabButton *t : {old, now}) {
            if (!t)
                continue;
            QAccessibleEvent selection(t, QAccessible::Selection);
            QAccessible::updateAccessibility(&selection);
        }
        if (hasFocus()) {
            QAccessibleEvent focus(now, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
#endif
}

void TabPanelBar::setTabsPerRow(int tabs)
{
    m_tabsPerRow = qMax(1, tabs);
    layoutTabs();
}

void TabPanelBar::setTabHeight(int pixels)
{
    m_tabHeight = qMax(1, pixels);
    layoutTabs();
}

int TabPanelBar::rowCount() const
{
    return (count() + m_tabsPerRow - 1) / m_tabsPerRow;
}

int TabPanelBar::targetOf(int key) const
{
    const int last = count() - 1;
    const int i = m_current;
    switch (key) {
    case Qt::Key_Left:
        return qMax(0, i - 1);
    case Qt::Key_Right:
        return qMin(last, i + 1);
    case Qt::Key_Up:
        return i >= m_tabsPerRow ? i - m_tabsPerRow : i;
    case Qt::Key_Down:
        // From a row above a shorter last row, to the last tab.
        return i / m_tabsPerRow < rowCount() - 1 ? qMin(last, i + m_tabsPerRow) : i;
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    default:
        return i;
    }
}

void TabPanelBar::keyPressEvent(QKeyEvent *event)
{
    static constexpr int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                   Qt::Key_Down, Qt::Key_Home,  Qt::Key_End};
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain || count() == 0 ||
        std::find(std::begin(keys), std::end(keys), event->key()) == std::end(keys)) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int target = targetOf(event->key());
    if (target != m_current)
        Q_EMIT tabRequested(target);
    event->accept();
}

void TabPanelBar::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (TabButton *t = tab(m_current))
        t->setFocusShown(true);
    announceFocus();
}

void TabPanelBar::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (TabButton *t = tab(m_current))
        t->setFocusShown(false);
}

// The focus event Qt sends for the bar itself follows this handler; the page tab's comes
// after it, so that a screen reader settles on the tab.
void TabPanelBar::announceFocus()
{
#if QT_CONFIG(accessibility)
    if (!QAccessible::isActive())
        return;
    QTimer::singleShot(0, this, [this] {
        TabButton *t = tab(m_current);
        if (t && hasFocus()) {
            QAccessibleEvent focus(t, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    });
#endif
}

void TabPanelBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutTabs();
}

// Rows fill from the top; within a row the bar's width is shared out evenly, the leftover
// pixels going one each to the first tabs.
void TabPanelBar::layoutTabs()
{
    for (int i = 0; i < count(); ++i)
        placeTab(i);
}

void TabPanelBar::placeTab(int index)
{
    const int perRow = m_tabsPerRow;
    const int base = width() / perRow;
    const int extra = width() % perRow;
    const int column = index % perRow;
    const int x = column * base + qMin(column, extra);
    const int w = base + (column < extra ? 1 : 0);
    m_tabs.at(index)->setGeometry(x, (index / perRow) * m_tabHeight, w, m_tabHeight);
}
