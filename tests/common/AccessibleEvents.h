#pragma once

#include <QAccessible>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QTest>

// Qt sends accessibility events only while a screen reader listens, which takes a platform
// with an accessibility bridge: not the offscreen one. A test function that catches events
// starts with this: where no reader can listen it is skipped, except under
// scripts/with-accessibility (KELVO_ACCESSIBILITY_EVENTS set), where it must run.
#define KELVO_NEED_ACCESSIBILITY_EVENTS()                                                          \
    do {                                                                                           \
        if (!kelvo::test::waitForAccessibility()) {                                                \
            if (qEnvironmentVariableIsSet("KELVO_ACCESSIBILITY_EVENTS"))                           \
                QFAIL("no screen reader came to listen");                                          \
            QSKIP("no accessibility bridge on this platform: see scripts/with-accessibility");     \
        }                                                                                          \
    } while (false)

namespace kelvo::test
{

// True once Qt's accessibility is on (a reader listens), waiting a while for the bridge to
// reach the accessibility bus; false at once on the offscreen platform.
inline bool waitForAccessibility()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return false;
    return QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000);
}

// Writes down every accessibility event the widgets send, as a screen reader's bridge would
// receive it, while it lives.
class AccessibleEvents
{
public:
    struct Event {
        QAccessible::Event type;
        QPointer<QObject> object; // the object the event names, a child resolved
        QString name;             // its accessible name when the event was sent
    };

    AccessibleEvents()
    {
        s_log = &m_events;
        QAccessible::installUpdateHandler(&AccessibleEvents::record);
    }
    ~AccessibleEvents()
    {
        QAccessible::installUpdateHandler(nullptr);
        s_log = nullptr;
    }
    AccessibleEvents(const AccessibleEvents &) = delete;
    AccessibleEvents &operator=(const AccessibleEvents &) = delete;

    const QList<Event> &events() const { return m_events; }
    void clear() { m_events.clear(); }

    // The events of type that name object.
    QList<Event> of(QAccessible::Event type, const QObject *object) const
    {
        QList<Event> found;
        for (const Event &e : m_events)
            if (e.type == type && e.object == object)
                found << e;
        return found;
    }
    // The object named by the last event of type, or nullptr.
    QObject *last(QAccessible::Event type) const
    {
        for (auto it = m_events.crbegin(); it != m_events.crend(); ++it)
            if (it->type == type)
                return it->object;
        return nullptr;
    }

private:
    static void record(QAccessibleEvent *event)
    {
        if (!s_log)
            return;
        QAccessibleInterface *iface = event->accessibleInterface();
        s_log->append({event->type(), iface ? iface->object() : event->object(),
                       iface ? iface->text(QAccessible::Name) : QString()});
    }

    inline static QList<Event> *s_log = nullptr;
    QList<Event> m_events;
};

} // namespace kelvo::test
