#pragma once

#include <QLoggingCategory>

// Everything the browser engine plugin has to say: "kelvo.engine". Warnings show: a document
// that cannot be read, and each thing the page asked for and was refused, once. The page's
// own console shows only when asked for (QT_LOGGING_RULES="kelvo.engine.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
