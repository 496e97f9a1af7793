#pragma once

#include <QLoggingCategory>

// Everything the browser engine plugin has to say: "kelvo.engine". Warnings show; what the
// page asked for and was refused, and the page's own console, only when asked for
// (QT_LOGGING_RULES="kelvo.engine.info=true" or "kelvo.engine.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
