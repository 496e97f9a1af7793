#include "TabPanelAccessible.h"

#include "AccessibleContainer.h"
#include "TabButton.h"
#include "TabPanel.h"
#include "TabPanelBar.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace
{

// One tab: a page tab named by its caption; pressing it chooses its page.
class PageTab : public QAccessibleWidget
{
public:
    explicit PageTab(TabButton *tab) : QAccessibleWidget(tab, QAccessible::PageTab) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return tab()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const auto *bar = qobject_cast<const TabPanelBar *>(tab()->parentWidget());
        s.selectable = true;
        s.selected = tab()->isChecked();
        s.focusable = bar != nullptr;
        s.focused = bar && bar->hasFocus() && tab()->isChecked();
        return s;
    }

    QStringList actionNames() const override { return {QAccessibleActionInterface::pressAction()}; }

    void doAction(const QString &name) override
    {
        if (name == QAccessibleActionInterface::pressAction())
            tab()->click();
    }

private:
    TabButton *tab() const { return static_cast<TabButton *>(widget()); }
};

// The rows of tabs: a page-tab list, named as its panel, whose focused child is the current
// tab while the rows have the focus.
class PageTabList : public QAccessibleWidget
{
public:
    explicit PageTabList(TabPanelBar *bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty() &&
            widget()->parentWidget())
            return widget()->parentWidget()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QAccessibleInterface *focusChild() const override
    {
        const auto *bar = static_cast<TabPanelBar *>(widget());
        if (bar->hasFocus())
            return QAccessible::queryAccessibleInterface(bar->tab(bar->currentIndex()));
        return QAccessibleWidget::focusChild();
    }
};

QAccessibleInterface *tabPanelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TabButton"))
        return new PageTab(static_cast<TabButton *>(object));
    if (className == QLatin1String("TabPanelBar"))
        return new PageTabList(static_cast<TabPanelBar *>(object));
    // The stack of pages is a "layered pane" to Qt, which a reader names on the way into every
    // page, unnamed as it is: it is a mere container (a "filler").
    if (className == QLatin1String("QStackedWidget") && qobject_cast<TabPanel *>(object->parent()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Client);
    if (className == QLatin1String("TabPanel")) {
        // The tabs lie above the pages, so they come last among the widgets; a reader meets
        // them first.
        return new AccessibleContainer(
            static_cast<TabPanel *>(object), QAccessible::Client, [](const QWidget *w) {
                QWidgetList children = AccessibleContainer::childWidgets(w);
                QWidget *bar = static_cast<const TabPanel *>(w)->tabBar();
                if (children.removeOne(bar))
                    children.prepend(bar);
                return children;
            });
    }
    return nullptr;
}

} // namespace

namespace kelvo
{

void installTabPanelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(tabPanelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kelvo
