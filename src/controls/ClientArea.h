#pragma once

#include <QScrollArea>

// The client area of a window whose controls stand at fixed places: the client keeps at least
// its designed size and fills the window when the window is larger. In a window smaller than
// that (a small screen, a large scale) scroll bars appear instead of controls being cut off,
// and a control that takes the focus is scrolled into view.
class ClientArea : public QScrollArea
{
    Q_OBJECT
public:
    // Puts client, at its present (designed) size, into a new area that fills window: the
    // central widget of a QMainWindow, in any other window a child that follows its size.
    ClientArea(QWidget *client, QWidget *window);
    ~ClientArea() override;

    QWidget *client() const { return widget(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showFocus(QWidget *now);
};
