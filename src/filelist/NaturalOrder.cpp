#include "filelist/NaturalOrder.h"

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

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareNumbers(a, i, b, j))
                return order < 0;
            continue;
        }
        const QChar x = a[i].toCaseFolded();
        const QChar y = b[j].toCaseFolded();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    return a < b;
}

} // namespace filelist
