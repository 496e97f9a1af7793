#include "WindowRegistry.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>

WindowRegistry::WindowRegistry(QObject *parent) : QObject(parent) {}

WindowRegistry::~WindowRegistry()
{
    for (const QPointer<QWidget> &w : std::as_const(m_open))
        delete w.data();
}

void WindowRegistry::registerWindow(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

QWidget *WindowRegistry::window(const QString &name) const
{
    return m_open.value(name).data();
}

QWidget *WindowRegistry::show(const QString &name)
{
    QWidget *w = window(name);
    if (!w) {
        const auto factory = m_factories.constFind(name);
        if (factory == m_factories.cend())
            return nullptr;
        w = (*factory)();
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->installEventFilter(this);
        m_open.insert(name, w);
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (screen) {
            w->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, w->size(),
                                               screen->availableGeometry()));
        }
    }
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
    return w;
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

const QStringList &WindowRegistry::exitOrder()
{
    static const QStringList order{
        QStringLiteral("frmKelvo"),       QStringLiteral("frm合格ライン1"),
        QStringLiteral("frm合格ライン2"), QStringLiteral("frm合格ライン3"),
        QStringLiteral("frm合格ライン4"), QStringLiteral("frm合格ライン5"),
        QStringLiteral("frm合格ライン6"), QStringLiteral("frmヘルプ")};
    return order;
}

bool WindowRegistry::eventFilter(QObject *watched, QEvent *event)
{
    // None of the program's windows refuses to close, so a close event that reaches a
    // window ends its instance: forget it now, it deletes itself once the event returns.
    if (event->type() == QEvent::Close) {
        for (auto it = m_open.begin(); it != m_open.end(); ++it) {
            if (it.value() == watched) {
                m_open.erase(it);
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
