#include "WindowsAccessible.h"

#include "HelpWindow.h"
#include "PassLineWindow.h"
#include "controls/AccessibleContainer.h"

#include <QAccessible>

namespace
{

QAccessibleInterface *windowsFactory(const QString &className, QObject *object)
{
    // A top-level QWidget is a "filler" to Qt; these are windows, named by their titles. A
    // pass-line window is a dialog, whose description (its verdict) a reader speaks with its
    // title as it opens.
    if (className == QLatin1String("PassLineWindow") || className == QLatin1String("HelpWindow"))
        return new AccessibleContainer(static_cast<QWidget *>(object),
                                       className == QLatin1String("PassLineWindow")
                                           ? QAccessible::Dialog
                                           : QAccessible::Window,
                                       &AccessibleContainer::childWidgets);
    // The client of a pass-line window: its labels lie above the table, created after it, yet
    // are read first.
    if (className == QLatin1String("QWidget") && object->isWidgetType()) {
        auto *client = static_cast<QWidget *>(object);
        auto *window = qobject_cast<PassLineWindow *>(client->window());
        if (window && window->client() == client) {
            return new AccessibleContainer(client, QAccessible::Client, [](const QWidget *w) {
                return static_cast<PassLineWindow *>(w->window())->readingOrder();
            });
        }
    }
    return nullptr;
}

} // namespace

namespace kelvo
{

void installWindowsAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kelvo
