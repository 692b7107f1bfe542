#pragma once

#include <QString>
#include <QStringList>

namespace bench {

//! The options of a benchmark's command line: "--name VALUE" pairs and lone
//! "--flag"s.
class BenchArguments {
public:
    //! `arguments` as QCoreApplication gives them, the program first.
    explicit BenchArguments(const QStringList& arguments);

    //! The whole number after `name`, at least `minimum`; `fallback` when absent or not a number.
    int number(const QString& name, int fallback, int minimum = 1) const;
    //! The text after `name`; empty when absent.
    QString text(const QString& name) const;
    bool flag(const QString& name) const;

private:
    QStringList m_arguments;
};

} // namespace bench
