#include "TabPanel.h"

#include "TabButton.h"

#include <QButtonGroup>
#include <QEvent>
#include <QShortcut>
#include <QStackedWidget>

TabPanel::TabPanel(QWidget *parent)
    : QWidget(parent), m_stack(new QStackedWidget(this)), m_group(new QButtonGroup(this))
{
    m_stack->setObjectName(QStringLiteral("qt_tabpanel_stack"));
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &TabPanel::selectByUser);
    connect(m_stack, &QStackedWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < m_tabs.size())
            m_tabs.at(index)->setChecked(true);
        Q_EMIT currentChanged(index);
    });

    const auto bind = [this](QKeyCombination keys, int delta) {
        auto *shortcut = new QShortcut(QKeySequence(keys), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, delta] { step(delta); });
    };
    bind(Qt::CTRL | Qt::Key_Tab, 1);
    bind(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1);
    bind(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1);
    bind(Qt::CTRL | Qt::Key_PageDown, 1);
    bind(Qt::CTRL | Qt::Key_PageUp, -1);
}

TabPanel::~TabPanel() = default;

int TabPanel::addPage(QWidget *page)
{
    // Designer's code sets the page's title after adding the page: follow it.
    page->installEventFilter(this);
    return addPage(page, page->windowTitle());
}

bool TabPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange) {
        auto *page = static_cast<QWidget *>(watched);
        if (TabButton *tab = tabButton(indexOf(page)))
            tab->setText(page->windowTitle());
    }
    return QWidget::eventFilter(watched, event);
}

int TabPanel::addPage(QWidget *page, const QString &caption)
{
    const int index = m_stack->addWidget(page);
    auto *tab = new TabButton(caption, this);
    tab->setObjectName(QStringLiteral("qt_tab_%1").arg(index));
    m_group->addButton(tab, index);
    m_tabs.append(tab);
    if (index == m_stack->currentIndex())
        tab->setChecked(true);
    layoutTabs();
    return index;
}

int TabPanel::count() const
{
    return m_stack->count();
}

QString TabPanel::tabText(int index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs.at(index)->text() : QString();
}

QWidget *TabPanel::widget(int index) const
{
    return m_stack->widget(index);
}

QWidget *TabPanel::currentWidget() const
{
    return m_stack->currentWidget();
}

int TabPanel::currentIndex() const
{
    return m_stack->currentIndex();
}

int TabPanel::indexOf(const QWidget *page) const
{
    return m_stack->indexOf(page);
}

TabButton *TabPanel::tabButton(int index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs.at(index) : nullptr;
}

void TabPanel::setTabsPerRow(int tabs)
{
    m_tabsPerRow = qMax(1, tabs);
    layoutTabs();
}

void TabPanel::setTabHeight(int pixels)
{
    m_tabHeight = qMax(1, pixels);
    layoutTabs();
}

int TabPanel::rowCount() const
{
    return (int(m_tabs.size()) + m_tabsPerRow - 1) / m_tabsPerRow;
}

void TabPanel::setCurrentIndex(int index)
{
    if (index >= 0 && index < count())
        m_stack->setCurrentIndex(index);
}

void TabPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutTabs();
}

// Rows fill from the top; within a row the panel's width is shared out evenly, the
// leftover pixels going one each to the first tabs.
void TabPanel::layoutTabs()
{
    m_stack->setGeometry(rect());
    const int perRow = m_tabsPerRow;
    const int base = width() / perRow;
    const int extra = width() % perRow;
    for (int i = 0; i < m_tabs.size(); ++i) {
        const int column = i % perRow;
        const int x = column * base + qMin(column, extra);
        const int w = base + (column < extra ? 1 : 0);
        m_tabs.at(i)->setGeometry(x, (i / perRow) * m_tabHeight, w, m_tabHeight);
        m_tabs.at(i)->raise();
    }
}

void TabPanel::step(int delta)
{
    if (count() > 0)
        selectByUser((currentIndex() + delta + count()) % count());
}

void TabPanel::selectByUser(int index)
{
    setCurrentIndex(index);
    focusCurrentPage();
}

void TabPanel::focusCurrentPage()
{
    focusFirstControl(currentWidget());
}

// The first control of the page, in focus order, that takes the focus from the keyboard.
void TabPanel::focusFirstControl(QWidget *page)
{
    if (!page)
        return;
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
