#pragma once

#include <QWidget>

class RichTextView;

// The help window: the software's readme in a rich-text view, in a client area that scrolls
// when the window is smaller than the view needs. Escape closes it.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    RichTextView *view() const { return m_view; }
    // The widget that holds the view, in the button-face colour.
    QWidget *client() const { return m_client; }

private:
    QWidget *m_client;
    RichTextView *m_view;
};
