#pragma once

#include <QAbstractListModel>

class TPlaylist;

// The playlist as Qt's item views take it: one row per entry, its shown name in the display role,
// its full path in PathRole, and "playing" as the current entry's accessible description. The
// views (the visible list, the hidden list of paths) and the list's accessibility come with it;
// the playlist's own signals keep it current.
class TPlaylistModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum TRole { PathRole = Qt::UserRole + 1 };

    explicit TPlaylistModel(TPlaylist& playlist, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void RowChanged(int row);

    TPlaylist& playlist_;
};
