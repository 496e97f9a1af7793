#pragma once

#include <QString>

class WindowRegistry;

namespace kelvo
{

// Teaches the registry every window of the program: the exam window, which shows the
// question document at questionDocument (its stored path; empty shows none), the six
// pass-line windows and the help window, each by its name. The exam window's requests for
// other windows and for the exit command are served by the registry.
void registerWindows(WindowRegistry &registry, const QString &questionDocument);

} // namespace kelvo
