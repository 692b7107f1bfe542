#include "cli/NearestNames.h"

#include <algorithm>
#include <vector>

namespace cli {

namespace {

//! The edits (insert, remove, replace a letter, swap two neighbours) that
//! turn `a` into `b`.
qsizetype editDistance(const QString& a, const QString& b)
{
    const qsizetype n = b.size();
    std::vector<qsizetype> before(std::size_t(n + 1)), previous(std::size_t(n + 1)), row(std::size_t(n + 1));
    for (qsizetype j = 0; j <= n; ++j)
        previous[std::size_t(j)] = j;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (qsizetype j = 1; j <= n; ++j) {
            const auto at = std::size_t(j);
            const qsizetype replace = previous[at - 1] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            row[at] = std::min({previous[at] + 1, row[at - 1] + 1, replace});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                row[at] = std::min(row[at], before[at - 2] + 1);
        }
        before.swap(previous);
        previous.swap(row);
    }
    return previous[std::size_t(n)];
}

} // namespace

QStringList nearestNames(const QString& word, const QStringList& names, int most)
{
    const QString folded = word.toLower();
    // A slip of a letter or two for a short name, a few more for a long one.
    const qsizetype near = std::max<qsizetype>(2, folded.size() / 3);
    std::vector<std::pair<qsizetype, QString>> found;
    for (const QString& name : names) {
        const QString candidate = name.toLower();
        qsizetype distance = editDistance(folded, candidate);
        if (folded.size() >= 3 && candidate.startsWith(folded))
            distance = std::min<qsizetype>(distance, 1);
        if (distance <= near)
            found.emplace_back(distance, name);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList nearest;
    for (const auto& [distance, name] : found)
        if (nearest.size() < most && !nearest.contains(name))
            nearest << name;
    return nearest;
}

QString didYouMean(const QString& word, const QStringList& names)
{
    const QStringList nearest = nearestNames(word, names);
    if (nearest.isEmpty())
        return {};
    QString list = nearest.first();
    for (qsizetype i = 1; i < nearest.size(); ++i)
        list += (i + 1 == nearest.size() ? QStringLiteral(" or ") : QStringLiteral(", ")) + nearest.at(i);
    return QStringLiteral(" (did you mean %1?)").arg(list);
}

} // namespace cli
