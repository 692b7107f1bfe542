#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace bench {

//! Times our conversion of every file of a batch against a reference
//! command's, file by file and back to back (best of `runs` each), so that
//! the load of other programs on the machine hits both sides alike; prints
//! a row a format: the seconds of both, the ratio ours ÷ reference and the
//! megabytes each wrote (showing that both did the whole work).
class PerFileComparison {
public:
    //! Converts `input` into `target`; false on a failure.
    using Conversion = std::function<bool(const QString& input, const QString& target)>;

    //! Prints the heading and the table's header.
    PerFileComparison(const char* name, const QStringList& inputs, int minutes, int runs);

    //! Compares the two for every input, writing `.extension` files, and
    //! prints the format's row. An output of ours that is empty is a failure.
    void compare(const QString& extension, const Conversion& ours, const Conversion& reference);

    //! False once a conversion of either side failed.
    bool ok() const { return m_ok; }

private:
    QString target(const QString& extension);

    QStringList m_inputs;
    int m_runs;
    QTemporaryDir m_out;
    int m_serial = 0;
    bool m_ok = true;
};

} // namespace bench
