#pragma once

#include <QString>

namespace convert {

//! Why the file at `path` cannot grow, in the system's words ("No space left
//! on device", "Disk quota exceeded"), found by writing one more page at its
//! end and taking it back; empty when it can grow. An encoder that writes
//! its own file only says that writing failed: this names the cause.
QString GrowthRefusal(const QString& path);

} // namespace convert
