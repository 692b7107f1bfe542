#pragma once

#include <QString>

namespace bench {

//! Removes what `folder` holds and makes it anew, empty.
void emptyFolder(const QString& folder);

} // namespace bench
