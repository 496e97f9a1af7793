#pragma once

#include <QFont>
#include <QString>

namespace kelvo
{

// The face every window of the program is written in.
inline const QString kGothicFamily = QStringLiteral("ＭＳ ゴシック");

// Maps "ＭＳ ゴシック" (and its romanised name) to the fixed-pitch IPAGothic, whose
// full-width cells are exactly twice its half-width ones.
void installFontSubstitutions();

// Starts reading the system's fonts on another thread. Whatever first measures or draws text
// needs them (it takes a start on this machine some ten milliseconds); meanwhile this thread
// builds the windows. Call once, after the QGuiApplication exists.
void loadFontsInBackground();

// "ＭＳ ゴシック" at pointSize, bold or regular.
QFont gothicFont(qreal pointSize, bool bold = false);

} // namespace kelvo
