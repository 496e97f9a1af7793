#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Reports how long the program took to show itself: the first paint of the exam window and
// the first finished load of its question view, each in milliseconds since the process
// started. The reports go to the logging category "kelvo.startup", which is off unless
// QT_LOGGING_RULES turns it on ("kelvo.startup.info=true"); while it is off nothing is
// watched at all.
class StartupProbe : public QObject
{
    Q_OBJECT
public:
    explicit StartupProbe(QObject *parent = nullptr);
    ~StartupProbe() override;

    // Watches window (the exam window) and its child "Scriptlet1" if the category is on.
    void watch(QWidget *window);

    // Reports a step of the start (what, and when) if the category is on.
    static void mark(const char *what);

    // Milliseconds from the start of this process to now; negative where unknown.
    static double msSinceProcessStart();
    // The boot-time clock now, in seconds: the same clock a launcher reads before it starts
    // the process, so that it can measure from its own start instead.
    static double bootClockSeconds();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void report(const char *what);

    QPointer<QWidget> m_window;
    bool m_loadReported = false;
};
