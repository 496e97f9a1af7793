#pragma once

#include <QLoggingCategory>

// Everything the browser engine plugin has to say: "kelvo.engine". Warnings show: a document
// that cannot be read, and each thing the page asked for and was refused, once.
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
