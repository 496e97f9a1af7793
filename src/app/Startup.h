#pragma once

class QApplication;

namespace kelvo
{

// Everything that must happen before the QApplication exists: the question view's URL
// scheme and the shared OpenGL contexts the browser engine asks for.
void prepareBeforeApplication();

// Everything that needs the QApplication: the font substitutions that give the program's
// "ＭＳ ゴシック" a fixed-pitch Japanese Gothic face.
void prepareApplication(QApplication &app);

} // namespace kelvo
