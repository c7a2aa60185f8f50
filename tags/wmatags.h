#pragma once

// Descriptive attributes and stream figures of WMA files, read and written through the
// media-format module (libwmvcore.so, see platform/wmvcore/wmvcore.h). The module is loaded from
// the program's folder for every read and every write and unloaded after it; no editor
// outlives the call.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/wmvcore/wmvcore.h"

// One file's attributes. Short texts are UTF-8 (the system code page) of at most 255
// characters; longer texts are cut when stored. Description and Lyrics keep their full text.
struct TTagsData {
    std::string EncodedBy;
    std::string SdkVersion;  // read only
    std::string Genre;
    std::string Author;
    std::string Title;
    std::string AlbumTitle;
    std::string Composer;
    std::string Url;
    std::string TrackNumber;
    std::string Year;
    std::string Copyright;
    std::u16string Description;
    std::u16string Lyrics;
    std::uint32_t Bitrate = 0;    // bit/s, read only
    std::int64_t DurationMs = 0;  // read only
    std::int64_t FileSize = 0;    // bytes, read only
    bool IsVbr = false;           // read only
};

// Raised to the calling window: a missing file, an editor the module would not create, or an
// editor without header access.
class EWmaTagsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Plain: a message box with the application title and OK. Error: the same with an error icon.
enum class TWmaMessageKind { Plain, Error };

// The full path of libwmvcore.so in the folder of the running program.
std::string WmaModuleFile();

// What the tag access needs from the program: where its messages go (the dialogs show them as
// message boxes through the application object) and which module to load.
struct TWmaHost {
    std::function<void(TWmaMessageKind kind, const std::string& text)> ShowMessage;
    std::string ModuleFile = WmaModuleFile();
};

// The file whose attributes LoadWmaTags loaded last; SaveWmaTags writes to it.
extern std::u16string CurrentWmaFile;

// Empties every text and zeroes the figures.
void ClearTags(TTagsData& tags);

// Fills tags from the file. False, after the plain message "Could not Load Library ($0).", when
// the module cannot be loaded, and false when the file is not one the module can read. Raises
// EWmaTagsError for a missing file or a module that fails; tags then keep what was read.
bool ReadWmaTags(const std::u16string& fileName, TTagsData& tags, const TWmaHost& host);

// Writes the twelve editable texts; an empty text removes its attribute. Nothing is written
// unless every change was accepted. Returns and raises as ReadWmaTags.
bool WriteWmaTags(const std::u16string& fileName, const TTagsData& tags, const TWmaHost& host);

// Index of the first file-level attribute of that name (any case), or -1.
std::int32_t FindAttributeIndex(IWMHeaderInfo3& header, const std::u16string& name);

// Reads the file (the name's bytes as the kernel takes them) and makes it CurrentWmaFile. A
// missing file gives false and no message; a failed read shows the error "Sorry ,Could not load
// the WMA Tag".
bool LoadWmaTags(const std::string& fileName, TTagsData& tags, const TWmaHost& host);

// Writes tags to CurrentWmaFile; a failed write shows the error "Sorry ,Could not save the
// WMA-Tag".
bool SaveWmaTags(const TTagsData& tags, const TWmaHost& host);

// "m:ss" or "h:mm:ss", with ".mmm" appended when showMs; hours only from one hour up.
std::string FormatMsDuration(bool showMs, std::int64_t ms);
