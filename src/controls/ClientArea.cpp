#include "ClientArea.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>

ClientArea::ClientArea(QWidget *client, QWidget *window) : QScrollArea(window)
{
    setObjectName(QStringLiteral("qt_clientarea"));
    setFrameShape(QFrame::NoFrame);
    // The area is no stop of the Tab key; the controls in it are.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    client->setMinimumSize(client->size());
    setWidget(client);
    if (auto *main = qobject_cast<QMainWindow *>(window)) {
        main->setCentralWidget(this);
    } else {
        setGeometry(window->rect());
        window->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { showFocus(now); });
}

ClientArea::~ClientArea() = default;

bool ClientArea::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == parentWidget())
        setGeometry(parentWidget()->rect());
    return QScrollArea::eventFilter(watched, event);
}

// Only as far as needed, so that a control already in view stays where it is.
void ClientArea::showFocus(QWidget *now)
{
    if (now && client() && client()->isAncestorOf(now))
        ensureWidgetVisible(now, 0, 0);
}
