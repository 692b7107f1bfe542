#include "filelist/NaturalOrder.h"

#include <QCollator>
#include <QLocale>
#include <optional>

namespace filelist {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Compares the digit runs starting at a[i] and b[j] by value and moves past
// them. Leading zeros do not count towards the value.
int compareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j)
{
    auto run = [](const QString& s, qsizetype& at) {
        while (at < s.size() && s[at] == u'0' && at + 1 < s.size() && isDigit(s[at + 1]))
            ++at;
        const qsizetype start = at;
        while (at < s.size() && isDigit(s[at]))
            ++at;
        return QStringView(s).mid(start, at - start);
    };
    const QStringView x = run(a, i);
    const QStringView y = run(b, j);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return x.compare(y);
}

// Without a collation library: case-folded UTF-16, numbers by value.
int compareCodeUnits(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareNumbers(a, i, b, j))
                return order;
            continue;
        }
        const QChar x = a[i].toCaseFolded();
        const QChar y = b[j].toCaseFolded();
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size() ? -1 : 1;
    return 0;
}

std::optional<QCollator> makeCollator()
{
    // The C locale gets Qt's plain comparison, without numbers: names are
    // then ordered as in English.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English);
    QCollator collator(locale);
    collator.setNumericMode(true); // numbers by value, their leading zeros left out
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setIgnorePunctuation(false);
    // Qt built without ICU compares through the C library, which knows no
    // numbers: the comparison of code units serves then.
    if (collator.compare(u"2", u"10") >= 0 || collator.compare(u"\u00C9mile", u"Zoe") >= 0)
        return std::nullopt;
    return collator;
}

// One per thread: a collator sets itself up on first use and is not to be shared.
const QCollator* collator()
{
    thread_local const std::optional<QCollator> perThread = makeCollator();
    return perThread ? &*perThread : nullptr;
}

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    const QCollator* c = collator();
    if (const int order = c ? c->compare(a, b) : compareCodeUnits(a, b))
        return order < 0;
    return a < b;
}

} // namespace filelist
