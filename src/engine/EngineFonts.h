#pragma once

class QWebEngineSettings;

// The faces of the question view. Documents of that time name the Japanese faces of their
// desktop ("ＭＳ ゴシック", "MS PMincho"); each name is taken to its IPA counterpart, and a
// document that names no face is shown in Japanese ones, as on a Japanese desktop.
class EngineFonts
{
public:
    // Teaches the font library the names; only the first call does anything. Must run before
    // the engine's first process starts.
    //
    // The engine asks for faces from the program's own process, through the font library's
    // configuration that the program's windows read too; the names are added to that
    // configuration in memory, and no file of the user's changes. The windows see nothing
    // new: of these names they use only "ＭＳ ゴシック", which they already take to
    // IPAGothic themselves. A face the system really has keeps its own name.
    static void prepare();

    // The view's default faces: proportional Gothic for the standard and sans-serif faces,
    // Mincho for serif, the fixed-pitch Gothic for fixed.
    static void setDefaultFaces(QWebEngineSettings *settings);
};
