#pragma once

#include <QWidget>

class QLabel;
class RichTextView;

// One pass-line window per band of the pass-rate rule (kelvo::passrate): the verdict for the
// band in two labels above the pass-line table. Band 1 is the top band (100 and above), the
// last a score of exactly 0. Its controls stand in a client area that scrolls when the window
// is smaller than they need; a screen reader meets the verdict first, then the table. Escape
// closes it.
class PassLineWindow : public QWidget
{
    Q_OBJECT
public:
    // The window's name for band: "frm合格ライン1" for band 1.
    static QString nameFor(int band);

    // A band outside the rule's bands is taken as the nearest valid band.
    explicit PassLineWindow(int band, QWidget *parent = nullptr);
    ~PassLineWindow() override;

    int band() const { return m_band; }
    RichTextView *view() const { return m_view; }
    // The widget that holds the controls, painted in the window's pink.
    QWidget *client() const { return m_client; }
    // The controls in the order a screen reader meets them: the rate, the comment, the table.
    QWidgetList readingOrder() const;

private:
    int m_band;
    QWidget *m_client;
    RichTextView *m_view;
    QLabel *m_rate;
    QLabel *m_comment;
};
