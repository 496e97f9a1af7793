#pragma once

#include <QAbstractButton>

// One tab of a TabPanel: a checkable button drawn as a tab of the current style, its
// caption centred without padding so that short half-width captions fit narrow tabs.
class TabButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit TabButton(const QString &text, QWidget *parent = nullptr);
    ~TabButton() override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
