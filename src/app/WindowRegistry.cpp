#include "WindowRegistry.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace
{

// How often, and how long apart, a framed window is placed again until it stands where meant.
constexpr int kPlacementAttempts = 5;
constexpr int kPlacementCheckMs = 250;

} // namespace

WindowRegistry::WindowRegistry(QObject *parent) : QObject(parent) {}

WindowRegistry::~WindowRegistry()
{
    // No placing of windows that are going away.
    m_unframed.clear();
    for (const QPointer<QWidget> &w : std::as_const(m_open))
        delete w.data();
}

void WindowRegistry::registerWindow(const QString &name, int exitRank, Factory factory)
{
    m_kinds.removeIf([&name](const Kind &k) { return k.name == name; });
    const auto after = std::upper_bound(m_kinds.cbegin(), m_kinds.cend(), exitRank,
                                        [](int rank, const Kind &k) { return rank < k.exitRank; });
    m_kinds.insert(after, Kind{name, std::move(factory), exitRank});
}

QWidget *WindowRegistry::window(const QString &name) const
{
    return m_open.value(name).data();
}

QWidget *WindowRegistry::show(const QString &name)
{
    QWidget *w = window(name);
    if (!w) {
        const auto kind = std::find_if(m_kinds.cbegin(), m_kinds.cend(),
                                       [&name](const Kind &k) { return k.name == name; });
        if (kind == m_kinds.cend())
            return nullptr;
        w = kind->factory();
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->installEventFilter(this);
        m_open.insert(name, w);
        const QSize size = w->size();
        const QMargins frame = expectedFrame(size);
        place(w, target(w, size, frame), frame);
        m_unframed.insert(w, {size, 0});
    }
    // Minimised from maximised, it comes back maximised.
    if (w->isMinimized())
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    // Its platform window is exposed once the window manager has framed and mapped it.
    if (m_unframed.contains(w) && w->windowHandle())
        w->windowHandle()->installEventFilter(this);
    w->raise();
    w->activateWindow();
    return w;
}

QRect WindowRegistry::placement(QSize size, QMargins frame, QRect available, int scrollBar)
{
    const QSize room = available.size().shrunkBy(frame);
    // Room for the scroll bar that a dimension too large for the screen brings in the other.
    bool vertical = size.height() > room.height();
    const bool horizontal = size.width() + (vertical ? scrollBar : 0) > room.width();
    vertical = vertical || (horizontal && size.height() + scrollBar > room.height());
    const QSize wanted = size + QSize(vertical ? scrollBar : 0, horizontal ? scrollBar : 0);
    const QSize client = wanted.boundedTo(room).expandedTo(QSize(1, 1));
    const QSize framed = client.grownBy(frame);
    // Centred; where even the frame is too large, from the top-left corner.
    const QPoint corner(available.left() + qMax(0, (available.width() - framed.width()) / 2),
                        available.top() + qMax(0, (available.height() - framed.height()) / 2));
    return QRect(corner + QPoint(frame.left(), frame.top()), client);
}

// The frame the window manager gave the last window it framed. Before it framed one: none,
// where the window fits the screen with room for a frame; otherwise a generous guess, so that
// the window comes up smaller than the screen with its title bar on it, rather than as large
// as the screen, which some window managers take for a wish to fill it.
QMargins WindowRegistry::expectedFrame(QSize size) const
{
    if (!m_frame.isNull())
        return m_frame;
    static constexpr QMargins guess(8, 40, 8, 8);
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && placement(size, guess, screen->availableGeometry()).size() != size)
        return guess;
    return QMargins();
}

// On the screen the student works on: the one of the active window, else the primary one.
QRect WindowRegistry::target(const QWidget *w, QSize size, QMargins frame) const
{
    const QWidget *active = QApplication::activeWindow();
    const QScreen *screen = active ? active->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QRect(w->pos(), size);
    QRect available = screen->availableGeometry();
    // At a fractional scale the area in logical pixels is rounded up (1024 pixels at 1.5 are
    // 683 logical ones, a third of a pixel too many), and a window manager may round a window
    // down by a device pixel to its size steps, leaving the client a fraction of a logical
    // pixel short of its controls: keep a logical pixel in hand each way.
    const qreal ratio = screen->devicePixelRatio();
    if (ratio != std::floor(ratio)) {
        available.adjust(0, 0, -1, -1);
        size += QSize(1, 1);
    }
    return placement(size, frame, available, w->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void WindowRegistry::place(QWidget *w, const QRect &client, QMargins frame)
{
    w->resize(client.size());
    // move() places the frame's corner.
    w->move(client.topLeft() - QPoint(frame.left(), frame.top()));
}

// Called as a window that waits for its frame is exposed, moves or changes: once the window
// manager has framed it, it is placed for that frame, and checked again until it stands there
// (a window manager may still be busy mapping it and pass over a request).
void WindowRegistry::placeFramed(QWidget *w)
{
    const auto waiting = m_unframed.find(w);
    if (waiting == m_unframed.end() || !w->isVisible())
        return;
    const QRect frameGeometry = w->frameGeometry(), geometry = w->geometry();
    const QMargins frame(
        geometry.left() - frameGeometry.left(), geometry.top() - frameGeometry.top(),
        frameGeometry.right() - geometry.right(), frameGeometry.bottom() - geometry.bottom());
    if (frame.isNull())
        return;
    m_frame = frame;
    const QRect client = target(w, waiting->size, frame);
    const bool asPlaced = !(w->windowState() & ~Qt::WindowActive);
    if (!asPlaced || geometry == client || ++waiting->attempts > kPlacementAttempts) {
        m_unframed.erase(waiting);
        return;
    }
    place(w, client, frame);
    QTimer::singleShot(kPlacementCheckMs, this, [this, w = QPointer<QWidget>(w)] {
        if (w)
            placeFramed(w);
    });
}

void WindowRegistry::close(const QString &name)
{
    if (QWidget *w = window(name))
        w->close();
}

void WindowRegistry::exitAll()
{
    for (const QString &name : exitOrder())
        close(name);
}

QStringList WindowRegistry::exitOrder() const
{
    QStringList order;
    for (const Kind &k : m_kinds)
        order << k.name;
    return order;
}

void WindowRegistry::checkFrameLater(QWidget *w)
{
    QMetaObject::invokeMethod(
        this,
        [this, w = QPointer<QWidget>(w)] {
            if (w)
                placeFramed(w);
        },
        Qt::QueuedConnection);
}

bool WindowRegistry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->isWindowType()) {
        if (event->type() == QEvent::Expose) {
            for (auto it = m_unframed.cbegin(); it != m_unframed.cend(); ++it) {
                if (it.key()->windowHandle() == watched)
                    checkFrameLater(it.key());
            }
        }
        return QObject::eventFilter(watched, event);
    }
    // None of the program's windows refuses to close, so a close event that reaches a
    // window ends its instance: forget it now, it deletes itself once the event returns.
    if (event->type() == QEvent::Close) {
        m_unframed.remove(static_cast<QWidget *>(watched));
        for (auto it = m_open.begin(); it != m_open.end(); ++it) {
            if (it.value() == watched) {
                m_open.erase(it);
                break;
            }
        }
    }
    // The window manager may move a window as it frames it.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Show) &&
        m_unframed.contains(static_cast<QWidget *>(watched)))
        checkFrameLater(static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}
