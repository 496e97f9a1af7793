#pragma once

namespace kelvo
{

// Teaches Qt's accessibility how a screen reader sees the pass-line and help windows: as
// windows named by their titles, and in a pass-line window the verdict before the table.
// Safe to call more than once.
void installWindowsAccessibility();

} // namespace kelvo
