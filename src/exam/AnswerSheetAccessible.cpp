#include "AnswerSheetAccessible.h"

#include "SecretLabel.h"
#include "controls/AccessibleContainer.h"

#include <QAccessible>

namespace
{

// What a SecretLabel tells when asked for all the same: nothing, and that it is not shown.
class Unspoken : public QAccessibleWidget
{
public:
    explicit Unspoken(QWidget *w) : QAccessibleWidget(w, QAccessible::NoRole) {}

    QString text(QAccessible::Text) const override { return QString(); }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = true;
        return s;
    }
};

bool hasSecrets(const QObject *object)
{
    for (const QObject *child : object->children()) {
        if (qobject_cast<const SecretLabel *>(child))
            return true;
    }
    return false;
}

QAccessibleInterface *answerSheetFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SecretLabel"))
        return new Unspoken(static_cast<QWidget *>(object));
    // A plain page of the answer sheet.
    if (className == QLatin1String("QWidget") && object->isWidgetType() && hasSecrets(object)) {
        return new AccessibleContainer(
            static_cast<QWidget *>(object), QAccessible::Client, [](const QWidget *w) {
                QWidgetList children = AccessibleContainer::childWidgets(w);
                children.removeIf([](QWidget *c) { return qobject_cast<SecretLabel *>(c); });
                return children;
            });
    }
    return nullptr;
}

} // namespace

namespace kelvo
{

void installAnswerSheetAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(answerSheetFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kelvo
