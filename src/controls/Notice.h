#pragma once

#include <QWidget>

// A notice a screen reader speaks as it appears, while the keyboard focus stays where it is:
// to a reader a notification, on the screen nothing. Orca speaks a notification when it is
// shown, and drops the name changes of an object that lacks the focus, so a value that must
// be heard (the score, the time left) is said through a notice, shown again with each message.
class Notice : public QWidget
{
    Q_OBJECT
public:
    explicit Notice(QWidget *parent);
    ~Notice() override;

    // Shows message to a reader now, and keeps it as the notice's name until the next.
    void say(const QString &message);
};
