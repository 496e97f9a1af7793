#pragma once

#include <QHash>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// Opens each window it is taught at most once. A window is created from its factory when it is
// first shown, brought to the front when it is shown again, and destroyed when it is closed, by the
// program or by its close box; the next show then starts again from the factory. Every window is
// top-level and modeless, without owner. A new window opens in the middle of the screen's available
// area as a whole framed window, title bar included, and never larger than that area: a smaller
// window scrolls its client area. Where the window manager frames it only once it is shown, it is
// placed again then.
class WindowRegistry : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<QWidget *()>;

    explicit WindowRegistry(QObject *parent = nullptr);
    ~WindowRegistry() override;

    // Teaches the registry a window: its name, how it is made, and its place in the exit
    // command's order (lower ranks close first; equal ranks in the order taught).
    void registerWindow(const QString &name, int exitRank, Factory factory);

    // Creates the window, placed as above, or makes the open one visible (maximised again if
    // it was maximised before it was minimised) and brings it to the front. Returns the
    // instance, or nullptr for an unknown name.
    QWidget *show(const QString &name);

    // Closes and destroys the window if it is open; does nothing otherwise.
    void close(const QString &name);

    // The open instance, or nullptr.
    QWidget *window(const QString &name) const;
    bool isOpen(const QString &name) const { return window(name) != nullptr; }

    // The exit command: closes every window taught, in exit order, each where open, and keeps
    // going after the window that asked is gone.
    void exitAll();
    // The names taught, in exit order.
    QStringList exitOrder() const;

    // The client geometry of a window whose client area wants size, framed by frame, on a
    // screen whose available area is available: as large as wanted where the framed window
    // fits, smaller where not (and where one dimension is too large, wider or taller by
    // scrollBar, to hold the scroll bar it brings, as far as there is room), and the framed
    // window centred, its title bar on the screen.
    static QRect placement(QSize size, QMargins frame, QRect available, int scrollBar = 0);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMargins expectedFrame(QSize size) const;
    QRect target(const QWidget *w, QSize size, QMargins frame) const;
    static void place(QWidget *w, const QRect &client, QMargins frame);
    void placeFramed(QWidget *w);
    void checkFrameLater(QWidget *w);

    // A window placed before the window manager framed it: the client size it wants, and how
    // often it has been placed again since it was framed.
    struct Unframed {
        QSize size;
        int attempts = 0;
    };

    struct Kind {
        QString name;
        Factory factory;
        int exitRank;
    };
    // In exit order.
    QList<Kind> m_kinds;
    QHash<QString, QPointer<QWidget>> m_open;
    QHash<QWidget *, Unframed> m_unframed;
    // The frame the window manager gave the last window it framed.
    QMargins m_frame;
};
