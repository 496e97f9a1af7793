#pragma once

#include <QWidget>

class QLabel;
class RichTextView;

// One of the six pass-line windows: the verdict for a score band in two labels above the
// pass-line table. Band 1 is the top band (100 and above), band 6 a score of exactly 0.
class PassLineWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBands = 6;

    // A band outside 1..6 is taken as the nearest valid band.
    explicit PassLineWindow(int band, QWidget *parent = nullptr);
    ~PassLineWindow() override;

    int band() const { return m_band; }
    RichTextView *view() const { return m_view; }

private:
    int m_band;
    RichTextView *m_view;
};
