#pragma once

#include <QLabel>

// A label no screen reader finds: a hidden key label of the answer sheet, or a caption that
// lies under the tab rows where nobody sees it. The page it stands on leaves it out of what a
// reader is shown, and asked for directly it tells nothing. Marking reads its text as usual.
class SecretLabel : public QLabel
{
    Q_OBJECT
public:
    explicit SecretLabel(const QString &text, QWidget *parent = nullptr);
    ~SecretLabel() override;
};
