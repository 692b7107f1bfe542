#pragma once

#include <QString>

namespace platform {

//! Creates (or opens) a process-wide named object that lives as long as the
//! process. Like the named mutex it stands for, nobody examines it: a second
//! instance starts and runs normally. Failure is ignored.
void CreateNamedMutex(const QString& name);

} // namespace platform
