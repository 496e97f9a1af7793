#include "TabOutOfPage.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <vector>

TabOutOfPage::TabOutOfPage(QWidget *view) : QObject(view), m_view(view)
{
    watch(view);
    placeInTabOrder();
}

TabOutOfPage::~TabOutOfPage() = default;

namespace
{

// second (with the widget that takes its keys) right after first in the tab order.
// setTabOrder() passes over widgets that take no focus, as the question view and the browser
// view do not: they take Tab focus for the moment. Setting a widget's policy sets its focus
// proxy's too, so the proxy's own is put back after.
void follow(QWidget *first, QWidget *second)
{
    struct Saved {
        QWidget *widget;
        Qt::FocusPolicy policy;
    };
    std::vector<Saved> saved;
    for (QWidget *w : {first, second}) {
        saved.push_back({w, w->focusPolicy()});
        if (QWidget *proxy = w->focusProxy())
            saved.push_back({proxy, proxy->focusPolicy()});
    }
    for (QWidget *w : {first, second}) {
        if (w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::TabFocus);
    }
    QWidget::setTabOrder(first, second);
    for (const Saved &s : saved)
        s.widget->setFocusPolicy(s.policy);
}

} // namespace

// Right after the question view (its parent): the browser view, then the widget that takes
// its keys.
void TabOutOfPage::placeInTabOrder()
{
    QWidget *host = m_view->parentWidget();
    if (!host)
        return;
    follow(host, m_view);
}

void TabOutOfPage::watch(QObject *object)
{
    object->installEventFilter(this);
    for (QObject *child : object->children()) {
        if (child->isWidgetType())
            watch(child);
    }
}

bool TabOutOfPage::eventFilter(QObject *, QEvent *event)
{
    // The browser engine makes the widget that takes the keys once the page is up.
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType()) {
            watch(child);
            // Once the new widget is made and has become the view's focus proxy.
            QTimer::singleShot(0, this, &TabOutOfPage::placeInTabOrder);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (event->type() == QEvent::ShortcutOverride)
        return false; // no shortcut of the window is bound to Tab: the key press follows
    // The view's parent moves the focus along the window's chain, from where it is now.
    QWidget *from = m_view->parentWidget() ? m_view->parentWidget() : m_view;
    QKeyEvent forward(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
    QCoreApplication::sendEvent(from, &forward);
    return true;
}
