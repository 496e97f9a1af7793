#include "EngineLog.h"

Q_LOGGING_CATEGORY(lcEngine, "kelvo.engine", QtWarningMsg)
