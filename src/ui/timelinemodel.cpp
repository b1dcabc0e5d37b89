#include "timelinemodel.h"

#include "eventrowtext.h"
#include "macroengine.h"

#include <cstring>

namespace loopwren {

std::size_t UuidHash::operator()(const Uuid& id) const noexcept
{
    // Version-4 identifiers are random, so any eight of their bytes hash well.
    std::uint64_t value = 0;
    std::memcpy(&value, id.bytes().data(), sizeof value);
    return static_cast<std::size_t>(value ^ (value >> 29));
}

TimelineModel::TimelineModel(MacroEngine& engine, QObject* parent)
    : QAbstractListModel(parent), m_engine(engine), m_playbackIndex(engine.currentPlaybackIndex())
{
    rebuildIndex();
    connect(&m_engine, &MacroEngine::timelineAboutToChange, this, &TimelineModel::aboutToChange);
    connect(&m_engine, &MacroEngine::timelineChanged, this, &TimelineModel::changed);
    connect(&m_engine, &MacroEngine::currentPlaybackIndexChanged, this,
            &TimelineModel::onPlaybackIndexChanged);
    connect(&m_engine, &MacroEngine::languageChanged, this, [this] { notifyAll({TitleRole, DetailRole}); });
}

const Timeline& TimelineModel::events() const { return m_engine.recordedEvents(); }

int TimelineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(events().size());
}

QVariant TimelineModel::data(const QModelIndex& index, int role) const
{
    const MacroEvent* event = eventAt(index.row());
    if (!event || index.parent().isValid())
        return {};
    switch (role) {
    case NumberRole:
        return indexOfRow(index.row()) + 1;
    case SymbolRole:
        return rowtext::symbolName(event->type);
    case ToneRole:
        return rowtext::symbolTone(event->type);
    case TitleRole:
        return rowtext::title(*event, m_engine.language());
    case DetailRole:
        return rowtext::detail(*event, m_engine.language());
    case DelayTextRole:
        return rowtext::delayBadge(event->delaySincePrevious);
    case RowStateRole:
        return rowState(index.row());
    default:
        return {};
    }
}

QHash<int, QByteArray> TimelineModel::roleNames() const
{
    return {
        {NumberRole, "number"},     {SymbolRole, "symbol"}, {ToneRole, "tone"},
        {TitleRole, "title"},       {DetailRole, "detail"}, {DelayTextRole, "delayText"},
        {RowStateRole, "rowState"},
    };
}

const MacroEvent* TimelineModel::eventAt(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= events().size())
        return nullptr;
    return &events()[static_cast<std::size_t>(row)];
}

int TimelineModel::indexOfRow(int row) const
{
    if (!m_hasDuplicateIds)
        return row;
    const auto it = m_firstIndex.find(events()[static_cast<std::size_t>(row)].id);
    return it == m_firstIndex.end() ? row : it->second;
}

TimelineModel::RowState TimelineModel::rowState(int row) const
{
    const MacroEvent* event = eventAt(row);
    if (!event)
        return Plain;
    if (indexOfRow(row) == m_playbackIndex)
        return Current;
    if (m_selectedId && *m_selectedId == event->id)
        return Selected;
    return Plain;
}

void TimelineModel::setSelectedId(const std::optional<Uuid>& id)
{
    if (id == m_selectedId)
        return;
    std::vector<int> rows;
    if (!m_hasDuplicateIds) {
        for (const auto& candidate : {m_selectedId, id}) {
            if (!candidate)
                continue;
            if (const auto it = m_firstIndex.find(*candidate); it != m_firstIndex.end())
                rows.push_back(it->second);
        }
    }
    m_selectedId = id;
    if (m_hasDuplicateIds)
        notifyAll({RowStateRole});
    else
        notifyRows(rows, {RowStateRole});
}

void TimelineModel::aboutToChange(const TimelineChange& change)
{
    const int row = static_cast<int>(change.row);
    switch (change.kind) {
    case TimelineChange::Kind::inserted:
        beginInsertRows({}, row, row);
        break;
    case TimelineChange::Kind::removed:
        beginRemoveRows({}, row, row);
        break;
    case TimelineChange::Kind::moved: {
        // Qt names the row the moved one goes in front of, counted before the move.
        const int to = static_cast<int>(change.to);
        beginMoveRows({}, row, row, {}, to > row ? to + 1 : to);
        break;
    }
    case TimelineChange::Kind::updated:
        break;
    case TimelineChange::Kind::replaced:
        beginResetModel();
        break;
    }
}

void TimelineModel::changed(const TimelineChange& change)
{
    const int row = static_cast<int>(change.row);
    const int count = static_cast<int>(events().size());
    switch (change.kind) {
    case TimelineChange::Kind::inserted:
        // A recorded append keeps the index up to date in one step; an insert in the middle moves the
        // first positions behind it.
        if (row == count - 1 && !m_hasDuplicateIds) {
            if (!m_firstIndex.try_emplace(events().back().id, row).second)
                m_hasDuplicateIds = true;
        } else {
            rebuildIndex();
        }
        endInsertRows();
        break;
    case TimelineChange::Kind::removed:
        rebuildIndex();
        endRemoveRows();
        break;
    case TimelineChange::Kind::moved:
        rebuildIndex();
        endMoveRows();
        break;
    case TimelineChange::Kind::updated:
        emit dataChanged(index(row), index(row));
        return;
    case TimelineChange::Kind::replaced:
        rebuildIndex();
        endResetModel();
        return;
    }
    // Row numbers and states hang on positions: the rows behind an insert, removal or move have new
    // ones, and a row keeps what it was told until it is told again.
    const int first =
        change.kind == TimelineChange::Kind::moved ? std::min(row, static_cast<int>(change.to)) : row;
    if (m_hasDuplicateIds)
        notifyAll({NumberRole, RowStateRole});
    else if (first < count && !(change.kind == TimelineChange::Kind::inserted && row == count - 1))
        emit dataChanged(index(first), index(count - 1), {NumberRole, RowStateRole});
}

void TimelineModel::rebuildIndex()
{
    const Timeline& list = events();
    m_firstIndex.clear();
    m_firstIndex.reserve(list.size());
    m_hasDuplicateIds = false;
    for (std::size_t row = 0; row < list.size(); ++row) {
        if (!m_firstIndex.try_emplace(list[row].id, static_cast<int>(row)).second)
            m_hasDuplicateIds = true;
    }
}

void TimelineModel::onPlaybackIndexChanged()
{
    const qint64 previous = m_playbackIndex;
    m_playbackIndex = m_engine.currentPlaybackIndex();
    if (m_hasDuplicateIds) {
        notifyAll({RowStateRole});
    } else if (previous != m_playbackIndex) {
        std::vector<int> rows;
        for (const qint64 row : {previous, m_playbackIndex}) {
            if (row >= 0 && row < static_cast<qint64>(events().size()))
                rows.push_back(static_cast<int>(row));
        }
        notifyRows(rows, {RowStateRole});
    }
    if (m_playbackIndex >= 0 && m_playbackIndex < static_cast<qint64>(events().size()))
        emit followRequested(static_cast<int>(m_playbackIndex));
}

void TimelineModel::notifyRows(const std::vector<int>& rows, const QList<int>& roles)
{
    for (const int row : rows)
        emit dataChanged(index(row), index(row), roles);
}

void TimelineModel::notifyAll(const QList<int>& roles)
{
    if (!events().empty())
        emit dataChanged(index(0), index(static_cast<int>(events().size()) - 1), roles);
}

} // namespace loopwren
