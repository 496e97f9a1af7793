#pragma once

class WindowRegistry;

namespace kelvo
{

// Teaches the registry every window of the program: the exam window, the six pass-line
// windows and the help window, each by its name.
void registerWindows(WindowRegistry &registry);

} // namespace kelvo
