#include "SecretLabel.h"

#include "AnswerSheetAccessible.h"

SecretLabel::SecretLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    kelvo::installAnswerSheetAccessibility();
}

SecretLabel::~SecretLabel() = default;
