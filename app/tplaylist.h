#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

// The player's playlist: the entries (a file's full path and the name the list shows for it), the
// current entry, loop back and the volume; the files beside the program that keep them; and the
// moves of the transport. The player window shows it and MPRIS drives it; it knows neither.
//
// Each change is announced: rows in the manner of a list model (about to change, then changed),
// the current index, loop back and the volume by their own signals.
class TPlaylist : public QObject {
    Q_OBJECT
public:
    // What a move of the current entry asks of the player.
    enum class TStep {
        Play,        // start the current entry, the one the move went to
        PlayAround,  // the move ran off one end and loop back went round: start the current entry
        Stop,        // the move ran off the end without loop back: the last entry is current; stop
    };

    // The state files: the full paths, the shown names (line i of both is entry i) and the four
    // settings lines.
    struct TFiles {
        QString paths;
        QString names;
        QString settings;
        // "PlayList.Txt", "KorviList.Txt" and "KorviSetting.Korvi" in the folder.
        static TFiles In(const QString& folder);
    };

    // The current index as a variable of its own that reads and writes the playlist, for code
    // that keeps the player window's name for it.
    class TCurrentIndex {
    public:
        explicit TCurrentIndex(TPlaylist& playlist) : playlist_(playlist) {}
        TCurrentIndex(const TCurrentIndex&) = delete;
        operator std::int32_t() const { return playlist_.CurrentIndex(); }
        TCurrentIndex& operator=(std::int32_t index) {
            playlist_.SetCurrentIndex(index);
            return *this;
        }
        TCurrentIndex& operator=(const TCurrentIndex& other) {
            return *this = static_cast<std::int32_t>(other);
        }

    private:
        TPlaylist& playlist_;
    };

    explicit TPlaylist(QObject* parent = nullptr);
    ~TPlaylist() override;

    // The part of a path after its last "/": the name shown for a file that is added.
    static QString DisplayName(const QString& path);

    // ---- entries
    int Count() const;
    // Raise EListError "List index out of bounds (%d)" for an index outside the list.
    QString Path(int index) const;
    QString Name(int index) const;
    void Append(const QString& path);
    // Removes the entry. The current index keeps its number, so it names the entry that moved
    // into its place; when none did, the last entry. Nothing happens for an index outside.
    void Delete(int index);
    // No entries, and entry 0 current.
    void Clear();
    // Swaps two entries; the current index follows the entry it named. False, with nothing
    // changed, when either index is outside the list.
    bool Exchange(int index1, int index2);

    // ---- current entry, loop back, volume
    // The entry that plays or would play. It may name no entry (the list was emptied).
    std::int32_t CurrentIndex() const { return current_; }
    void SetCurrentIndex(std::int32_t index);
    bool LoopBack() const { return loopBack_; }
    void SetLoopBack(bool loopBack);
    // 0..1000, as the volume slider stands; values outside are taken as the nearest end.
    int Volume() const { return volume_; }
    void SetVolume(int volume);

    // ---- moves
    // Makes an entry current; false, with nothing changed, when there is no such entry.
    bool Choose(int index);
    // One entry on (Next) or back (Previous); off an end, round with loop back, else stop on the
    // last entry.
    TStep Next();
    TStep Previous();

    // ---- state files
    // Reads the paths, the names and the settings, in that order, each replacing what was held;
    // the first file that can't be read raises its error (EFOpenError "Cannot open file ...") and
    // the later ones are not read. The paths file counts the entries: a name line beyond it is
    // dropped, a missing one is the path's display name; without a names file the paths stay,
    // shown by their display names.
    void Load(const TFiles& files);
    // Line (0 to 3) of the settings file as Load read it, or EListError for a line it lacks.
    QString SettingsLine(int line) const;
    // The settings lines taken into the playlist, each as a step of its own so a bad line stops
    // the restore there. Line 1, the current index, is held inside the list (and only read when
    // there are entries); lines 2 and 4 raise EConvertError when not a number.
    void RestoreCurrentIndex();
    void RestoreLoopBack();
    bool RestoredPlaylistShown() const;  // line 3; the flag belongs to the window
    void RestoreVolume();
    // Writes the paths, the names and the four settings lines, in that order; the first file
    // that can't be written raises its error (EFCreateError) and the later ones are not written.
    void Save(const TFiles& files, bool playlistShown) const;

signals:
    void RowsAboutToBeInserted(int first, int last);
    void RowsInserted();
    void RowsAboutToBeRemoved(int first, int last);
    void RowsRemoved();
    void AboutToReset();
    void WasReset();
    void RowsExchanged(int index1, int index2);
    void CurrentIndexChanged(int previous, int current);
    void LoopBackChanged(bool loopBack);
    void VolumeChanged(int volume);

private:
    struct TStore;

    TStep Move(int delta);
    void Replace(std::unique_ptr<TStore> store);

    std::unique_ptr<TStore> store_;
    std::int32_t current_ = 0;
    bool loopBack_ = false;
    int volume_ = 1000;
    QStringList settings_;
};
