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

// Only as far as needed, so that a control already in view stays where it is: the whole
// control where it fits, its top-left corner where it does not.
void ClientArea::showFocus(QWidget *now)
{
    if (!now || !client() || !client()->isAncestorOf(now))
        return;
    const QRect control(now->mapTo(client(), QPoint()), now->size());
    // ensureVisible() keeps the margin on the far side one pixel short.
    ensureVisible(control.center().x(), control.center().y(), control.width() / 2 + 1,
                  control.height() / 2 + 1);
    ensureVisible(control.left(), control.top(), 0, 0);
}
