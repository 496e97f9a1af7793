#include "Notice.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace
{

QAccessibleInterface *noticeFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("Notice"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

Notice::Notice(QWidget *parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(noticeFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("qt_notice"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // A pixel that paints nothing, under its siblings: shown, as a reader needs it, yet unseen.
    setGeometry(0, 0, 1, 1);
    lower();
    hide();
}

Notice::~Notice() = default;

void Notice::say(const QString &message)
{
    setAccessibleName(message);
    // A reader hears a notification as it appears: one already shown appears again.
    if (isVisible())
        hide();
    show();
}
