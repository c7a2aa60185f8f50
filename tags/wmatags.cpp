#include "tags/wmatags.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "tags/textcodec.h"
#include "tags/unifile.h"

std::u16string CurrentWmaFile;

namespace {

constexpr std::size_t kShortTextLength = 255;
// Pictures can be large; none of the attributes read here comes near this.
constexpr std::uint32_t kMaxValueBytes = 16 * 1024 * 1024;
constexpr std::uint16_t kFileLevel = 0;

// The texts of a file, in the order they are written. Reading matches the names in any case.
struct TTextField {
    const char* Name;
    std::string TTagsData::*Short;
    std::u16string TTagsData::*Wide;
    bool Written;
};

constexpr std::array<TTextField, 13> kTextFields = {{
    {"WM/EncodedBy", &TTagsData::EncodedBy, nullptr, true},
    {"WMFSDKVersion", &TTagsData::SdkVersion, nullptr, false},
    {"WM/Genre", &TTagsData::Genre, nullptr, true},
    {"Author", &TTagsData::Author, nullptr, true},
    {"WM/Composer", &TTagsData::Composer, nullptr, true},
    {"Title", &TTagsData::Title, nullptr, true},
    {"WM/AlbumTitle", &TTagsData::AlbumTitle, nullptr, true},
    {"WM/Year", &TTagsData::Year, nullptr, true},
    {"WM/TrackNumber", &TTagsData::TrackNumber, nullptr, true},
    {"WM/URL", &TTagsData::Url, nullptr, true},
    {"Copyright", &TTagsData::Copyright, nullptr, true},
    {"Description", nullptr, &TTagsData::Description, true},
    {"WM/Lyrics", nullptr, &TTagsData::Lyrics, true},
}};

std::string UpperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return text;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    std::array<char, 128> buffer{};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    va_end(arguments);
    return buffer.data();
}

void Show(const TWmaHost& host, TWmaMessageKind kind, const std::string& text) {
    if (host.ShowMessage) {
        host.ShowMessage(kind, text);
    }
}

// The module for the length of one read or write.
class TWmvCoreModule {
public:
    explicit TWmvCoreModule(const std::string& fileName) {
        // A name without a slash would send dlopen searching the system's folders.
        if (fileName.find('/') == std::string::npos) {
            return;
        }
        handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) {
            create_ = reinterpret_cast<WMCreateEditorProc>(dlsym(handle_, "WMCreateEditor"));
            if (create_ == nullptr) {
                // A module without the export is no use: count it as not loaded.
                dlclose(handle_);
                handle_ = nullptr;
            }
        }
    }
    ~TWmvCoreModule() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    TWmvCoreModule(const TWmvCoreModule&) = delete;
    TWmvCoreModule& operator=(const TWmvCoreModule&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    // What the user is told when the module is not there: its (null) handle in hexadecimal.
    std::string FailureText() const {
        return Format("Could not Load Library ($%jX).", reinterpret_cast<std::uintmax_t>(handle_));
    }
    WMCreateEditorProc Create() const { return create_; }

private:
    void* handle_ = nullptr;
    WMCreateEditorProc create_ = nullptr;
};

struct TEditorCloser {
    void operator()(IWMMetadataEditor* editor) const {
        editor->Close();
        editor->Release();
    }
};
struct THeaderReleaser {
    void operator()(IWMHeaderInfo3* header) const { header->Release(); }
};
using TEditor = std::unique_ptr<IWMMetadataEditor, TEditorCloser>;
using THeader = std::unique_ptr<IWMHeaderInfo3, THeaderReleaser>;

void RequireFile(const std::u16string& fileName) {
    if (!UniFileExists(fileName)) {
        throw EWmaTagsError("The file\r\n" + Utf16ToUtf8(fileName) + "\r\ndoes'nt exists!");
    }
}

TEditor CreateEditor(const TWmvCoreModule& module) {
    IWMMetadataEditor* editor = nullptr;
    WMHRESULT result = module.Create()(&editor);
    if (!WMFailed(result) && editor == nullptr) {
        result = WM_E_FAIL;
    }
    if (WMFailed(result)) {
        throw EWmaTagsError(
            Format("Could not create Metadata Editor ($%X).", static_cast<unsigned int>(result)));
    }
    return TEditor(editor);
}

THeader QueryHeader(IWMMetadataEditor& editor) {
    void* header = nullptr;
    WMHRESULT result = editor.QueryInterface(&IID_IWMHeaderInfo3, &header);
    if (!WMFailed(result) && header == nullptr) {
        result = WM_E_NOINTERFACE;
    }
    if (WMFailed(result)) {
        throw EWmaTagsError(
            Format("Could not QI for IWMHeaderInfo3 ($%X).", static_cast<unsigned int>(result)));
    }
    return THeader(static_cast<IWMHeaderInfo3*>(header));
}

std::u16string TextValue(const std::vector<std::uint8_t>& value) {
    std::u16string text(value.size() / 2, u'\0');
    std::memcpy(text.data(), value.data(), text.size() * sizeof(char16_t));
    text.resize(std::char_traits<char16_t>::length(text.c_str()));  // up to the terminating zero
    return text;
}

template <typename T>
bool NumberValue(const std::vector<std::uint8_t>& value, T& number) {
    if (value.size() < sizeof number) {
        return false;
    }
    std::memcpy(&number, value.data(), sizeof number);
    return true;
}

void StoreText(const std::string& name, const std::u16string& text, TTagsData& tags) {
    for (const TTextField& field : kTextFields) {
        if (name == UpperAscii(field.Name)) {
            if (field.Short != nullptr) {
                tags.*field.Short = Utf8Left(Utf16ToUtf8(text), kShortTextLength);
            } else {
                tags.*field.Wide = text;
            }
        }
    }
}

// An attribute's name (UTF-8), type, language and value, in the two calls the interface wants.
bool ReadRaw(IWMHeaderInfo3& header, std::uint16_t stream, std::uint16_t index, std::string& name,
             WMT_ATTR_DATATYPE& type, std::uint16_t& language, std::vector<std::uint8_t>& value) {
    std::uint16_t nameLength = 0;
    std::uint32_t valueLength = 0;
    if (WMFailed(header.GetAttributeByIndexEx(stream, index, nullptr, &nameLength, &type, &language,
                                              nullptr, &valueLength)) ||
        valueLength > kMaxValueBytes) {
        return false;
    }
    std::u16string wide(nameLength, u'\0');
    value.assign(valueLength, 0);
    if (WMFailed(header.GetAttributeByIndexEx(stream, index, wide.data(), &nameLength, &type,
                                              &language, value.data(), &valueLength))) {
        return false;
    }
    wide.resize(std::char_traits<char16_t>::length(wide.c_str()));
    name = Utf16ToUtf8(wide);
    return true;
}

// One attribute into tags, when its name and type are among the ones kept; the last one of a
// name wins.
void ReadAttribute(IWMHeaderInfo3& header, std::uint16_t index, TTagsData& tags) {
    std::string name;
    WMT_ATTR_DATATYPE type = WMT_TYPE_BINARY;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> value;
    if (!ReadRaw(header, WM_ALL_STREAMS, index, name, type, language, value)) {
        return;
    }
    const std::string key = UpperAscii(name);

    std::uint32_t dword = 0;
    std::uint64_t qword = 0;
    switch (type) {
        case WMT_TYPE_STRING:
            StoreText(key, TextValue(value), tags);
            break;
        case WMT_TYPE_BOOL:
            if (key == "ISVBR" && !value.empty()) {
                tags.IsVbr = value[0] != 0;
            }
            break;
        case WMT_TYPE_DWORD:
            if (key == "BITRATE" && NumberValue(value, dword)) {
                tags.Bitrate = dword;
            }
            break;
        case WMT_TYPE_QWORD:
            if (key == "FILESIZE" && NumberValue(value, qword)) {
                tags.FileSize = static_cast<std::int64_t>(qword);
            } else if (key == "DURATION" && NumberValue(value, qword)) {
                // 100-ns units
                const std::int64_t ms = static_cast<std::int64_t>(qword) / 10000;
                tags.DurationMs = ms < 0 ? -ms : ms;
            }
            break;
        default:
            break;
    }
}

// Indices of the file-level attributes of that name, in ascending order. The write works on
// stream 0, so the search looks there too: an index of another stream would not fit it.
bool FindAttributeIndices(IWMHeaderInfo3& header, const std::u16string& name,
                          std::vector<std::uint16_t>& indices) {
    indices.clear();
    std::uint16_t count = 0;
    if (WMFailed(header.GetAttributeIndices(kFileLevel, name.c_str(), nullptr, nullptr, &count))) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    indices.resize(count);
    if (WMFailed(header.GetAttributeIndices(kFileLevel, name.c_str(), nullptr, indices.data(),
                                            &count))) {
        indices.clear();
        return false;
    }
    indices.resize(std::min<std::size_t>(count, indices.size()));
    std::sort(indices.begin(), indices.end());
    return true;
}

std::u16string WrittenText(const TTagsData& tags, const TTextField& field) {
    if (field.Short != nullptr) {
        return Utf8ToUtf16(tags.*field.Short);
    }
    // Through the system code page and back, as the dialog's memo would hand it over.
    return Utf8ToUtf16(Utf16ToUtf8(tags.*field.Wide));
}

// One file-level attribute as the write sees it.
struct TStored {
    std::uint16_t Index = 0;
    std::string Name;  // UTF-8, as spelt in the file
    WMT_ATTR_DATATYPE Type = WMT_TYPE_BINARY;
    std::uint16_t Language = 0;
    std::u16string Text;  // a STRING's value
};

// The file-level attributes named like the field, in any case, in index order.
bool StoredAttributes(IWMHeaderInfo3& header, const TTextField& field,
                      std::vector<TStored>& stored) {
    stored.clear();
    std::vector<std::uint16_t> indices;
    if (!FindAttributeIndices(header, Utf8ToUtf16(field.Name), indices)) {
        return false;
    }
    for (const std::uint16_t index : indices) {
        TStored attribute;
        std::vector<std::uint8_t> value;
        attribute.Index = index;
        if (!ReadRaw(header, kFileLevel, index, attribute.Name, attribute.Type, attribute.Language,
                     value)) {
            return false;
        }
        if (attribute.Type == WMT_TYPE_STRING) {
            attribute.Text = TextValue(value);
        }
        stored.push_back(std::move(attribute));
    }
    return true;
}

// What the record holds for a value read from the file: short texts are cut to 255 characters.
std::u16string AsRead(const TTextField& field, const std::u16string& value) {
    TTagsData tags;
    if (field.Short != nullptr) {
        tags.*field.Short = Utf8Left(Utf16ToUtf8(value), kShortTextLength);
    } else {
        tags.*field.Wide = value;
    }
    return WrittenText(tags, field);
}

// Changes the field from the value the record was read with (shown) to value, and nothing else
// of the file. Every text of the field that reads as `shown` is a copy of what the user edited
// (some writers keep one in the content description and one among the other attributes): the
// copies under the name as written take the new value, and a copy under another spelling is
// folded into them, since it would show the old value again. Values that did not read as shown
// (the other values of a field that has several) stay as they are. An emptied field loses its
// texts, and only those.
bool EditAttribute(IWMHeaderInfo3& header, const TTextField& field, const std::u16string& shown,
                   const std::u16string& value) {
    std::vector<TStored> stored;
    if (!StoredAttributes(header, field, stored)) {
        return false;
    }
    const auto isText = [](const TStored& a) { return a.Type == WMT_TYPE_STRING; };
    const auto isCopy = [&](const TStored& a) {
        return isText(a) && AsRead(field, a.Text) == shown;
    };
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(value.data());
    const auto length = static_cast<std::uint32_t>(value.size() * sizeof(char16_t));
    const auto modify = [&](const TStored& a) {
        return !WMFailed(header.ModifyAttribute(kFileLevel, a.Index, WMT_TYPE_STRING, a.Language,
                                                bytes, length));
    };

    std::vector<std::uint16_t> deleted;
    const auto firstCopy = std::find_if(stored.begin(), stored.end(), isCopy);
    if (value.empty()) {
        for (const TStored& a : stored) {
            if (isText(a)) {
                deleted.push_back(a.Index);
            }
        }
    } else if (firstCopy != stored.end()) {
        const bool asWritten = std::any_of(stored.begin(), stored.end(), [&](const TStored& a) {
            return isCopy(a) && a.Name == field.Name;
        });
        const std::string keptName = asWritten ? std::string(field.Name) : firstCopy->Name;
        for (const TStored& a : stored) {
            if (!isCopy(a)) {
                continue;
            }
            if (a.Name != keptName) {
                deleted.push_back(a.Index);
            } else if (!modify(a)) {
                return false;
            }
        }
    } else {
        // Nothing was shown: a value of another type (a track number stored as a number) gives
        // way to the text typed in its place; otherwise the text is added.
        const auto other = std::find_if(stored.begin(), stored.end(), [&](const TStored& a) {
            return !isText(a) && a.Name == field.Name;
        });
        if (other != stored.end()) {
            if (!modify(*other)) {
                return false;
            }
        } else {
            const std::u16string name = Utf8ToUtf16(field.Name);
            std::uint16_t added = 0;
            if (WMFailed(header.AddAttribute(kFileLevel, name.c_str(), &added, WMT_TYPE_STRING, 0,
                                             bytes, length))) {
                return false;
            }
        }
    }
    // From the back, so the indices still to go stay valid.
    std::sort(deleted.rbegin(), deleted.rend());
    for (const std::uint16_t index : deleted) {
        if (WMFailed(header.DeleteAttribute(kFileLevel, index))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string WmaModuleFile() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return (program.parent_path() / WMVCORE_MODULE_NAME).string();
}

void ClearTags(TTagsData& tags) {
    tags = TTagsData{};
}

bool ReadWmaTags(const std::u16string& fileName, TTagsData& tags, const TWmaHost& host) {
    const TWmvCoreModule module(host.ModuleFile);
    if (!module.Loaded()) {
        Show(host, TWmaMessageKind::Plain, module.FailureText());
        return false;
    }
    ClearTags(tags);
    RequireFile(fileName);
    const TEditor editor = CreateEditor(module);
    // A file the module cannot read is a failed read, not a file without attributes.
    if (WMFailed(editor->Open(fileName.c_str()))) {
        return false;
    }
    const THeader header = QueryHeader(*editor);
    std::uint16_t count = 0;
    if (WMFailed(header->GetAttributeCountEx(WM_ALL_STREAMS, &count))) {
        return false;
    }
    for (std::uint16_t index = 0; index < count; ++index) {
        ReadAttribute(*header, index, tags);
    }
    return true;
}

bool WriteWmaTags(const std::u16string& fileName, const TTagsData& tags, const TWmaHost& host) {
    RequireFile(fileName);
    const TWmvCoreModule module(host.ModuleFile);
    if (!module.Loaded()) {
        Show(host, TWmaMessageKind::Plain, module.FailureText());
        return false;
    }
    const TEditor editor = CreateEditor(module);
    const THeader header = QueryHeader(*editor);
    if (WMFailed(editor->Open(fileName.c_str()))) {
        return false;
    }
    // Only a field whose value differs from what a read of the file gives now is written, so
    // every attribute the user did not change stays as it was, whole: all its values, its type,
    // its full length.
    TTagsData current;
    std::uint16_t count = 0;
    if (WMFailed(header->GetAttributeCountEx(WM_ALL_STREAMS, &count))) {
        return false;
    }
    for (std::uint16_t index = 0; index < count; ++index) {
        ReadAttribute(*header, index, current);
    }
    bool changed = false;
    // A refused change ends the write before Flush, so the file stays as it was.
    for (const TTextField& field : kTextFields) {
        const std::u16string shown = WrittenText(current, field);
        const std::u16string value = WrittenText(tags, field);
        if (!field.Written || value == shown) {
            continue;
        }
        if (!EditAttribute(*header, field, shown, value)) {
            return false;
        }
        changed = true;
    }
    return !changed || !WMFailed(editor->Flush());
}

std::int32_t FindAttributeIndex(IWMHeaderInfo3& header, const std::u16string& name) {
    std::vector<std::uint16_t> indices;
    if (!FindAttributeIndices(header, name, indices) || indices.empty()) {
        return -1;
    }
    return indices.front();
}

bool LoadWmaTags(const std::string& fileName, TTagsData& tags, const TWmaHost& host) {
    std::u16string name = NativeToUtf16(fileName);
    if (!UniFileExists(name)) {
        return false;
    }
    CurrentWmaFile = std::move(name);
    const bool loaded = ReadWmaTags(CurrentWmaFile, tags, host);
    if (!loaded) {
        Show(host, TWmaMessageKind::Error, "Sorry ,Could not load the WMA Tag");
    }
    return loaded;
}

bool SaveWmaTags(const TTagsData& tags, const TWmaHost& host) {
    const bool saved = WriteWmaTags(CurrentWmaFile, tags, host);
    if (!saved) {
        Show(host, TWmaMessageKind::Error, "Sorry ,Could not save the WMA-Tag");
    }
    return saved;
}

std::string FormatMsDuration(bool showMs, std::int64_t ms) {
    const long long hours = ms / 3600000;
    const long long minutes = (ms % 3600000) / 60000;
    const long long seconds = (ms % 60000) / 1000;
    const long long millis = ms % 1000;
    const long long allMinutes = ms / 60000;
    if (ms >= 3600000) {
        return showMs ? Format("%lld:%2.2lld:%2.2lld.%3.3lld", hours, minutes, seconds, millis)
                      : Format("%lld:%2.2lld:%2.2lld", hours, minutes, seconds);
    }
    return showMs ? Format("%lld:%2.2lld.%3.3lld", allMinutes, seconds, millis)
                  : Format("%lld:%2.2lld", allMinutes, seconds);
}
