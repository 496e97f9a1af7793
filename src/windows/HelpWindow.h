#pragma once

#include <QWidget>

class RichTextView;

// The help window: the software's readme in a rich-text view.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    RichTextView *view() const { return m_view; }

private:
    RichTextView *m_view;
};
