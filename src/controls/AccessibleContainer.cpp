#include "AccessibleContainer.h"

AccessibleContainer::AccessibleContainer(QWidget *widget, QAccessible::Role role, Children children)
    : QAccessibleWidget(widget, role), m_children(std::move(children))
{
}

int AccessibleContainer::childCount() const
{
    return int(m_children(widget()).size());
}

QAccessibleInterface *AccessibleContainer::child(int index) const
{
    const QWidgetList children = m_children(widget());
    if (index < 0 || index >= children.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(children.at(index));
}

int AccessibleContainer::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(m_children(widget()).indexOf(qobject_cast<QWidget *>(child->object())));
}

QWidgetList AccessibleContainer::childWidgets(const QWidget *widget)
{
    QWidgetList widgets;
    for (QObject *o : widget->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow())
            widgets.append(w);
    }
    return widgets;
}
