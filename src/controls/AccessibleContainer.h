#pragma once

#include <QAccessibleWidget>
#include <QWidget>

#include <functional>

// What a screen reader finds in a container widget whose children it should meet in another
// order than their stacking order, or some of them not at all. Everything else is as
// QAccessibleWidget gives it.
class AccessibleContainer : public QAccessibleWidget
{
public:
    // Lists the child widgets a reader finds in widget, in reading order.
    using Children = std::function<QWidgetList(const QWidget *widget)>;

    AccessibleContainer(QWidget *widget, QAccessible::Role role, Children children);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // The child widgets Qt's own interfaces list: those that are no window of their own, in
    // stacking order, bottom first.
    static QWidgetList childWidgets(const QWidget *widget);

private:
    Children m_children;
};
