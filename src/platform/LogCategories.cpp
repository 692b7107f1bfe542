#include "platform/LogCategories.h"

// Warnings and above by default: the lines below them are diagnostics.
Q_LOGGING_CATEGORY(lcSettings, "tonemill.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcEngine, "tonemill.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(lcConvert, "tonemill.convert", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFileList, "tonemill.filelist", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLang, "tonemill.lang", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlatform, "tonemill.platform", QtWarningMsg)
