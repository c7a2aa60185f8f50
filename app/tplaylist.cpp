#include "app/tplaylist.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/elisterror.h"
#include "platform/filenames.h"
#include "platform/strtoint.h"
#include "platform/tlinefile.h"

// The entries, kept small: a long playlist names few folders, so each path is a folder number and
// its file name, and the shown name, which is nearly always that file name, is stored only where it
// differs. All text is the files' own bytes (UTF-8), so a state file is written back as it was
// read.
struct TPlaylist::TStore {
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    // Text is dropped from the middle by deletions; it is packed again once this much and more
    // than half of it is waste.
    static constexpr std::size_t kPackFrom = 1 << 20;

    struct TEntry {
        std::uint32_t folder;    // in folders, or kNone for a path without "/"
        std::uint32_t file;      // offset in text of the path's part after its last "/"
        std::uint32_t fileSize;  // bytes
        std::uint32_t name;      // offset in text of the shown name, or kNone: the file part
        std::uint32_t nameSize;
    };

    std::vector<TEntry> entries;
    std::string text;
    // A deque never moves its elements, so the map's keys can look into them.
    std::deque<std::string> folders;
    std::unordered_map<std::string_view, std::uint32_t> folderIndex;
    std::uint32_t lastFolder = kNone;  // consecutive entries mostly share their folder
    std::size_t waste = 0;

    std::uint32_t Put(std::string_view bytes) {
        if (text.size() + bytes.size() > kNone) {
            throw std::length_error("The playlist is full");
        }
        const auto at = static_cast<std::uint32_t>(text.size());
        text.append(bytes);
        return at;
    }

    std::uint32_t Folder(std::string_view folder) {
        if (lastFolder != kNone && folders[lastFolder] == folder) {
            return lastFolder;
        }
        const auto known = folderIndex.find(folder);
        if (known != folderIndex.end()) {
            lastFolder = known->second;
        } else {
            lastFolder = static_cast<std::uint32_t>(folders.size());
            folders.emplace_back(folder);
            folderIndex.emplace(folders.back(), lastFolder);
        }
        return lastFolder;
    }

    void AddPath(std::string_view path) {
        if (entries.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            throw std::length_error("The playlist is full");
        }
        const std::size_t slash = path.rfind('/');
        const std::string_view file =
            slash == std::string_view::npos ? path : path.substr(slash + 1);
        const std::uint32_t folder =
            slash == std::string_view::npos ? kNone : Folder(path.substr(0, slash));
        entries.push_back({folder, Put(file), static_cast<std::uint32_t>(file.size()), kNone, 0});
    }

    void SetName(std::size_t row, std::string_view name) {
        TEntry& entry = entries[row];
        if (name == File(entry)) {
            return;
        }
        entry.name = Put(name);
        entry.nameSize = static_cast<std::uint32_t>(name.size());
    }

    std::string_view File(const TEntry& entry) const {
        return std::string_view(text).substr(entry.file, entry.fileSize);
    }

    std::string_view Name(const TEntry& entry) const {
        return entry.name == kNone ? File(entry)
                                   : std::string_view(text).substr(entry.name, entry.nameSize);
    }

    // The full path's bytes, in out.
    void Path(const TEntry& entry, std::string& out) const {
        out.clear();
        if (entry.folder != kNone) {
            out.append(folders[entry.folder]).append(1, '/');
        }
        out.append(File(entry));
    }

    void Remove(std::size_t row) {
        waste += entries[row].fileSize + (entries[row].name == kNone ? 0 : entries[row].nameSize);
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(row));
        if (waste >= kPackFrom && waste > text.size() / 2) {
            Pack();
        }
    }

    void Pack() {
        TStore packed;
        packed.entries.reserve(entries.size());
        packed.text.reserve(text.size() - waste);
        for (const TEntry& entry : entries) {
            TEntry moved = entry;
            moved.folder = entry.folder == kNone ? kNone : packed.Folder(folders[entry.folder]);
            moved.file = packed.Put(File(entry));
            if (entry.name != kNone) {
                moved.name = packed.Put(Name(entry));
            }
            packed.entries.push_back(moved);
        }
        *this = std::move(packed);
    }
};

namespace {

// A name's bytes as a string: bytes that are not UTF-8 become lone surrogates, so the name still
// names the same file when it goes back to the system.
QString Text(std::string_view bytes) {
    return NameFromNative(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace

TPlaylist::TPlaylist(QObject* parent) : QObject(parent), store_(std::make_unique<TStore>()) {}

TPlaylist::~TPlaylist() = default;

QString TPlaylist::DisplayName(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// ---- entries ----------------------------------------------------------------------------------

int TPlaylist::Count() const {
    return static_cast<int>(store_->entries.size());
}

QString TPlaylist::Path(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    std::string path;
    store_->Path(store_->entries[static_cast<std::size_t>(index)], path);
    return Text(path);
}

QString TPlaylist::Name(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    return Text(store_->Name(store_->entries[static_cast<std::size_t>(index)]));
}

void TPlaylist::Append(const QString& path) {
    const QByteArray bytes = NativeOrText(path);
    const int row = Count();
    emit RowsAboutToBeInserted(row, row);
    store_->AddPath(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    emit RowsInserted();
}

void TPlaylist::Delete(int index) {
    if (index < 0 || index >= Count()) {
        return;
    }
    emit RowsAboutToBeRemoved(index, index);
    store_->Remove(static_cast<std::size_t>(index));
    emit RowsRemoved();
    // Past the end it would name no entry, and be saved so.
    if (current_ >= Count() && Count() > 0) {
        SetCurrentIndex(Count() - 1);
    }
}

void TPlaylist::Clear() {
    Replace(std::make_unique<TStore>());
    SetCurrentIndex(0);
}

bool TPlaylist::Exchange(int index1, int index2) {
    const int count = Count();
    if (index1 < 0 || index1 >= count || index2 < 0 || index2 >= count) {
        return false;
    }
    auto& entries = store_->entries;
    std::swap(entries[static_cast<std::size_t>(index1)], entries[static_cast<std::size_t>(index2)]);
    emit RowsExchanged(index1, index2);
    if (current_ == index1) {
        SetCurrentIndex(index2);
    } else if (current_ == index2) {
        SetCurrentIndex(index1);
    }
    return true;
}

void TPlaylist::Replace(std::unique_ptr<TStore> store) {
    emit AboutToReset();
    store_ = std::move(store);
    emit WasReset();
}

// ---- current entry, loop back, volume ---------------------------------------------------------

void TPlaylist::SetCurrentIndex(std::int32_t index) {
    if (index == current_) {
        return;
    }
    const std::int32_t previous = current_;
    current_ = index;
    emit CurrentIndexChanged(previous, current_);
}

void TPlaylist::SetLoopBack(bool loopBack) {
    if (loopBack == loopBack_) {
        return;
    }
    loopBack_ = loopBack;
    emit LoopBackChanged(loopBack_);
}

void TPlaylist::SetVolume(int volume) {
    volume = std::clamp(volume, 0, 1000);
    if (volume == volume_) {
        return;
    }
    volume_ = volume;
    emit VolumeChanged(volume_);
}

// ---- moves ------------------------------------------------------------------------------------

bool TPlaylist::Choose(int index) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    SetCurrentIndex(index);
    return true;
}

TPlaylist::TStep TPlaylist::Next() {
    return Move(1);
}

TPlaylist::TStep TPlaylist::Previous() {
    return Move(-1);
}

TPlaylist::TStep TPlaylist::Move(int delta) {
    const int count = Count();
    const std::int64_t target = std::int64_t{current_} + delta;
    if (target >= 0 && target < count) {
        SetCurrentIndex(static_cast<std::int32_t>(target));
        return TStep::Play;
    }
    if (loopBack_ && count > 0) {
        SetCurrentIndex(delta > 0 ? 0 : count - 1);
        return TStep::PlayAround;
    }
    // The last entry, not the first, whichever end was passed.
    SetCurrentIndex(std::max(count - 1, 0));
    return TStep::Stop;
}

// ---- state files ------------------------------------------------------------------------------

TPlaylist::TFiles TPlaylist::TFiles::In(const QString& folder) {
    return {folder + QStringLiteral("/PlayList.Txt"), folder + QStringLiteral("/KorviList.Txt"),
            folder + QStringLiteral("/KorviSetting.Korvi")};
}

void TPlaylist::Load(const TFiles& files) {
    auto store = std::make_unique<TStore>();
    TLineFile::Read(files.paths, [&store](std::string_view path) { store->AddPath(path); });
    try {
        std::size_t row = 0;
        TLineFile::Read(files.names, [&store, &row](std::string_view name) {
            if (row < store->entries.size()) {
                store->SetName(row++, name);
            }
        });
    } catch (...) {
        Replace(std::move(store));
        throw;
    }
    Replace(std::move(store));
    settings_.clear();
    QStringList settings;
    TLineFile::Read(files.settings, [&settings](std::string_view line) { settings << Text(line); });
    settings_ = std::move(settings);
}

QString TPlaylist::SettingsLine(int line) const {
    if (line < 0 || line >= settings_.size()) {
        throw EListError(line);
    }
    return settings_.at(line);
}

void TPlaylist::RestoreCurrentIndex() {
    if (Count() == 0) {
        return;
    }
    // An index past either end (the list was shortened since) restores as the nearest entry.
    SetCurrentIndex(std::clamp(StrToInt(SettingsLine(0)), 0, Count() - 1));
}

void TPlaylist::RestoreLoopBack() {
    SetLoopBack(SettingsLine(1) == QLatin1String("1"));
}

bool TPlaylist::RestoredPlaylistShown() const {
    return SettingsLine(2) == QLatin1String("1");
}

void TPlaylist::RestoreVolume() {
    SetVolume(StrToInt(SettingsLine(3)));
}

void TPlaylist::Save(const TFiles& files, bool playlistShown) const {
    const auto& entries = store_->entries;
    {
        TLineFile paths(files.paths);
        std::string path;
        for (const TStore::TEntry& entry : entries) {
            store_->Path(entry, path);
            paths.Add(path);
        }
        paths.Commit();
    }
    {
        TLineFile names(files.names);
        for (const TStore::TEntry& entry : entries) {
            names.Add(store_->Name(entry));
        }
        names.Commit();
    }
    TLineFile settings(files.settings);
    for (const std::string& line :
         {std::to_string(current_), std::string(loopBack_ ? "1" : "2"),
          std::string(playlistShown ? "1" : "2"), std::to_string(volume_)}) {
        settings.Add(line);
    }
    settings.Commit();
}
