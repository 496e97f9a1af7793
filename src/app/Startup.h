#pragma once

class QApplication;

namespace kelvo
{

// Everything that must happen before the QApplication exists: the OpenGL context sharing the
// browser engine asks for, with the shared context put in place but not yet made (the
// engine makes it when it first starts), and the program's logging defaults.
void prepareBeforeApplication();

// Everything that needs the QApplication: the font substitutions that give the program's
// "ＭＳ ゴシック" a fixed-pitch Japanese Gothic face, the icon, Qt's own texts in Japanese.
void prepareApplication(QApplication &app);

} // namespace kelvo
