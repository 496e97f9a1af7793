#pragma once

namespace kelvo
{

// Teaches Qt's accessibility to keep the answer key from screen readers and inspectors: a
// widget's SecretLabel children are left out of its accessible children, and a SecretLabel's
// own interface has no name, text or description. Safe to call more than once.
void installAnswerSheetAccessibility();

} // namespace kelvo
