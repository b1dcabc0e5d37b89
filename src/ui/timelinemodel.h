#pragma once

#include "macroevent.h"
#include "observedtimeline.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <unordered_map>

namespace loopwren {

class MacroEngine;

struct UuidHash
{
    std::size_t operator()(const Uuid& id) const noexcept;
};

// The engine's timeline as a list model. It reads the engine's own list and follows the engine's
// announcements row by row: a recorded append is a row insert, an edit of one event a data change, an
// insert, a removal or a move; only a timeline replaced as a whole resets the model. That keeps a long
// timeline fluid and its scroll position where it was.
class TimelineModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The timeline belongs to the window")

public:
    enum Role
    {
        NumberRole = Qt::UserRole + 1,
        SymbolRole,
        ToneRole,
        TitleRole,
        DetailRole,
        DelayTextRole,
        RowStateRole,
    };
    Q_ENUM(Role)

    // Tested in this order: a row that is both current and selected looks current.
    enum RowState
    {
        Current = 0,
        Selected = 1,
        Plain = 2
    };
    Q_ENUM(RowState)

    explicit TimelineModel(MacroEngine& engine, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    const MacroEvent* eventAt(int row) const;
    // The position that identifies the row: the first position holding the row's id.
    int indexOfRow(int row) const;
    RowState rowState(int row) const;

    void setSelectedId(const std::optional<Uuid>& id);

signals:
    // The list should centre this row; sent when the playback moves on to it.
    void followRequested(int row);

private:
    const Timeline& events() const;
    void aboutToChange(const TimelineChange& change);
    void changed(const TimelineChange& change);
    void rebuildIndex();
    void onPlaybackIndexChanged();
    void notifyRows(const std::vector<int>& rows, const QList<int>& roles);
    void notifyAll(const QList<int>& roles);

    MacroEngine& m_engine;
    std::unordered_map<Uuid, int, UuidHash> m_firstIndex;
    bool m_hasDuplicateIds = false;
    qint64 m_playbackIndex = -1;
    std::optional<Uuid> m_selectedId;
};

} // namespace loopwren
