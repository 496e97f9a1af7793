#pragma once

#include <QLabel>

// A label no screen reader finds: a hidden key label of the answer sheet, or a caption that
// lies under the tab rows where nobody sees it. Its caption is data of its own, never the
// label's text, which stays empty: whatever Qt tells a reader about a label (its text, a name
// change, an interface made before this one is in place) cannot carry it. The page it stands
// on leaves it out of what a reader is shown, and asked for directly it tells nothing.
// Marking reads caption().
class SecretLabel : public QLabel
{
    Q_OBJECT
public:
    explicit SecretLabel(const QString &caption, QWidget *parent = nullptr);
    ~SecretLabel() override;

    QString caption() const { return m_caption; }

protected:
    // Draws the caption where the label is shown, as a label draws its text.
    void paintEvent(QPaintEvent *event) override;

private:
    const QString m_caption;
};
