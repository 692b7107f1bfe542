#pragma once

#include <QString>

#include <cstdio>

namespace cli {

//! Writes `text` to `stream` as UTF-8.
void writeUtf8(std::FILE* stream, const QString& text);

//! A path argument as the window's dialogs give paths: made absolute against
//! the current folder, otherwise untouched.
QString absolutePath(const QString& path);

} // namespace cli
