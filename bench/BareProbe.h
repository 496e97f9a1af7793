#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// The bare baselines' counterpart of the program's start-up probe: the same clocks, the same
// report lines, but with nothing of the program linked in. Reports go to stderr always.
class BareProbe : public QObject
{
    Q_OBJECT
public:
    explicit BareProbe(QObject *parent = nullptr);
    ~BareProbe() override;

    // Reports the first paint of window.
    void watchPaint(QWidget *window);
    // Reports "questions loaded" (or "questions failed to load") once.
    void loaded(bool ok);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void report(const char *what);

    QPointer<QWidget> m_window;
    bool m_loadReported = false;
};
