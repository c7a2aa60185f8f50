#include "app/tplaylistmodel.h"

#include "app/tplaylist.h"

TPlaylistModel::TPlaylistModel(TPlaylist& playlist, QObject* parent)
    : QAbstractListModel(parent), playlist_(playlist) {
    connect(&playlist_, &TPlaylist::RowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(&playlist_, &TPlaylist::RowsInserted, this, [this] { endInsertRows(); });
    connect(&playlist_, &TPlaylist::RowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows(QModelIndex(), first, last); });
    connect(&playlist_, &TPlaylist::RowsRemoved, this, [this] { endRemoveRows(); });
    connect(&playlist_, &TPlaylist::AboutToReset, this, [this] { beginResetModel(); });
    connect(&playlist_, &TPlaylist::WasReset, this, [this] { endResetModel(); });
    // Entries that swap places keep their rows: the views' selection stays on its row.
    connect(&playlist_, &TPlaylist::RowsExchanged, this, [this](int index1, int index2) {
        RowChanged(index1);
        RowChanged(index2);
    });
    // The current entry is drawn in its own colours.
    connect(&playlist_, &TPlaylist::CurrentIndexChanged, this, [this](int previous, int current) {
        RowChanged(previous);
        RowChanged(current);
    });
}

int TPlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : playlist_.Count();
}

QVariant TPlaylistModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= playlist_.Count()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return playlist_.Name(index.row());
        case PathRole:
            return playlist_.Path(index.row());
        case Qt::AccessibleDescriptionRole:
            // What the red of the current entry says, in the words of the quick-play buttons.
            return index.row() == playlist_.CurrentIndex() ? QStringLiteral("playing") : QString();
        default:
            return {};
    }
}

void TPlaylistModel::RowChanged(int row) {
    if (row >= 0 && row < playlist_.Count()) {
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed);
    }
}
