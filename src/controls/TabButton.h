#pragma once

#include <QAbstractButton>

// One tab of a TabPanel: a checkable button drawn as a tab of the current style, its
// caption centred without padding so that short half-width captions fit narrow tabs. It
// never takes the focus itself; its bar does, and has it drawn on the current tab.
class TabButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit TabButton(const QString &text, QWidget *parent = nullptr);
    ~TabButton() override;

    QSize sizeHint() const override;

    // Draws the tab as the one that has the keyboard focus.
    void setFocusShown(bool shown);
    bool focusShown() const { return m_focusShown; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_focusShown = false;
};
