#include "platform/wmvcore/tasfeditor.h"

#include "analysis/tasfheader.h"
#include "tags/bytes.h"
#include "tags/tfilesave.h"

#include <taglib/asftag.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <iterator>
#include <new>
#include <string>

namespace {

constexpr std::array<const char*, 3> kFigureNames = {"Duration", "Bitrate", "FileSize"};
constexpr std::array<const char*, 5> kContentNames = {"Title", "Author", "Copyright", "Description",
                                                      "Rating"};
constexpr int kMaxStream = 127;  // ASF stream numbers are 7 bits
constexpr std::size_t kMaxNameUnits = 0x7FFF;

// Runs an interface method so that nothing thrown inside leaves the module.
template <typename F>
WMHRESULT Guard(F body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return WM_E_OUTOFMEMORY;
    } catch (...) {
        return WM_E_FAIL;
    }
}

// Media bytes are compared in blocks of this size.
constexpr std::int64_t kCompareBlock = std::int64_t{1} << 20;

// The size of the Header Object at the start of the file; 0 when it is not ASF.
std::int64_t HeaderSize(TTntFileStream& file) {
    const std::int64_t size = file.Size();
    TAsfHeader header(
        [&file](std::uint64_t offset, std::span<std::uint8_t> dest) {
            const std::int64_t got =
                file.ReadAt(static_cast<std::int64_t>(offset), dest.data(), std::ssize(dest));
            return static_cast<std::size_t>(std::max<std::int64_t>(got, 0));
        },
        static_cast<std::uint64_t>(std::max<std::int64_t>(size, 0)));
    if (header.Open() != TAsfHeader::TOpen::Found ||
        header.Size() > static_cast<std::uint64_t>(size)) {
        return 0;
    }
    return static_cast<std::int64_t>(header.Size());
}

// Whether the copy holds a header and then, byte for byte, the media the file holds after its
// own: TagLib's writes fail silently (a full disk cuts the data it moves behind a grown header),
// so only the bytes on disk tell a whole copy from a cut one.
bool MediaKept(TTntFileStream& file, TTntFileStream& copy) {
    const std::int64_t oldHeader = HeaderSize(file);
    const std::int64_t newHeader = HeaderSize(copy);
    const std::int64_t media = file.Size() - oldHeader;
    if (oldHeader == 0 || newHeader == 0 || media < 0 || copy.Size() != newHeader + media) {
        return false;
    }
    Bytes was(static_cast<std::size_t>(std::min(media, kCompareBlock)));
    Bytes is(was.size());
    for (std::int64_t done = 0; done < media;) {
        const std::int64_t n = std::min(media - done, kCompareBlock);
        if (file.ReadAt(oldHeader + done, was.data(), n) != n ||
            copy.ReadAt(newHeader + done, is.data(), n) != n ||
            !std::equal(was.begin(), was.begin() + n, is.begin())) {
            return false;
        }
        done += n;
    }
    return true;
}

// Where TagLib's save puts the values of one name: the first that fits into the Extended
// Content Description, the first of a stream into the Metadata object, the rest into the Metadata
// Library. A reader then lists them object by object, so a name with several values comes back
// in another order unless the values are handed to the save in the order that undoes this.
enum class TPlace { Content, Metadata, Library };

bool Small(const TagLib::ASF::Attribute& a) {
    return a.type() != TagLib::ASF::Attribute::GuidType && a.dataSize() <= 65535 &&
           a.language() == 0;
}
bool FitsContent(const TagLib::ASF::Attribute& a) {
    return Small(a) && a.stream() == 0;
}
bool FitsMetadata(const TagLib::ASF::Attribute& a) {
    return Small(a) && a.stream() != 0;
}

// The order of the three places in the file; an object the header lacks is added at the end,
// as TagLib adds it.
std::vector<TPlace> PlaceOrder(const TAsfFileProperties& header) {
    constexpr std::uint64_t kAdded = ~std::uint64_t{0};
    const auto at = [&](std::uint64_t position, std::uint64_t order) {
        return position != 0 ? position : kAdded - 2 + order;
    };
    std::vector<std::pair<std::uint64_t, TPlace>> top = {
        {at(header.ExtendedContentAt, 0), TPlace::Content},
        {at(header.HeaderExtensionAt, 1), TPlace::Metadata}};
    std::vector<std::pair<std::uint64_t, TPlace>> inner = {
        {at(header.MetadataAt, 0), TPlace::Metadata},
        {at(header.MetadataLibraryAt, 1), TPlace::Library}};
    std::sort(top.begin(), top.end());
    std::sort(inner.begin(), inner.end());
    std::vector<TPlace> order;
    for (const auto& [position, place] : top) {
        if (place == TPlace::Content) {
            order.push_back(place);
        } else {
            order.push_back(inner[0].second);
            order.push_back(inner[1].second);
        }
    }
    return order;
}

// The order to hand values to TagLib's save so that a reader lists them as `read`; `read` itself
// when no order can.
TagLib::ASF::AttributeList SaveOrder(const TagLib::ASF::AttributeList& read,
                                     const std::vector<TPlace>& places) {
    if (read.size() < 2) {
        return read;
    }
    const std::vector<TagLib::ASF::Attribute> values(read.begin(), read.end());
    const bool content = std::any_of(values.begin(), values.end(), FitsContent);
    const bool metadata = std::any_of(values.begin(), values.end(), FitsMetadata);
    const std::size_t library = values.size() - (content ? 1 : 0) - (metadata ? 1 : 0);
    TagLib::ASF::AttributeList first;
    TagLib::ASF::AttributeList rest;
    std::size_t next = 0;
    for (const TPlace place : places) {
        if (place == TPlace::Content && content) {
            if (!FitsContent(values[next])) {
                return read;
            }
            first.prepend(values[next++]);
        } else if (place == TPlace::Metadata && metadata) {
            if (!FitsMetadata(values[next])) {
                return read;
            }
            first.append(values[next++]);
        } else if (place == TPlace::Library) {
            for (std::size_t i = 0; i < library; ++i) {
                rest.append(values[next++]);
            }
        }
    }
    // The Content value first and the Metadata one next take their places; the rest follow
    // into the library in their order.
    first.append(rest);
    return first;
}

// The texts and attributes of from, and no others, in to, handed over so that a reader of the
// saved file lists them as from has them.
void CopyTag(const TagLib::ASF::Tag& from, TagLib::ASF::Tag& to, const TAsfFileProperties& header) {
    to.setTitle(from.title());
    to.setArtist(from.artist());
    to.setCopyright(from.copyright());
    to.setComment(from.comment());
    to.setRating(from.rating());
    const TagLib::ASF::AttributeListMap old = to.attributeListMap();
    for (const auto& [name, list] : old) {
        if (!from.contains(name)) {
            to.removeItem(name);
        }
    }
    const std::vector<TPlace> places = PlaceOrder(header);
    for (const auto& [name, list] : from.attributeListMap()) {
        to.setAttribute(name, SaveOrder(list, places));
    }
}

TagLib::String FromUtf16(const char16_t* text, std::size_t units) {
    TagLib::ByteVector bytes;
    for (std::size_t i = 0; i < units && text[i] != 0; ++i) {
        bytes.append(static_cast<char>(text[i] & 0xFF));
        bytes.append(static_cast<char>(text[i] >> 8));
    }
    return TagLib::String(bytes, TagLib::String::UTF16LE);
}

// A zero-terminated name, or an empty one when it is missing or too long.
TagLib::String NameFromUtf16(const char16_t* name) {
    if (name == nullptr) {
        return {};
    }
    std::size_t units = 0;
    while (name[units] != 0) {
        if (++units > kMaxNameUnits) {
            return {};
        }
    }
    return FromUtf16(name, units);
}

// UTF-16 units of text with the terminating zero.
std::vector<char16_t> ToUtf16(const TagLib::String& text) {
    const TagLib::ByteVector bytes = text.data(TagLib::String::UTF16LE);
    std::vector<char16_t> units;
    units.reserve(bytes.size() / 2 + 1);
    for (unsigned int i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                              static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    }
    units.push_back(0);
    return units;
}

TagLib::ByteVector StringValue(const TagLib::String& text) {
    const std::vector<char16_t> units = ToUtf16(text);
    return TagLib::ByteVector(reinterpret_cast<const char*>(units.data()),
                              static_cast<unsigned int>(units.size() * sizeof(char16_t)));
}

template <typename T>
TagLib::ByteVector HostValue(T value) {
    return TagLib::ByteVector(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T FromHost(const std::uint8_t* value) {
    T result;
    std::memcpy(&result, value, sizeof result);
    return result;
}

bool SameName(const TagLib::String& a, const TagLib::String& b) {
    return a.upper() == b.upper();
}

// Our data type by TagLib's attribute type, which numbers them in another order.
constexpr std::array<WMT_ATTR_DATATYPE, 7> kTypeOfTagLibType = {
    WMT_TYPE_STRING,  // UnicodeType
    WMT_TYPE_BINARY,  // BytesType
    WMT_TYPE_BOOL,    // BoolType
    WMT_TYPE_DWORD,   // DWordType
    WMT_TYPE_QWORD,   // QWordType
    WMT_TYPE_WORD,    // WordType
    WMT_TYPE_GUID,    // GuidType
};

WMT_ATTR_DATATYPE TypeOf(const TagLib::ASF::Attribute& attribute) {
    const auto type = static_cast<std::size_t>(attribute.type());
    return type < kTypeOfTagLibType.size() ? kTypeOfTagLibType[type] : WMT_TYPE_BINARY;
}

TagLib::ByteVector ValueOf(const TagLib::ASF::Attribute& attribute) {
    switch (attribute.type()) {
        case TagLib::ASF::Attribute::UnicodeType:
            return StringValue(attribute.toString());
        case TagLib::ASF::Attribute::BoolType:
            return HostValue<std::uint32_t>(attribute.toBool() != 0 ? 1 : 0);
        case TagLib::ASF::Attribute::DWordType:
            return HostValue<std::uint32_t>(attribute.toUInt());
        case TagLib::ASF::Attribute::QWordType:
            return HostValue<std::uint64_t>(attribute.toULongLong());
        case TagLib::ASF::Attribute::WordType:
            return HostValue<std::uint16_t>(attribute.toUShort());
        default:
            return attribute.toByteVector();
    }
}

// A number of the host's byte order, T wide, as the TagLib attribute of type Stored.
template <typename T, typename Stored>
bool NumberAttribute(const std::uint8_t* value, std::uint32_t length,
                     TagLib::ASF::Attribute& attribute) {
    if (length < sizeof(T)) {
        return false;
    }
    attribute = TagLib::ASF::Attribute(static_cast<Stored>(FromHost<T>(value)));
    return true;
}

// The value a caller hands in, as TagLib stores it; false when it does not fit the type.
bool MakeAttribute(WMT_ATTR_DATATYPE type, const std::uint8_t* value, std::uint32_t length,
                   TagLib::ASF::Attribute& attribute) {
    if (value == nullptr && length != 0) {
        return false;
    }
    switch (type) {
        case WMT_TYPE_STRING: {
            std::vector<char16_t> units(length / 2);
            if (!units.empty()) {
                std::memcpy(units.data(), value, units.size() * sizeof(char16_t));
            }
            attribute = TagLib::ASF::Attribute(FromUtf16(units.data(), units.size()));
            return true;
        }
        case WMT_TYPE_BINARY:
            attribute = TagLib::ASF::Attribute(
                TagLib::ByteVector(reinterpret_cast<const char*>(value), length));
            return true;
        case WMT_TYPE_BOOL:
            return NumberAttribute<std::uint32_t, bool>(value, length, attribute);
        case WMT_TYPE_DWORD:
            return NumberAttribute<std::uint32_t, unsigned int>(value, length, attribute);
        case WMT_TYPE_QWORD:
            return NumberAttribute<std::uint64_t, unsigned long long>(value, length, attribute);
        case WMT_TYPE_WORD:
            return NumberAttribute<std::uint16_t, unsigned short>(value, length, attribute);
        default:
            return false;  // TagLib cannot write a GUID attribute
    }
}

}  // namespace

TAsfEditor::TAsfEditor() = default;
TAsfEditor::~TAsfEditor() = default;

WMHRESULT TAsfEditor::QueryInterface(const WMGUID* iid, void** object) {
    if (object == nullptr) {
        return WM_E_INVALIDARG;
    }
    *object = nullptr;
    if (iid == nullptr) {
        return WM_E_INVALIDARG;
    }
    if (*iid == IID_IWMUnknown || *iid == IID_IWMMetadataEditor) {
        *object = static_cast<IWMMetadataEditor*>(this);
    } else if (*iid == IID_IWMHeaderInfo3) {
        *object = static_cast<IWMHeaderInfo3*>(this);
    } else {
        return WM_E_NOINTERFACE;
    }
    AddRef();
    return WM_S_OK;
}

std::uint32_t TAsfEditor::AddRef() {
    return ++references_;
}

std::uint32_t TAsfEditor::Release() {
    const std::uint32_t left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

WMHRESULT TAsfEditor::Open(const char16_t* fileName) {
    return Guard([&] {
        if (fileName == nullptr) {
            return WM_E_INVALIDARG;
        }
        if (file_) {
            return WM_E_UNEXPECTED;
        }
        const std::u16string name(fileName);
        std::string path;
        if (!UniFileExists(name) || !UniNativeName(name, path)) {
            return WM_E_FILENOTFOUND;
        }
        // Read as the tag readers read: sharing only with other readers, so no save of this
        // file layer is halfway while the header comes in.
        std::unique_ptr<TTntFileStream> reading;
        try {
            reading = std::make_unique<TTntFileStream>(name, fmShareDenyWrite);
        } catch (const std::exception&) {
            return WM_E_ACCESSDENIED;
        }
        // Our own walk checks the object sizes TagLib relies on when it saves the header.
        if (!properties_.Read(path)) {
            return WM_E_BADFORMAT;
        }
        auto file = std::make_unique<TagLib::ASF::File>(path.c_str(), true,
                                                        TagLib::AudioProperties::Average);
        if (!file->isValid() || file->tag() == nullptr) {
            properties_ = {};
            return WM_E_BADFORMAT;
        }
        version_ = UniFileVersion(reading->Handle());
        fileSize_ = static_cast<std::uint64_t>(std::max<std::int64_t>(reading->Size(), 0));
        file_ = std::move(file);
        fileName_ = name;
        Changed();
        return WM_S_OK;
    });
}

WMHRESULT TAsfEditor::Close() {
    file_.reset();
    fileName_.clear();
    version_ = {};
    Changed();
    properties_ = {};
    fileSize_ = 0;
    return WM_S_OK;
}

WMHRESULT TAsfEditor::Flush() {
    return Guard([&] {
        if (!file_) {
            return WM_E_UNEXPECTED;
        }
        if (file_->readOnly()) {
            return WM_E_ACCESSDENIED;
        }
        return SaveThroughCopy() ? WM_S_OK : WM_E_WRITEFAULT;
    });
}

bool TAsfEditor::SaveThroughCopy() {
    // TagLib rewrites the header in place, and a program killed during that leaves a torn file;
    // it writes into a copy instead. Every way out before Commit removes the copy and leaves the
    // file as it was.
    try {
        TFileSave save(fileName_, TFileSave::TWay::ThroughCopy);
        // Another program may have saved the file since it was read; writing this header over
        // it would lose that edit.
        if (UniFileVersion(save.File().Handle()) != version_) {
            return false;
        }
        save.CopyRest(0);
        std::string copyName;
        if (!UniNativeName(save.CopyName(), copyName)) {
            return false;
        }
        {
            TagLib::ASF::File copy(copyName.c_str(), false);
            if (!copy.isValid() || copy.tag() == nullptr) {
                return false;
            }
            CopyTag(*file_->tag(), *copy.tag(), properties_);
            if (!copy.save()) {
                return false;
            }
        }
        TAsfFileProperties written;
        if (!MediaKept(save.File(), save.Copy()) || !written.Read(copyName)) {
            return false;
        }
        save.Commit();
        properties_ = written;
        version_ = UniFileVersion(save.Copy().Handle());
        fileSize_ = static_cast<std::uint64_t>(std::max<std::int64_t>(save.Copy().Size(), 0));
    } catch (const std::exception&) {
        return false;
    }
    Changed();
    return true;
}

void TAsfEditor::AddFigures(std::vector<TEntry>& entries) const {
    constexpr std::array<WMT_ATTR_DATATYPE, 3> types = {WMT_TYPE_QWORD, WMT_TYPE_DWORD,
                                                        WMT_TYPE_QWORD};
    for (std::size_t i = 0; i < kFigureNames.size(); ++i) {
        entries.push_back({kFigureNames[i], TSource::Figure, static_cast<int>(i), 0, 0, types[i]});
    }
}

void TAsfEditor::AddContent(std::vector<TEntry>& entries) const {
    for (int field = 0; field < cfCount; ++field) {
        if (!ContentText(field).isEmpty()) {
            entries.push_back(
                {kContentNames[field], TSource::Content, field, 0, 0, WMT_TYPE_STRING});
        }
    }
}

void TAsfEditor::AddExtended(std::vector<TEntry>& entries) const {
    const auto& map = file_->tag()->attributeListMap();
    // File-level attributes first, so their indices are the same in every view.
    for (const bool fileLevel : {true, false}) {
        for (const auto& [name, list] : map) {
            int place = 0;
            for (const auto& attribute : list) {
                if ((attribute.stream() == 0) == fileLevel) {
                    entries.push_back({name, TSource::Extended, place, attribute.stream(),
                                       attribute.language(), TypeOf(attribute), &attribute});
                }
                ++place;
            }
        }
    }
}

const std::vector<TAsfEditor::TEntry>& TAsfEditor::Entries(std::uint16_t stream) const {
    const auto kept = entries_.find(stream);
    if (kept != entries_.end()) {
        return kept->second;
    }
    std::vector<TEntry>& entries = entries_[stream];
    if (!file_) {
        return entries;
    }
    AddFigures(entries);
    AddContent(entries);
    AddExtended(entries);
    if (stream != WM_ALL_STREAMS) {
        std::erase_if(entries, [stream](const TEntry& entry) { return entry.Stream != stream; });
    }
    if (entries.size() > 0xFFFF) {
        entries.resize(0xFFFF);  // indices are 16-bit
    }
    return entries;
}

TagLib::ByteVector TAsfEditor::Value(const TEntry& entry) const {
    switch (entry.Source) {
        case TSource::Figure:
            if (entry.Field == 0) {
                return HostValue<std::uint64_t>(properties_.Duration());
            }
            if (entry.Field == 1) {
                return HostValue<std::uint32_t>(properties_.MaxBitrate);
            }
            return HostValue<std::uint64_t>(fileSize_);
        case TSource::Content:
            return StringValue(ContentText(entry.Field));
        case TSource::Extended:
            break;
    }
    return ValueOf(*entry.Attribute);
}

TagLib::String TAsfEditor::ContentText(int field) const {
    const TagLib::ASF::Tag* tag = file_->tag();
    switch (field) {
        case cfTitle:
            return tag->title();
        case cfAuthor:
            return tag->artist();
        case cfCopyright:
            return tag->copyright();
        case cfDescription:
            return tag->comment();
        default:
            return tag->rating();
    }
}

void TAsfEditor::SetContentText(int field, const TagLib::String& text) {
    TagLib::ASF::Tag* tag = file_->tag();
    switch (field) {
        case cfTitle:
            tag->setTitle(text);
            break;
        case cfAuthor:
            tag->setArtist(text);
            break;
        case cfCopyright:
            tag->setCopyright(text);
            break;
        case cfDescription:
            tag->setComment(text);
            break;
        default:
            tag->setRating(text);
            break;
    }
    Changed();
}

WMHRESULT TAsfEditor::Find(std::uint16_t stream, std::uint16_t index, TEntry& entry) const {
    if (!file_) {
        return WM_E_UNEXPECTED;
    }
    const std::vector<TEntry>& entries = Entries(stream);
    if (index >= entries.size()) {
        return WM_E_INVALIDARG;
    }
    entry = entries[index];
    return WM_S_OK;
}

int TAsfEditor::IndexOf(std::uint16_t stream, TSource source, const TagLib::String& name,
                        int field) const {
    const std::vector<TEntry>& entries = Entries(stream);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TEntry& entry = entries[i];
        if (entry.Source == source && entry.Field == field &&
            (source != TSource::Extended || entry.Name == name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

WMHRESULT TAsfEditor::GetAttributeCountEx(std::uint16_t stream, std::uint16_t* count) {
    return Guard([&] {
        if (count == nullptr) {
            return WM_E_INVALIDARG;
        }
        if (!file_) {
            return WM_E_UNEXPECTED;
        }
        *count = static_cast<std::uint16_t>(Entries(stream).size());
        return WM_S_OK;
    });
}

WMHRESULT TAsfEditor::GetAttributeByIndexEx(std::uint16_t stream, std::uint16_t index,
                                            char16_t* name, std::uint16_t* nameLength,
                                            WMT_ATTR_DATATYPE* type, std::uint16_t* language,
                                            std::uint8_t* value, std::uint32_t* valueLength) {
    return Guard([&] {
        if (nameLength == nullptr || valueLength == nullptr) {
            return WM_E_INVALIDARG;
        }
        TEntry entry;
        if (const WMHRESULT result = Find(stream, index, entry); WMFailed(result)) {
            return result;
        }
        const std::vector<char16_t> units = ToUtf16(entry.Name);
        const TagLib::ByteVector bytes = Value(entry);
        if (units.size() > 0xFFFF) {
            return WM_E_FAIL;
        }
        const auto neededName = static_cast<std::uint16_t>(units.size());
        const std::uint32_t neededValue = bytes.size();
        const bool nameTooSmall = name != nullptr && *nameLength < neededName;
        const bool valueTooSmall = value != nullptr && *valueLength < neededValue;
        *nameLength = neededName;
        *valueLength = neededValue;
        if (nameTooSmall || valueTooSmall) {
            return WM_E_BUFFERTOOSMALL;
        }
        if (name != nullptr) {
            std::memcpy(name, units.data(), units.size() * sizeof(char16_t));
        }
        if (value != nullptr && neededValue != 0) {
            std::memcpy(value, bytes.data(), neededValue);
        }
        if (type != nullptr) {
            *type = entry.Type;
        }
        if (language != nullptr) {
            *language = static_cast<std::uint16_t>(entry.Language);
        }
        return WM_S_OK;
    });
}

WMHRESULT TAsfEditor::GetAttributeIndices(std::uint16_t stream, const char16_t* name,
                                          const std::uint16_t* language, std::uint16_t* indices,
                                          std::uint16_t* count) {
    return Guard([&] {
        const TagLib::String wanted = NameFromUtf16(name);
        if (count == nullptr || wanted.isEmpty()) {
            return WM_E_INVALIDARG;
        }
        if (!file_) {
            return WM_E_UNEXPECTED;
        }
        std::vector<std::uint16_t> found;
        const std::vector<TEntry> entries = Entries(stream);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (SameName(entries[i].Name, wanted) &&
                (language == nullptr || entries[i].Language == *language)) {
                found.push_back(static_cast<std::uint16_t>(i));
            }
        }
        const bool tooSmall = indices != nullptr && *count < found.size();
        *count = static_cast<std::uint16_t>(found.size());
        if (tooSmall) {
            return WM_E_BUFFERTOOSMALL;
        }
        if (indices != nullptr && !found.empty()) {
            std::memcpy(indices, found.data(), found.size() * sizeof(std::uint16_t));
        }
        return WM_S_OK;
    });
}

WMHRESULT TAsfEditor::ModifyAttribute(std::uint16_t stream, std::uint16_t index,
                                      WMT_ATTR_DATATYPE type, std::uint16_t language,
                                      const std::uint8_t* value, std::uint32_t length) {
    return Guard([&] {
        TEntry entry;
        if (const WMHRESULT result = Find(stream, index, entry); WMFailed(result)) {
            return result;
        }
        TagLib::ASF::Attribute attribute;
        if (!MakeAttribute(type, value, length, attribute)) {
            return WM_E_INVALIDARG;
        }
        switch (entry.Source) {
            case TSource::Figure:
                return WM_E_ACCESSDENIED;
            case TSource::Content:
                if (type != WMT_TYPE_STRING) {
                    return WM_E_INVALIDARG;
                }
                SetContentText(entry.Field, attribute.toString());
                return WM_S_OK;
            case TSource::Extended:
                break;
        }
        attribute.setStream(entry.Stream);
        attribute.setLanguage(language);
        TagLib::ASF::AttributeList list = file_->tag()->attribute(entry.Name);
        auto place = list.begin();
        std::advance(place, entry.Field);
        *place = attribute;
        file_->tag()->setAttribute(entry.Name, list);
        Changed();
        return WM_S_OK;
    });
}

WMHRESULT TAsfEditor::AddAttribute(std::uint16_t stream, const char16_t* name, std::uint16_t* index,
                                   WMT_ATTR_DATATYPE type, std::uint16_t language,
                                   const std::uint8_t* value, std::uint32_t length) {
    return Guard([&] {
        const TagLib::String attributeName = NameFromUtf16(name);
        if (attributeName.isEmpty() || stream > kMaxStream) {
            return WM_E_INVALIDARG;
        }
        if (!file_) {
            return WM_E_UNEXPECTED;
        }
        for (const char* figure : kFigureNames) {
            if (SameName(attributeName, figure)) {
                return WM_E_ACCESSDENIED;
            }
        }
        TagLib::ASF::Attribute attribute;
        if (!MakeAttribute(type, value, length, attribute)) {
            return WM_E_INVALIDARG;
        }
        int added = -1;
        // A content description text that is still empty takes the value in its own place.
        for (int field = 0; field < cfCount; ++field) {
            if (stream == 0 && language == 0 && type == WMT_TYPE_STRING &&
                SameName(attributeName, kContentNames[field]) && ContentText(field).isEmpty() &&
                !attribute.toString().isEmpty()) {
                SetContentText(field, attribute.toString());
                added = IndexOf(stream, TSource::Content, {}, field);
            }
        }
        if (added < 0) {
            attribute.setStream(stream);
            attribute.setLanguage(language);
            file_->tag()->addAttribute(attributeName, attribute);
            Changed();
            const int place = static_cast<int>(file_->tag()->attribute(attributeName).size()) - 1;
            added = IndexOf(stream, TSource::Extended, attributeName, place);
        }
        if (index != nullptr) {
            *index = static_cast<std::uint16_t>(std::max(added, 0));
        }
        return WM_S_OK;
    });
}

WMHRESULT TAsfEditor::DeleteAttribute(std::uint16_t stream, std::uint16_t index) {
    return Guard([&] {
        TEntry entry;
        if (const WMHRESULT result = Find(stream, index, entry); WMFailed(result)) {
            return result;
        }
        switch (entry.Source) {
            case TSource::Figure:
                return WM_E_ACCESSDENIED;
            case TSource::Content:
                SetContentText(entry.Field, {});
                return WM_S_OK;
            case TSource::Extended:
                break;
        }
        TagLib::ASF::AttributeList list = file_->tag()->attribute(entry.Name);
        auto place = list.begin();
        std::advance(place, entry.Field);
        list.erase(place);
        if (list.isEmpty()) {
            file_->tag()->removeItem(entry.Name);
        } else {
            file_->tag()->setAttribute(entry.Name, list);
        }
        Changed();
        return WM_S_OK;
    });
}
