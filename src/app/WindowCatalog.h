#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class WindowRegistry;

namespace kelvo
{

// One window of the program: its name, how it is made, its place in the exit order.
struct WindowEntry {
    QString name;
    int exitRank;
    std::function<QWidget *()> make;
};

// Every window of the program, in exit order: the exam window, which shows the question
// document at questionDocument (its stored path; empty shows none), one pass-line window per
// band of the pass-rate rule, and the help window. The exam window's requests for other
// windows and for the exit command are served by registry.
QList<WindowEntry> windowCatalog(WindowRegistry &registry, const QString &questionDocument);

// Teaches the registry every window of the catalogue.
void registerWindows(WindowRegistry &registry, const QString &questionDocument);

} // namespace kelvo
