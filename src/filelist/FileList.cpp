#include "filelist/FileList.h"

#include "filelist/FileAdmissionRules.h"
#include "filelist/GridProgress.h"
#include "filelist/RowWords.h"
#include "lang/StringLookup.h"
#include "platform/FileName.h"
#include "platform/Path.h"

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
    if (count() >= kMaxRows || !pathFits(row.path))
        return false;
    const int at = count();
    beginInsertRows(QModelIndex(), at, at);
    m_rows.push_back(row);
    if (m_pathIndexValid && !m_pathIndex.contains(row.path))
        m_pathIndex.insert(row.path, at);
    endInsertRows();
    m_cursor = at;
    return true;
}

bool FileList::setRow(int row, const FileListRow& record)
{
    if (!valid(row, ID) || !pathFits(record.path))
        return false;
    FileListRow& r = m_rows[std::size_t(row)];
    if (r.path != record.path) {
        m_pathIndexValid = false;
        m_pathIndex.clear();
    }
    r = record;
    Q_EMIT dataChanged(index(row, 0), index(row, kColumnCount - 1));
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
        return r.path;
    case Status:
        return words::status(r);
    case Duration:
        return r.Duration; // empty for a file that could not be opened: it has no length
    default:
        if (r.cdTrack)
            return lang::caption(lang::StringId::CdTrack);
        // Written as the language shown writes numbers ("939,34 KB" in German).
        return r.bytes >= 0 ? FormatFileSize(r.bytes, lang::numberLocale()) : r.FileSize;
    }
}

bool FileList::setCell(int row, int column, const QVariant& value)
{
    if (!valid(row, column) || column == Status)
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
            r.path = text;
            m_pathIndexValid = false;
            m_pathIndex.clear();
            break;
        case Duration:
            r.Duration = text;
            break;
        default:
            r.FileSize = text;
            r.bytes = -1; // the text given is what shows
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
            m_pathIndex.insert(at(r).path, r);
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

void FileList::statusChanged(int row)
{
    const QModelIndex status = index(row, Status);
    Q_EMIT dataChanged(status, status);
    if (at(row).state == RowState::NotSupported) {
        const QModelIndex duration = index(row, Duration);
        Q_EMIT dataChanged(duration, duration);
    }
}

void FileList::setState(int row, RowState state)
{
    if (!valid(row, Status))
        return;
    FileListRow& r = m_rows[std::size_t(row)];
    if (r.state == state)
        return;
    r.state = state;
    if (state != RowState::Converting)
        r.progress = 0;
    statusChanged(row);
}

void FileList::setProgress(int row, float percent)
{
    if (!valid(row, Status))
        return;
    FileListRow& r = m_rows[std::size_t(row)];
    if (r.state == RowState::Converting && r.progress == percent)
        return;
    r.state = RowState::Converting;
    r.progress = percent;
    statusChanged(row);
}

void FileList::setReason(int row, const RowReason& reason)
{
    if (!valid(row, Status) || at(row).reason == reason)
        return;
    m_rows[std::size_t(row)].reason = reason;
    const QModelIndex i = index(row, Status);
    Q_EMIT dataChanged(i, i, {Qt::ToolTipRole});
}

void FileList::setOutputPath(int row, const QString& path)
{
    if (valid(row, Status))
        m_rows[std::size_t(row)].outputPath = path;
}

void FileList::refreshWords()
{
    if (count() > 0)
        Q_EMIT dataChanged(index(0, Status), index(count() - 1, FileSize));
}

QString FileList::statusReason(int row) const
{
    return valid(row, Status) ? words::reason(at(row).reason) : QString();
}

void FileList::setLoudness(int row, const std::optional<MeasuredLoudness>& loudness)
{
    if (!valid(row, Status) || at(row).loudness == loudness)
        return;
    m_rows[std::size_t(row)].loudness = loudness;
    const QModelIndex i = index(row, Status);
    Q_EMIT dataChanged(i, i, {Qt::ToolTipRole});
}

std::optional<MeasuredLoudness> FileList::loudness(int row) const
{
    return valid(row, Status) ? at(row).loudness : std::nullopt;
}

std::optional<quint32> FileList::textColor(int row, int column) const
{
    if (!valid(row, column))
        return std::nullopt;
    const RowState state = at(row).state;
    if (column == Status || (column == Duration && state == RowState::NotSupported))
        return words::statusColor(state);
    return std::nullopt;
}

int FileList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileList::accessibleText(int row, int column) const
{
    const FileListRow& r = at(row);
    // The tick box shows no words: it is named by the file it ticks.
    if (column == CheckBox)
        return platform::displayName(platform::Path(r.path).fileName());
    // A converting row's progress as its bar labels it ("46%").
    if (column == Status && r.state == RowState::Converting)
        return gridprogress::label(gridprogress::percent(double(r.progress)));
    return {};
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
            return platform::displayName(at(index.row()).path);
        return cell(index.row(), column);
    case Qt::ToolTipRole:
        if (column == FilePath)
            return platform::displayName(at(index.row()).path);
        if (column == Status) {
            QString tip = statusReason(index.row());
            if (const std::optional<MeasuredLoudness> measured = loudness(index.row()))
                tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + measured->tooltip();
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        return {};
    case Qt::AccessibleTextRole:
        return accessibleText(index.row(), column);
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
    case StateRole:
        return int(at(index.row()).state);
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
