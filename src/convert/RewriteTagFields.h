#pragma once

#include "tags/WriteTagFields.h"

#include <QList>
#include <QString>

namespace convert {

//! Sets `fields` (as tags::WriteTagFields does) in a finished output that
//! carries its final name: the change is
//! made in a copy beside it, which then replaces it, so that a full disk or a
//! crash never leaves the output half written. `why` receives the reason of
//! a failure (the output is then as it was).
[[nodiscard]] bool RewriteTagFields(const QString& path, tags::TagFormat format, const QList<tags::TagField>& fields,
                                    QString* why);

} // namespace convert
