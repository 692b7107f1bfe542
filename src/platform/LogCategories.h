#pragma once

#include <QLoggingCategory>

//! One log category per subsystem. Their info and debug lines record the
//! failures the program otherwise keeps to itself (an option not kept, a log
//! written elsewhere, a module not loaded); they are off unless switched on,
//! for example with QT_LOGGING_RULES="tonemill.*.info=true". Warnings, meant
//! for the user, are always shown.
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // tonemill.settings
Q_DECLARE_LOGGING_CATEGORY(lcEngine)   // tonemill.engine
Q_DECLARE_LOGGING_CATEGORY(lcConvert)  // tonemill.convert
Q_DECLARE_LOGGING_CATEGORY(lcFileList) // tonemill.filelist
Q_DECLARE_LOGGING_CATEGORY(lcLang)     // tonemill.lang
Q_DECLARE_LOGGING_CATEGORY(lcPlatform) // tonemill.platform
