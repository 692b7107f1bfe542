#pragma once

#include <QString>
#include <optional>

namespace cli {

//! The folder of --tree-root, compared by its real path: a path given through
//! a symbolic link or with ".." lies below it when its real place does.
class TreeRoot {
public:
    //! Resolves `folder` (against the current folder when relative); nothing,
    //! with the reason in `error`, when it is not an existing folder.
    static std::optional<TreeRoot> resolve(const QString& folder, QString& error);

    //! The root's real path, without a trailing "/" (but "/" itself).
    const QString& path() const { return m_path; }

    //! Where a path stands against the root.
    enum class Place { Below, Outside, Unknown };
    //! Where `path` lies: its folder (a folder: itself) resolved as the root
    //! is. Below: `spelled` receives it spelled through the root's real path
    //! (the file's own name kept, a link too), so its place inside the root
    //! reads off it. Unknown when its folder cannot be resolved (missing).
    Place place(const QString& path, bool isFolder, QString& spelled) const;

private:
    explicit TreeRoot(QString path) : m_path(std::move(path)) {}
    bool contains(const QString& realPath) const;

    QString m_path;
};

} // namespace cli
