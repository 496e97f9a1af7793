#include "TabPanel.h"

#include "TabButton.h"
#include "TabPanelAccessible.h"
#include "TabPanelBar.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QStackedWidget>

TabPanel::TabPanel(QWidget *parent)
    : QWidget(parent), m_bar(new TabPanelBar(this)), m_stack(new QStackedWidget(this))
{
    kelvo::installTabPanelAccessibility();
    m_bar->setObjectName(QStringLiteral("qt_tabpanel_tabbar"));
    m_stack->setObjectName(QStringLiteral("qt_tabpanel_stack"));
    connect(m_bar, &TabPanelBar::tabClicked, this, &TabPanel::selectByUser);
    connect(m_bar, &TabPanelBar::tabRequested, this, &TabPanel::setCurrentIndex);
    connect(m_stack, &QStackedWidget::currentChanged, this, [this](int index) {
        m_bar->setCurrentIndex(index);
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
    m_bar->addTab(caption);
    layoutTabs();
    return index;
}

int TabPanel::count() const
{
    return m_stack->count();
}

QString TabPanel::tabText(int index) const
{
    const TabButton *tab = tabButton(index);
    return tab ? tab->text() : QString();
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
    return m_bar->tab(index);
}

int TabPanel::tabsPerRow() const
{
    return m_bar->tabsPerRow();
}

void TabPanel::setTabsPerRow(int tabs)
{
    m_bar->setTabsPerRow(tabs);
    layoutTabs();
}

int TabPanel::tabHeight() const
{
    return m_bar->tabHeight();
}

void TabPanel::setTabHeight(int pixels)
{
    m_bar->setTabHeight(pixels);
    layoutTabs();
}

int TabPanel::rowCount() const
{
    return m_bar->rowCount();
}

// Hiding a page that holds the focus would have Qt pass the focus along the focus chain
// first, to whatever control follows the panel (the question view), before it lands on the
// new page: a screen reader would announce that control. So the focus leaves the old page
// first and lands once, on the new page's first control.
void TabPanel::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == currentIndex())
        return;
    QWidget *focus = QApplication::focusWidget();
    const bool onOldPage = focus && currentWidget() && currentWidget()->isAncestorOf(focus);
    if (onOldPage)
        focus->clearFocus();
    m_stack->setCurrentIndex(index);
    if (onOldPage)
        focusCurrentPage();
}

void TabPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutTabs();
}

// The pages cover the whole panel; the rows of tabs lie on top of them.
void TabPanel::layoutTabs()
{
    m_stack->setGeometry(rect());
    m_bar->setGeometry(0, 0, width(), m_bar->rowsHeight());
    m_bar->raise();
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

// The first control of the page, in focus order, that takes the focus from the keyboard. It
// is not told it was reached by Tab, since a page change is no step through the page's
// controls: a line edit would select its whole text (the next key replacing it), and the
// browser view would move its document's own focus to its first element and scroll there.
// A line edit shows its caret at the end of its text instead.
void TabPanel::focusFirstControl(QWidget *page)
{
    if (!page)
        return;
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page)) {
            if (auto *edit = qobject_cast<QLineEdit *>(w)) {
                edit->deselect();
                edit->end(false);
            }
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}
