#pragma once

#include <QString>

namespace kelvo
{

// The window the pass-rate button opens for the score label's caption: "frmKelvo" for an
// empty caption, else the pass-line window of the score's band ("frm合格ライン1" for 100 and
// above down to "frm合格ライン6" for exactly 0). An empty result means open nothing: a score
// below 0, between 0 and 1, or a caption that is not a number.
QString passLineWindowFor(const QString &scoreCaption);

} // namespace kelvo
