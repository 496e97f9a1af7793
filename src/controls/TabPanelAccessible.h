#pragma once

namespace kelvo
{

// Teaches Qt's accessibility how a screen reader sees a TabPanel: its rows of tabs as a
// page-tab list, read before the pages, each tab a page tab named by its caption, selected
// when its page is shown, focused when the rows have the focus. Safe to call more than once.
void installTabPanelAccessibility();

} // namespace kelvo
