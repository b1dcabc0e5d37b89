#include "timelinemodel.h"

#include "eventrowtext.h"
#include "macroengine.h"

#include <cstring>

namespace loopwren {
namespace {

bool samePoint(const std::optional<Point>& a, const std::optional<Point>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a ||
           (std::memcmp(&a->x, &b->x, sizeof(double)) == 0 && std::memcmp(&a->y, &b->y, sizeof(double)) == 0);
}

// Bitwise on the doubles so that a NaN read from a file still equals itself.
bool sameEvent(const MacroEvent& a, const MacroEvent& b)
{
    return a.id == b.id && a.type == b.type &&
           std::memcmp(&a.delaySincePrevious, &b.delaySincePrevious, sizeof(double)) == 0 &&
           samePoint(a.location, b.location) && a.mouseButton == b.mouseButton &&
           a.clickCount == b.clickCount && a.keyCode == b.keyCode && a.flags == b.flags &&
           a.scrollDeltaX == b.scrollDeltaX && a.scrollDeltaY == b.scrollDeltaY;
}

} // namespace

std::size_t UuidHash::operator()(const Uuid& id) const noexcept
{
    // Version-4 identifiers are random, so any eight of their bytes hash well.
    std::uint64_t value = 0;
    std::memcpy(&value, id.bytes().data(), sizeof value);
    return static_cast<std::size_t>(value ^ (value >> 29));
}

TimelineModel::TimelineModel(MacroEngine& engine, QObject* parent)
    : QAbstractListModel(parent), m_engine(engine), m_events(engine.recordedEvents()),
      m_playbackIndex(engine.currentPlaybackIndex())
{
    rebuildIndex();
    connect(&m_engine, &MacroEngine::recordedEventsAppended, this, &TimelineModel::appendFromEngine);
    connect(&m_engine, &MacroEngine::recordedEventsReset, this, &TimelineModel::syncWithEngine);
    connect(&m_engine, &MacroEngine::currentPlaybackIndexChanged, this,
            &TimelineModel::onPlaybackIndexChanged);
    connect(&m_engine, &MacroEngine::languageChanged, this, [this] { notifyAll({TitleRole, DetailRole}); });
}

int TimelineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_events.size());
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
    if (row < 0 || static_cast<std::size_t>(row) >= m_events.size())
        return nullptr;
    return &m_events[static_cast<std::size_t>(row)];
}

int TimelineModel::indexOfRow(int row) const
{
    if (!m_hasDuplicateIds)
        return row;
    const auto it = m_firstIndex.find(m_events[static_cast<std::size_t>(row)].id);
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

void TimelineModel::appendFromEngine(int first, int last)
{
    const Timeline& source = m_engine.recordedEvents();
    if (first != static_cast<int>(m_events.size()) || last < first ||
        static_cast<std::size_t>(last) >= source.size()) {
        syncWithEngine();
        return;
    }
    beginInsertRows({}, first, last);
    for (int row = first; row <= last; ++row) {
        m_events.push_back(source[static_cast<std::size_t>(row)]);
        if (!m_firstIndex.try_emplace(m_events.back().id, row).second)
            m_hasDuplicateIds = true;
    }
    endInsertRows();
}

void TimelineModel::syncWithEngine()
{
    const Timeline& source = m_engine.recordedEvents();
    const std::size_t oldSize = m_events.size();
    const std::size_t newSize = source.size();

    std::size_t prefix = 0;
    while (prefix < oldSize && prefix < newSize && sameEvent(m_events[prefix], source[prefix]))
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < oldSize - prefix && suffix < newSize - prefix &&
           sameEvent(m_events[oldSize - 1 - suffix], source[newSize - 1 - suffix]))
        ++suffix;
    const int first = static_cast<int>(prefix);
    const int oldLast = static_cast<int>(oldSize - suffix) - 1; // last changed old row
    const int newLast = static_cast<int>(newSize - suffix) - 1; // last changed new row

    if (prefix == oldSize && prefix == newSize)
        return;
    if (oldSize == 0 || newSize == 0 || (prefix == 0 && suffix == 0 && oldSize != newSize)) {
        // A different timeline altogether (a load, a new recording, a clear): start the list afresh.
        beginResetModel();
        m_events = source;
        rebuildIndex();
        endResetModel();
        return;
    }
    if (newLast < first) { // only removed
        beginRemoveRows({}, first, oldLast);
        m_events.erase(m_events.begin() + first, m_events.begin() + oldLast + 1);
        rebuildIndex();
        endRemoveRows();
    } else if (oldLast < first) { // only inserted
        beginInsertRows({}, first, newLast);
        m_events.insert(m_events.begin() + first, source.begin() + first, source.begin() + newLast + 1);
        rebuildIndex();
        endInsertRows();
    } else if (oldLast - first == newLast - first) { // rewritten or reordered in place
        std::copy(source.begin() + first, source.begin() + newLast + 1, m_events.begin() + first);
        rebuildIndex();
        emit dataChanged(index(first), index(newLast));
    } else {
        beginRemoveRows({}, first, oldLast);
        m_events.erase(m_events.begin() + first, m_events.begin() + oldLast + 1);
        endRemoveRows();
        beginInsertRows({}, first, newLast);
        m_events.insert(m_events.begin() + first, source.begin() + first, source.begin() + newLast + 1);
        rebuildIndex();
        endInsertRows();
    }
    // Row numbers and states hang on positions: the rows behind an insert or removal in the middle have
    // moved, and a row keeps what it was told until it is told again.
    if (m_hasDuplicateIds)
        notifyAll({NumberRole, RowStateRole});
    else if (oldSize != newSize && static_cast<std::size_t>(first) < newSize)
        emit dataChanged(index(first), index(static_cast<int>(newSize) - 1), {NumberRole, RowStateRole});
}

void TimelineModel::rebuildIndex()
{
    m_firstIndex.clear();
    m_firstIndex.reserve(m_events.size());
    m_hasDuplicateIds = false;
    for (std::size_t row = 0; row < m_events.size(); ++row) {
        if (!m_firstIndex.try_emplace(m_events[row].id, static_cast<int>(row)).second)
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
            if (row >= 0 && row < static_cast<qint64>(m_events.size()))
                rows.push_back(static_cast<int>(row));
        }
        notifyRows(rows, {RowStateRole});
    }
    if (m_playbackIndex >= 0 && m_playbackIndex < static_cast<qint64>(m_events.size()))
        emit followRequested(static_cast<int>(m_playbackIndex));
}

void TimelineModel::notifyRows(const std::vector<int>& rows, const QList<int>& roles)
{
    for (const int row : rows)
        emit dataChanged(index(row), index(row), roles);
}

void TimelineModel::notifyAll(const QList<int>& roles)
{
    if (!m_events.empty())
        emit dataChanged(index(0), index(static_cast<int>(m_events.size()) - 1), roles);
}

} // namespace loopwren
