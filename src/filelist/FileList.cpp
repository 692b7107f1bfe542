#include "filelist/FileList.h"

#include "platform/FileName.h"

#include <QMetaType>
#include <algorithm>
#include <limits>
#include <new>

namespace filelist {

namespace {

const std::array<QString, FileList::kColumnCount>& columnNames()
{
    static const std::array<QString, FileList::kColumnCount> names{
        QStringLiteral("ID"),     QStringLiteral("CheckBox"), QStringLiteral("FilePath"),
        QStringLiteral("Status"), QStringLiteral("Duration"), QStringLiteral("FileSize")};
    return names;
}

bool pathFits(const QString& path)
{
    // UTF-8 needs at most three bytes per UTF-16 unit: skip the conversion
    // for the paths that surely fit.
    if (path.size() * 3 <= FileList::kMaxPathBytes)
        return true;
    return platform::nativeName(path).size() <= FileList::kMaxPathBytes;
}

std::optional<qint32> toInt32(const QVariant& value)
{
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

// The headless library does not link Qt Gui; when the grid (or anything else)
// has brought Gui into the process, QString to QColor conversion is
// registered and views get a real QColor for the foreground role.
QVariant guiColor(quint32 rgb)
{
    QVariant v(QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')));
    const QMetaType colorType(QMetaType::QColor);
    if (colorType.isValid() && v.convert(colorType))
        return v;
    return {};
}

} // namespace

FileList::FileList(QObject* parent) : QAbstractTableModel(parent) {}

FileList::~FileList() = default;

QString FileList::columnName(int column)
{
    if (column < 0 || column >= kColumnCount)
        return {};
    return columnNames()[std::size_t(column)];
}

int FileList::columnIndex(const QString& name)
{
    for (int c = 0; c < kColumnCount; ++c)
        if (columnNames()[std::size_t(c)].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

bool FileList::valid(int row, int column) const
{
    return row >= 0 && row < count() && column >= 0 && column < kColumnCount;
}

bool FileList::append(const FileListRow& row)
{
    if (count() >= kMaxRows || !pathFits(row.FilePath))
        return false;
    const int at = count();
    beginInsertRows(QModelIndex(), at, at);
    m_rows.push_back(row);
    if (m_pathIndexValid && !m_pathIndex.contains(row.FilePath))
        m_pathIndex.insert(row.FilePath, at);
    endInsertRows();
    m_cursor = at;
    return true;
}

QVariant FileList::cell(int row, int column) const
{
    if (!valid(row, column))
        return {};
    const FileListRow& r = at(row);
    switch (column) {
    case ID:
        return r.ID;
    case CheckBox:
        return r.CheckBox;
    case FilePath:
        return r.FilePath;
    case Status:
        return r.Status;
    case Duration:
        return r.Duration;
    default:
        return r.FileSize;
    }
}

bool FileList::setCell(int row, int column, const QVariant& value)
{
    if (!valid(row, column))
        return false;
    FileListRow& r = m_rows[std::size_t(row)];
    if (column == ID || column == CheckBox) {
        const std::optional<qint32> n = toInt32(value);
        if (!n)
            return false;
        (column == ID ? r.ID : r.CheckBox) = *n;
    } else {
        const QString text = value.toString();
        switch (column) {
        case FilePath:
            if (!pathFits(text))
                return false;
            r.FilePath = text;
            m_pathIndexValid = false;
            m_pathIndex.clear();
            break;
        case Status:
            r.Status = text;
            break;
        case Duration:
            r.Duration = text;
            break;
        default:
            r.FileSize = text;
            break;
        }
    }
    const QModelIndex i = index(row, column);
    if (column == CheckBox)
        Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole});
    else
        Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool FileList::containsPath(const QString& path)
{
    if (m_rows.empty())
        return false;
    // Same outcome as walking the rows from the first: the cursor ends on the
    // first match, or past the last row.
    if (!m_pathIndexValid) {
        for (int r = count() - 1; r >= 0; --r)
            m_pathIndex.insert(at(r).FilePath, r);
        m_pathIndexValid = true;
    }
    const auto it = m_pathIndex.constFind(path);
    if (it == m_pathIndex.constEnd()) {
        m_cursor = count();
        return false;
    }
    m_cursor = it.value();
    return true;
}

void FileList::moveFirst()
{
    m_cursor = 0;
}

void FileList::moveLast()
{
    m_cursor = count() - 1;
    if (m_cursor < 0)
        m_cursor = 0;
}

void FileList::moveNext()
{
    if (m_cursor < count())
        ++m_cursor;
}

void FileList::movePrevious()
{
    if (m_cursor >= 0)
        --m_cursor;
}

void FileList::setCursor(int row)
{
    m_cursor = std::clamp(row, -1, count());
}

QVariant FileList::field(const QString& column) const
{
    return cell(m_cursor, columnIndex(column));
}

bool FileList::setField(const QString& column, const QVariant& value)
{
    return setCell(m_cursor, columnIndex(column), value);
}

void FileList::setTextColor(int row, int column, quint32 rgb)
{
    if (!valid(row, column))
        return;
    m_colors[colorKey(row, column)] = rgb & 0xFFFFFF;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {Qt::ForegroundRole, TextColorRole});
}

void FileList::clearTextColor(int row, int column)
{
    if (m_colors.erase(colorKey(row, column)) == 0)
        return;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {Qt::ForegroundRole, TextColorRole});
}

void FileList::setStatusReason(int row, const QString& reason)
{
    if (!valid(row, Status))
        return;
    if (reason.isEmpty()) {
        if (m_reasons.erase(row) == 0)
            return;
    } else {
        m_reasons[row] = reason;
    }
    const QModelIndex i = index(row, Status);
    Q_EMIT dataChanged(i, i, {Qt::ToolTipRole});
}

QString FileList::statusReason(int row) const
{
    const auto it = m_reasons.find(row);
    return it == m_reasons.end() ? QString() : it->second;
}

void FileList::setLoudness(int row, const std::optional<MeasuredLoudness>& loudness)
{
    if (!valid(row, Status))
        return;
    if (!loudness) {
        if (m_loudness.erase(row) == 0)
            return;
    } else {
        m_loudness[row] = *loudness;
    }
    const QModelIndex i = index(row, Status);
    Q_EMIT dataChanged(i, i, {Qt::ToolTipRole});
}

std::optional<MeasuredLoudness> FileList::loudness(int row) const
{
    const auto it = m_loudness.find(row);
    return it == m_loudness.end() ? std::nullopt : std::optional<MeasuredLoudness>(it->second);
}

std::optional<quint32> FileList::textColor(int row, int column) const
{
    if (m_colors.empty())
        return std::nullopt;
    const auto it = m_colors.find(colorKey(row, column));
    if (it == m_colors.end())
        return std::nullopt;
    return it->second;
}

int FileList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !valid(index.row(), index.column()))
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == CheckBox)
            return {};
        if (column == FilePath)
            return platform::displayName(at(index.row()).FilePath);
        return cell(index.row(), column);
    case Qt::ToolTipRole:
        if (column == Status) {
            QString tip = statusReason(index.row());
            if (const std::optional<MeasuredLoudness> measured = loudness(index.row()))
                tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + measured->tooltip();
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        return {};
    case Qt::EditRole:
        return cell(index.row(), column);
    case Qt::CheckStateRole:
        if (column != CheckBox)
            return {};
        return at(index.row()).CheckBox != 0 ? Qt::Checked : Qt::Unchecked;
    case Qt::ForegroundRole:
        if (const std::optional<quint32> rgb = textColor(index.row(), column))
            return guiColor(*rgb);
        return {};
    case TextColorRole:
        if (const std::optional<quint32> rgb = textColor(index.row(), column))
            return uint(*rgb);
        return {};
    default:
        return {};
    }
}

bool FileList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != CheckBox)
        return false;
    if (role == Qt::CheckStateRole)
        return setCell(index.row(), CheckBox, value.toInt() == Qt::Unchecked ? 0 : 1);
    if (role == Qt::EditRole)
        return setCell(index.row(), CheckBox, value);
    return false;
}

Qt::ItemFlags FileList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == CheckBox)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FileList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const QVariant& caption = m_headers[std::size_t(section)];
    return caption.isValid() ? caption : QVariant(columnName(section));
}

bool FileList::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    m_headers[std::size_t(section)] = value;
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

std::unique_ptr<FileList> NewFileList()
{
    try {
        return std::make_unique<FileList>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool InitFileList(std::unique_ptr<FileList>& current)
{
    std::unique_ptr<FileList> list = NewFileList();
    if (!list)
        return false;
    current = std::move(list);
    return true;
}

} // namespace filelist
