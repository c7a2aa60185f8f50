// The media-format module on real WMA files: its interface directly, then the WMA tag unit
// loading it, with TagLib reading the files as a second opinion.
#include "platform/wmvcore/wmvcore.h"
#include "platform/wmvcore/tasffileproperties.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "device/tmediaplayer.h"
#include "tags/textcodec.h"
#include "tags/wmatags.h"
#include "tests/support/asfbuilder.h"
#include "tests/support/eventloop.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/tempfolder.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDataDir = TOVRA_SOURCE_DIR "/tests/data/wma";
const std::string kModule = TOVRA_PROGRAM_DIR "/libwmvcore.so";

// Fixture files are copied here before anything writes to them.
class TWmaFiles : public ::testing::Test {
protected:
    fs::path Copy(const char* name, const char* as = nullptr) {
        return temp_.copy(kDataDir / name, as != nullptr ? as : name);
    }

    TTempFolder temp_;
    const fs::path folder_ = temp_.path();
};

std::u16string Wide(const fs::path& path) {
    return Utf8ToUtf16(path.string());
}

// The module loaded the way the program loads it, and one editor of it.
class TEditorSession {
public:
    TEditorSession() {
        module_ = dlopen(kModule.c_str(), RTLD_NOW | RTLD_LOCAL);
        auto create = reinterpret_cast<WMCreateEditorProc>(
            module_ != nullptr ? dlsym(module_, "WMCreateEditor") : nullptr);
        if (create != nullptr && !WMFailed(create(&editor_))) {
            void* header = nullptr;
            editor_->QueryInterface(&IID_IWMHeaderInfo3, &header);
            header_ = static_cast<IWMHeaderInfo3*>(header);
        }
    }
    ~TEditorSession() {
        if (header_ != nullptr) {
            header_->Release();
        }
        if (editor_ != nullptr) {
            editor_->Close();
            editor_->Release();
        }
        if (module_ != nullptr) {
            dlclose(module_);
        }
    }
    TEditorSession(const TEditorSession&) = delete;
    TEditorSession& operator=(const TEditorSession&) = delete;

    bool Ready() const { return header_ != nullptr; }
    IWMMetadataEditor& Editor() { return *editor_; }
    IWMHeaderInfo3& Header() { return *header_; }

private:
    void* module_ = nullptr;
    IWMMetadataEditor* editor_ = nullptr;
    IWMHeaderInfo3* header_ = nullptr;
};

struct TAttribute {
    std::string Name;
    WMT_ATTR_DATATYPE Type = WMT_TYPE_BINARY;
    std::vector<std::uint8_t> Value;

    std::string Text() const {
        std::u16string text(Value.size() / 2, u'\0');
        std::memcpy(text.data(), Value.data(), text.size() * 2);
        return Utf16ToUtf8(text.substr(0, text.find(u'\0')));
    }
    std::uint64_t Number() const {
        std::uint64_t number = 0;
        std::memcpy(&number, Value.data(), std::min<std::size_t>(Value.size(), 8));
        return number;
    }
};

std::vector<TAttribute> Walk(IWMHeaderInfo3& header, std::uint16_t stream = WM_ALL_STREAMS) {
    std::vector<TAttribute> attributes;
    std::uint16_t count = 0;
    EXPECT_EQ(header.GetAttributeCountEx(stream, &count), WM_S_OK);
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t nameLength = 0;
        std::uint32_t valueLength = 0;
        TAttribute attribute;
        EXPECT_EQ(header.GetAttributeByIndexEx(stream, i, nullptr, &nameLength, nullptr, nullptr,
                                               nullptr, &valueLength),
                  WM_S_OK);
        std::u16string name(nameLength, u'\0');
        attribute.Value.resize(valueLength);
        EXPECT_EQ(header.GetAttributeByIndexEx(stream, i, name.data(), &nameLength, &attribute.Type,
                                               nullptr, attribute.Value.data(), &valueLength),
                  WM_S_OK);
        attribute.Name = Utf16ToUtf8(name.substr(0, name.find(u'\0')));
        attributes.push_back(attribute);
    }
    return attributes;
}

const TAttribute* FindNamed(const std::vector<TAttribute>& attributes, const std::string& name) {
    const auto found = std::find_if(attributes.begin(), attributes.end(),
                                    [&](const TAttribute& a) { return a.Name == name; });
    return found != attributes.end() ? &*found : nullptr;
}

TWmaHost Host(std::vector<std::string>* messages = nullptr) {
    return TWmaHost{[messages](TWmaMessageKind, const std::string& text) {
                        if (messages != nullptr) {
                            messages->push_back(text);
                        }
                    },
                    kModule};
}

// Every text of the file as TagLib sees it, keyed as the tag unit writes them.
std::string TagLibText(const fs::path& path, const std::string& name) {
    TagLib::ASF::File file(path.c_str());
    const TagLib::ASF::Tag* tag = file.tag();
    if (name == "Title") {
        return tag->title().to8Bit(true);
    }
    if (name == "Author") {
        return tag->artist().to8Bit(true);
    }
    if (name == "Copyright") {
        return tag->copyright().to8Bit(true);
    }
    if (name == "Description" && !tag->comment().isEmpty()) {
        return tag->comment().to8Bit(true);
    }
    const TagLib::ASF::AttributeList list = tag->attribute(name);
    return list.isEmpty() ? std::string() : list.front().toString().to8Bit(true);
}

void AddWithTagLib(const fs::path& path, const char* name, const TagLib::ASF::Attribute& value) {
    TagLib::ASF::File file(path.c_str());
    file.tag()->addAttribute(name, value);
    ASSERT_TRUE(file.save());
}

TEST_F(TWmaFiles, EditorListsFiguresFirstThenTheFileAttributes) {
    const fs::path file = kDataDir / "tagged.wma";
    TEditorSession session;
    ASSERT_TRUE(session.Ready());
    ASSERT_EQ(session.Editor().Open(Wide(file).c_str()), WM_S_OK);
    const std::vector<TAttribute> all = Walk(session.Header());
    ASSERT_GE(all.size(), 6u);

    const int lengthMs = TagLib::ASF::File(file.c_str()).audioProperties()->lengthInMilliseconds();
    EXPECT_EQ(all[0].Name, "Duration");
    EXPECT_EQ(all[0].Type, WMT_TYPE_QWORD);
    EXPECT_NEAR(static_cast<double>(all[0].Number()), lengthMs * 10000.0, 10000.0);
    EXPECT_EQ(all[1].Name, "Bitrate");
    EXPECT_EQ(all[1].Type, WMT_TYPE_DWORD);
    EXPECT_EQ(all[1].Number(), 32000u);
    EXPECT_EQ(all[2].Name, "FileSize");
    EXPECT_EQ(all[2].Number(), fs::file_size(file));
    EXPECT_EQ(all[3].Name, "Title");
    EXPECT_EQ(all[3].Text(), "Kartu Pos");
    EXPECT_EQ(all[3].Value.size(), (9u + 1) * 2);  // the terminating zero is counted

    const TAttribute* album = FindNamed(all, "WM/AlbumTitle");
    ASSERT_NE(album, nullptr);
    EXPECT_EQ(album->Type, WMT_TYPE_STRING);
    EXPECT_EQ(album->Text(), "Lagu Senja");
    EXPECT_EQ(Walk(session.Header(), 0).size(), all.size());  // every attribute is file-level
    EXPECT_TRUE(Walk(session.Header(), 1).empty());
}

TEST_F(TWmaFiles, EditorAnswersSizeQueriesBeforeFillingBuffers) {
    TEditorSession session;
    ASSERT_TRUE(session.Ready());
    ASSERT_EQ(session.Editor().Open(Wide(kDataDir / "tagged.wma").c_str()), WM_S_OK);
    IWMHeaderInfo3& header = session.Header();

    std::uint16_t nameLength = 0;
    std::uint32_t valueLength = 0;
    EXPECT_EQ(header.GetAttributeByIndexEx(WM_ALL_STREAMS, 0, nullptr, &nameLength, nullptr,
                                           nullptr, nullptr, &valueLength),
              WM_S_OK);
    EXPECT_EQ(nameLength, 9);  // "Duration" and its zero
    EXPECT_EQ(valueLength, 8u);
    char16_t shortName[4] = {};
    nameLength = 4;
    EXPECT_EQ(header.GetAttributeByIndexEx(WM_ALL_STREAMS, 0, shortName, &nameLength, nullptr,
                                           nullptr, nullptr, &valueLength),
              WM_E_BUFFERTOOSMALL);
    EXPECT_EQ(nameLength, 9);

    // "title" is stored twice: in the content description and, by ffmpeg, once more.
    std::uint16_t count = 0;
    EXPECT_EQ(header.GetAttributeIndices(WM_ALL_STREAMS, u"TITLE", nullptr, nullptr, &count),
              WM_S_OK);
    EXPECT_EQ(count, 2);
    std::uint16_t indices[2] = {};
    count = 1;
    EXPECT_EQ(header.GetAttributeIndices(WM_ALL_STREAMS, u"TITLE", nullptr, indices, &count),
              WM_E_BUFFERTOOSMALL);
    count = 2;
    EXPECT_EQ(header.GetAttributeIndices(WM_ALL_STREAMS, u"TITLE", nullptr, indices, &count),
              WM_S_OK);
    EXPECT_EQ(indices[0], 3);
    EXPECT_EQ(FindAttributeIndex(header, u"title"), 3);
    EXPECT_EQ(FindAttributeIndex(header, u"WM/Mood"), -1);
}

TEST_F(TWmaFiles, EditorRefusesWhatItCannotDo) {
    const fs::path notAsf = folder_ / "bukan.wma";
    WriteFileBytes(notAsf, Bytes(4096, 'x'));
    const std::uint64_t one = 1;  // room for every type tried below
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&one);

    TEditorSession closed;
    ASSERT_TRUE(closed.Ready());
    std::uint16_t count = 0;
    EXPECT_EQ(closed.Header().GetAttributeCountEx(WM_ALL_STREAMS, &count), WM_E_UNEXPECTED);
    EXPECT_EQ(closed.Editor().Flush(), WM_E_UNEXPECTED);
    EXPECT_EQ(closed.Editor().Open(u"/nonexistent/lagu.wma"), WM_E_FILENOTFOUND);
    EXPECT_EQ(closed.Editor().Open(Wide(notAsf).c_str()), WM_E_BADFORMAT);
    void* object = &count;
    const WMGUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(closed.Editor().QueryInterface(&other, &object), WM_E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    TEditorSession session;
    ASSERT_EQ(session.Editor().Open(Wide(kDataDir / "tagged.wma").c_str()), WM_S_OK);
    IWMHeaderInfo3& header = session.Header();
    EXPECT_EQ(session.Editor().Open(Wide(kDataDir / "plain.wma").c_str()), WM_E_UNEXPECTED);
    std::uint16_t index = 0;
    EXPECT_EQ(header.ModifyAttribute(0, 0, WMT_TYPE_QWORD, 0, bytes, 8), WM_E_ACCESSDENIED);
    EXPECT_EQ(header.DeleteAttribute(0, 1), WM_E_ACCESSDENIED);
    EXPECT_EQ(header.AddAttribute(0, u"filesize", &index, WMT_TYPE_QWORD, 0, bytes, 8),
              WM_E_ACCESSDENIED);
    EXPECT_EQ(header.DeleteAttribute(0, 0xFFFE), WM_E_INVALIDARG);
    EXPECT_EQ(header.AddAttribute(0, u"", &index, WMT_TYPE_STRING, 0, nullptr, 0), WM_E_INVALIDARG);
    EXPECT_EQ(header.AddAttribute(0, u"X/Short", &index, WMT_TYPE_DWORD, 0, bytes, 2),
              WM_E_INVALIDARG);
    EXPECT_EQ(header.AddAttribute(0, u"X/Guid", &index, WMT_TYPE_GUID, 0, bytes, 4),
              WM_E_INVALIDARG);
    EXPECT_EQ(header.AddAttribute(200, u"X/Stream", &index, WMT_TYPE_DWORD, 0, bytes, 4),
              WM_E_INVALIDARG);
}

TEST_F(TWmaFiles, EditorWritesEveryTypeTagLibReads) {
    const fs::path file = Copy("plain.wma");
    const std::uint32_t dword = 5;
    const std::uint64_t qword = 1ull << 40;
    const std::uint16_t word = 7;
    const std::uint32_t yes = 1;
    const std::uint8_t binary[] = {1, 2, 3};
    const std::u16string mood = u"Tenang – ümit";
    auto at = [](const auto& value) { return reinterpret_cast<const std::uint8_t*>(&value); };
    {
        TEditorSession session;
        ASSERT_EQ(session.Editor().Open(Wide(file).c_str()), WM_S_OK);
        IWMHeaderInfo3& header = session.Header();
        std::uint16_t index = 0;
        ASSERT_EQ(header.AddAttribute(0, u"X/DWord", &index, WMT_TYPE_DWORD, 0, at(dword), 4),
                  WM_S_OK);
        EXPECT_EQ(Walk(header)[index].Name, "X/DWord");
        ASSERT_EQ(header.AddAttribute(0, u"X/QWord", &index, WMT_TYPE_QWORD, 0, at(qword), 8),
                  WM_S_OK);
        ASSERT_EQ(header.AddAttribute(0, u"X/Word", &index, WMT_TYPE_WORD, 0, at(word), 2),
                  WM_S_OK);
        ASSERT_EQ(header.AddAttribute(0, u"IsVBR", &index, WMT_TYPE_BOOL, 0, at(yes), 4), WM_S_OK);
        ASSERT_EQ(header.AddAttribute(0, u"X/Binary", &index, WMT_TYPE_BINARY, 0, binary, 3),
                  WM_S_OK);
        ASSERT_EQ(header.AddAttribute(0, u"WM/Mood", &index, WMT_TYPE_STRING, 0, at(*mood.data()),
                                      static_cast<std::uint32_t>(mood.size() * 2)),
                  WM_S_OK);
        ASSERT_EQ(header.AddAttribute(1, u"X/OfStream", &index, WMT_TYPE_DWORD, 0, at(dword), 4),
                  WM_S_OK);
        EXPECT_EQ(index, 0);  // the first attribute of stream 1
        ASSERT_EQ(session.Editor().Flush(), WM_S_OK);
    }
    TagLib::ASF::File check(file.c_str());
    const TagLib::ASF::Tag* tag = check.tag();
    EXPECT_EQ(tag->attribute("X/DWord").front().toUInt(), dword);
    EXPECT_EQ(tag->attribute("X/QWord").front().toULongLong(), qword);
    EXPECT_EQ(tag->attribute("X/Word").front().toUShort(), word);
    EXPECT_EQ(tag->attribute("IsVBR").front().type(), TagLib::ASF::Attribute::BoolType);
    EXPECT_EQ(tag->attribute("X/Binary").front().toByteVector(), TagLib::ByteVector("\1\2\3", 3));
    EXPECT_EQ(tag->attribute("WM/Mood").front().toString().to8Bit(true), Utf16ToUtf8(mood));
    EXPECT_EQ(tag->attribute("X/OfStream").front().stream(), 1);

    TEditorSession session;
    ASSERT_EQ(session.Editor().Open(Wide(file).c_str()), WM_S_OK);
    const std::vector<TAttribute> all = Walk(session.Header());
    EXPECT_EQ(all.back().Name, "X/OfStream");  // after every file-level attribute
    EXPECT_EQ(Walk(session.Header(), 1).size(), 1u);
    EXPECT_EQ(Walk(session.Header(), 0).size(), all.size() - 1);
    EXPECT_EQ(FindNamed(all, "IsVBR")->Number(), 1u);
}

TEST_F(TWmaFiles, ReadFillsTheRecord) {
    const fs::path file = kDataDir / "tagged.wma";
    std::vector<std::string> messages;
    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(file), tags, Host(&messages)));
    EXPECT_EQ(tags.EncodedBy, "Tovra");
    EXPECT_EQ(tags.SdkVersion, "9.00.00.2980");
    EXPECT_EQ(tags.Genre, "Keroncong");
    EXPECT_EQ(tags.Author, "Sari Wening");
    EXPECT_EQ(tags.Title, "Kartu Pos");
    EXPECT_EQ(tags.AlbumTitle, "Lagu Senja");
    EXPECT_EQ(tags.Composer, "Budi Santoso");
    EXPECT_EQ(tags.Url, "http://example.org/senja");
    EXPECT_EQ(tags.TrackNumber, "7");
    EXPECT_EQ(tags.Year, "1998");
    EXPECT_EQ(tags.Copyright, "(c) 1998 Senja");
    EXPECT_EQ(tags.Description, u"Direkam di Solo");
    EXPECT_EQ(tags.Lyrics, u"Baris satu\nBaris dua");
    EXPECT_EQ(tags.Bitrate, 32000u);
    EXPECT_NEAR(static_cast<double>(tags.DurationMs), 2042, 2);
    EXPECT_EQ(tags.FileSize, static_cast<std::int64_t>(fs::file_size(file)));
    EXPECT_FALSE(tags.IsVbr);  // the file has no IsVBR
    EXPECT_TRUE(messages.empty());
}

TEST_F(TWmaFiles, ReadMatchesNamesInAnyCaseAndKeepsTheirTypes) {
    const fs::path file = Copy("plain.wma");
    AddWithTagLib(file, "wm/albumtitle", TagLib::ASF::Attribute(TagLib::String("kecil")));
    AddWithTagLib(file, "AUTHOR", TagLib::ASF::Attribute(TagLib::String("besar")));
    AddWithTagLib(file, "WM/TrackNumber", TagLib::ASF::Attribute(7u));  // a DWORD
    AddWithTagLib(file, "isvbr", TagLib::ASF::Attribute(true));
    AddWithTagLib(file, "BITRATE", TagLib::ASF::Attribute(TagLib::String("999")));
    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(file), tags, Host()));
    EXPECT_EQ(tags.AlbumTitle, "kecil");
    EXPECT_EQ(tags.Author, "besar");
    EXPECT_EQ(tags.TrackNumber, "");
    EXPECT_TRUE(tags.IsVbr);
    EXPECT_EQ(tags.Bitrate, 24000u);  // the text "999" has the wrong type and is skipped

    // Clearing the track box removes texts only: the DWORD nobody was shown stays.
    ASSERT_TRUE(WriteWmaTags(Wide(file), tags, Host()));
    EXPECT_EQ(TagLib::ASF::File(file.c_str()).tag()->attribute("WM/TrackNumber").front().toUInt(),
              7u);
}

TEST_F(TWmaFiles, ReadCutsShortTextsAndKeepsLongOnes) {
    const fs::path file = Copy("plain.wma");
    std::string longTitle;
    for (int i = 0; i < 300; ++i) {
        longTitle += "é";
    }
    const std::u16string lyrics(40000, u'ü');  // too long for the extended content object
    {
        TagLib::ASF::File edit(file.c_str());
        edit.tag()->setTitle(TagLib::String(longTitle, TagLib::String::UTF8));
        edit.tag()->setAttribute("WM/Lyrics", TagLib::ASF::Attribute(TagLib::String(
                                                  Utf16ToUtf8(lyrics), TagLib::String::UTF8)));
        ASSERT_TRUE(edit.save());
    }
    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(file), tags, Host()));
    EXPECT_EQ(tags.Title, longTitle.substr(0, 255 * 2));  // 255 characters of two bytes
    EXPECT_EQ(tags.Lyrics, lyrics);
}

// The File Properties object's play duration, preroll included, in 100-ns units.
void SetPlayDuration(const fs::path& file, std::uint64_t duration) {
    Bytes bytes = ReadFileBytes(file);
    const auto found = std::search(bytes.begin(), bytes.end(), ASFFilePropertiesObject.begin(),
                                   ASFFilePropertiesObject.end());
    ASSERT_NE(found, bytes.end());
    std::uint8_t* fields = &*found + 24;
    std::uint64_t preroll = 0;
    std::memcpy(&preroll, fields + 56, 8);
    duration += preroll * 10000;
    std::memcpy(fields + 40, &duration, 8);
    WriteFileBytes(file, bytes);
}

TEST_F(TWmaFiles, ReadTakesTheDurationIn100nsUnits) {
    const fs::path file = Copy("plain.wma");
    SetPlayDuration(file, 2253000000);
    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(file), tags, Host()));
    EXPECT_EQ(tags.DurationMs, 225300);
    EXPECT_EQ(FormatMsDuration(true, tags.DurationMs), "3:45.300");
}

TEST_F(TWmaFiles, ReadOfMissingOrForeignFiles) {
    std::vector<std::string> messages;
    TTagsData tags;
    tags.Title = "lama";
    try {
        ReadWmaTags(u"/nonexistent/lagu.wma", tags, Host(&messages));
        ADD_FAILURE() << "no error raised";
    } catch (const EWmaTagsError& error) {
        EXPECT_STREQ(error.what(), "The file\r\n/nonexistent/lagu.wma\r\ndoes'nt exists!");
    }
    EXPECT_EQ(tags.Title, "");  // cleared before the file was looked for

    const fs::path notAsf = folder_ / "bukan.wma";
    const Bytes garbage(5000, 0x7F);
    WriteFileBytes(notAsf, garbage);
    EXPECT_FALSE(LoadWmaTags(notAsf.string(), tags, Host(&messages)));
    EXPECT_FALSE(WriteWmaTags(Wide(notAsf), tags, Host(&messages)));
    EXPECT_EQ(ReadFileBytes(notAsf), garbage);
    EXPECT_EQ(messages, std::vector<std::string>{"Sorry ,Could not load the WMA Tag"});
}

// An attribute object whose count promises more records than it has bytes for is refused, with
// the file untouched: TagLib would build that many attributes from nothing.
TEST_F(TWmaFiles, AttributeCountsBeyondTheirObjectAreRefused) {
    Bytes bytes = ReadFileBytes(kDataDir / "tagged.wma");
    const auto at =
        std::search(bytes.begin(), bytes.end(), ASFExtendedContentDescriptionObject.begin(),
                    ASFExtendedContentDescriptionObject.end());
    ASSERT_NE(at, bytes.end());
    const fs::path file = folder_ / "banyak.wma";
    WriteFileBytes(file, bytes);
    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(file), tags, Host()));  // the count as it stands fits

    std::fill_n(at + 24, 2, 0xFF);  // 65535 descriptors
    WriteFileBytes(file, bytes);
    std::vector<std::string> messages;
    EXPECT_FALSE(LoadWmaTags(file.string(), tags, Host(&messages)));
    tags.Title = "Baru";
    EXPECT_FALSE(WriteWmaTags(Wide(file), tags, Host(&messages)));
    EXPECT_EQ(ReadFileBytes(file), bytes);
    EXPECT_EQ(messages, std::vector<std::string>{"Sorry ,Could not load the WMA Tag"});
}

// Objects whose sizes or counts TagLib would trust are refused before TagLib sees them: TagLib
// refuses some of them too, but only after building what they declare.
TEST_F(TWmaFiles, HeaderWalkRefusesDamagedObjects) {
    using namespace asftest;
    const Bytes tagged = ReadFileBytes(kDataDir / "tagged.wma");
    Bytes manyRecords = Object(ASFMetadataObject, 26);
    PutLE(manyRecords, 24, 0xFFFF, 2);
    Bytes manyLibraryRecords = Object(ASFMetadataLibraryObject, 26);
    PutLE(manyLibraryRecords, 24, 3, 2);
    Bytes undersized = Object(kOther, 24);
    PutLE(undersized, 16, 23, 8);
    Bytes pastTheExtension = HeaderExtension({Object(kOther, 40)});
    PutLE(pastTheExtension, 46 + 16, 41, 8);
    Bytes countPastTheObjects = tagged;
    PutLE(countPastTheObjects, 24, ReadLE32(tagged, 24) + 1, 4);
    Bytes headerPastTheFile = tagged;
    PutLE(headerPastTheFile, 16, tagged.size() + 1, 8);
    struct Case {
        const char* what;
        Bytes file;
        bool read;
    };
    const Case cases[] = {
        {"as it is", tagged, true},
        {"an empty extension", Prepended(tagged, HeaderExtension({})), true},
        {"metadata without records",
         Prepended(tagged, HeaderExtension({Object(ASFMetadataObject, 26)})), true},
        {"metadata records beyond the object", Prepended(tagged, HeaderExtension({manyRecords})),
         false},
        {"metadata library records beyond the object",
         Prepended(tagged, HeaderExtension({manyLibraryRecords})), false},
        {"an object past the extension", Prepended(tagged, pastTheExtension), false},
        {"an object under 24 bytes in the extension",
         Prepended(tagged, HeaderExtension({undersized})), false},
        {"an extension without its data size",
         Prepended(tagged, Object(ASFHeaderExtensionObject, 44)), false},
        {"an object under 24 bytes", Prepended(tagged, undersized), false},
        {"file properties without their fields", Prepended(tagged, Object(kFileProperties, 100)),
         false},
        {"a count past the objects", countPastTheObjects, false},
        {"a header past the file", headerPastTheFile, false},
    };
    for (const Case& c : cases) {
        const fs::path file = folder_ / "objek.wma";
        WriteFileBytes(file, c.file);
        TAsfFileProperties properties;
        EXPECT_EQ(properties.Read(file.string()), c.read) << c.what;
        EXPECT_EQ(properties.MaxBitrate, c.read ? 32000u : 0u) << c.what;
    }
}

// Cut and damaged headers: every read ends with an answer, and a refused write changes nothing.
TEST_F(TWmaFiles, DamagedFilesNeverCrashTheReader) {
    const Bytes original = ReadFileBytes(kDataDir / "tagged.wma");
    struct Damage {
        std::size_t keep;  // bytes kept from the start
        std::size_t at;    // where 0xFF bytes are written, if anywhere
        std::size_t count;
    };
    const Damage cases[] = {
        {16, 0, 0},     {30, 0, 0},      {120, 0, 0},
        {1000, 0, 0},   {5000, 0, 0},    {~0u, 16, 8},  // header size far past the end
        {~0u, 24, 4},                                   // four billion header objects
        {~0u, 46, 8},                                   // File Properties size far past the header
        {~0u, 150, 40}, {~0u, 400, 200},
    };
    for (const Damage& d : cases) {
        SCOPED_TRACE(testing::Message() << d.keep << " bytes, damage at " << d.at);
        Bytes bytes(original.begin(), original.begin() + std::min(d.keep, original.size()));
        std::fill_n(bytes.begin() + d.at, d.count, 0xFF);
        const fs::path file = folder_ / "rusak.wma";
        WriteFileBytes(file, bytes);
        TTagsData tags;
        const bool read = ReadWmaTags(Wide(file), tags, Host());
        tags.Title = "Baru";
        if (!WriteWmaTags(Wide(file), tags, Host())) {
            EXPECT_EQ(ReadFileBytes(file), bytes);
        } else {
            EXPECT_TRUE(read);
        }
    }
}

// Each editable field alone, written to a file that had none, then read back by us and by
// TagLib; then all of them over a file that had every one.
TEST_F(TWmaFiles, WriteRoundTripsEveryField) {
    struct Field {
        const char* name;
        std::string TTagsData::*text;
        std::u16string TTagsData::*wide;
    };
    const Field fields[] = {
        {"WM/EncodedBy", &TTagsData::EncodedBy, nullptr},
        {"WM/Genre", &TTagsData::Genre, nullptr},
        {"Author", &TTagsData::Author, nullptr},
        {"WM/Composer", &TTagsData::Composer, nullptr},
        {"Title", &TTagsData::Title, nullptr},
        {"WM/AlbumTitle", &TTagsData::AlbumTitle, nullptr},
        {"WM/Year", &TTagsData::Year, nullptr},
        {"WM/TrackNumber", &TTagsData::TrackNumber, nullptr},
        {"WM/URL", &TTagsData::Url, nullptr},
        {"Copyright", &TTagsData::Copyright, nullptr},
        {"Description", nullptr, &TTagsData::Description},
        {"WM/Lyrics", nullptr, &TTagsData::Lyrics},
    };
    const std::string value = "Ağustos – 日本 ✓";
    TTagsData everything;
    for (const Field& field : fields) {
        SCOPED_TRACE(field.name);
        const fs::path file = Copy("plain.wma", "satu.wma");
        TTagsData tags;
        if (field.text != nullptr) {
            tags.*field.text = value;
        } else {
            tags.*field.wide = Utf8ToUtf16(value + "\r\nbaris dua");
        }
        if (field.text != nullptr) {
            everything.*field.text = value + " 2";
        } else {
            everything.*field.wide = Utf8ToUtf16(value + " 2");
        }
        ASSERT_TRUE(WriteWmaTags(Wide(file), tags, Host()));
        TTagsData back;
        ASSERT_TRUE(ReadWmaTags(Wide(file), back, Host()));
        const std::string written =
            field.text != nullptr ? tags.*field.text : Utf16ToUtf8(tags.*field.wide);
        EXPECT_EQ(field.text != nullptr ? back.*field.text : Utf16ToUtf8(back.*field.wide),
                  written);
        EXPECT_EQ(TagLibText(file, field.name), written);
        fs::remove(file);
    }

    const fs::path file = Copy("tagged.wma");
    ASSERT_TRUE(WriteWmaTags(Wide(file), everything, Host()));
    TTagsData back;
    ASSERT_TRUE(ReadWmaTags(Wide(file), back, Host()));
    for (const Field& field : fields) {
        SCOPED_TRACE(field.name);
        const std::string expected = value + " 2";
        EXPECT_EQ(field.text != nullptr ? back.*field.text : Utf16ToUtf8(back.*field.wide),
                  expected);
        EXPECT_EQ(TagLibText(file, field.name), expected);
    }
    // ffmpeg's second "title" would have hidden the new one on the next read.
    EXPECT_TRUE(TagLib::ASF::File(file.c_str()).tag()->attribute("title").isEmpty());
    EXPECT_EQ(back.SdkVersion, "9.00.00.2980");
}

TEST_F(TWmaFiles, WriteOfEmptyFieldsDeletesAndAddsNothing) {
    const fs::path tagged = Copy("tagged.wma");
    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(tagged), tags, Host()));
    tags.Year.clear();
    tags.Title.clear();
    ASSERT_TRUE(WriteWmaTags(Wide(tagged), tags, Host()));
    TTagsData back;
    ASSERT_TRUE(ReadWmaTags(Wide(tagged), back, Host()));
    EXPECT_EQ(back.Year, "");
    EXPECT_EQ(back.Title, "");
    EXPECT_EQ(back.Genre, "Keroncong");
    TagLib::ASF::File check(tagged.c_str());
    EXPECT_FALSE(check.tag()->contains("WM/Year"));
    EXPECT_TRUE(check.tag()->title().isEmpty());

    const fs::path plain = Copy("plain.wma");
    std::vector<TAttribute> before;
    {
        TEditorSession session;
        ASSERT_EQ(session.Editor().Open(Wide(plain).c_str()), WM_S_OK);
        before = Walk(session.Header());
    }
    ASSERT_TRUE(WriteWmaTags(Wide(plain), TTagsData{}, Host()));
    TEditorSession session;
    ASSERT_EQ(session.Editor().Open(Wide(plain).c_str()), WM_S_OK);
    const std::vector<TAttribute> after = Walk(session.Header());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].Name, before[i].Name);
    }
}

TEST_F(TWmaFiles, SaveWritesToTheFileLoadedLast) {
    const fs::path first = Copy("tagged.wma", "pertama.wma");
    const fs::path second = Copy("tagged.wma", "kedua.wma");
    TTagsData tags;
    ASSERT_TRUE(LoadWmaTags(first.string(), tags, Host()));
    ASSERT_TRUE(LoadWmaTags(second.string(), tags, Host()));
    EXPECT_EQ(CurrentWmaFile, Wide(second));
    tags.Title = "Baru";
    ASSERT_TRUE(SaveWmaTags(tags, Host()));
    EXPECT_EQ(TagLibText(second, "Title"), "Baru");
    EXPECT_EQ(TagLibText(first, "Title"), "Kartu Pos");
}

TEST_F(TWmaFiles, FailedSaveLeavesTheFileAsItWas) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes to read-only files";
    }
    const fs::path file = Copy("tagged.wma");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Bytes original = ReadFileBytes(file);
    std::vector<std::string> messages;
    TTagsData tags;
    ASSERT_TRUE(LoadWmaTags(file.string(), tags, Host(&messages)));
    tags.Title = "Baru";
    EXPECT_FALSE(SaveWmaTags(tags, Host(&messages)));
    EXPECT_EQ(ReadFileBytes(file), original);
    EXPECT_EQ(messages, std::vector<std::string>{"Sorry ,Could not save the WMA-Tag"});
}

// A retagged file is still one the player plays, for exactly as long as before.
TEST_F(TWmaFiles, WrittenFileStillPlays) {
    TestApplication();
    const fs::path file = Copy("tagged.wma");
    TMediaPlayer player{nullptr, QStringLiteral("fakesink sync=true"),
                        QStringLiteral("fakesink sync=true")};
    player.setFileName(QString::fromStdString(file.string()));
    player.Open();
    const std::int64_t length = player.Length();
    player.Close();
    EXPECT_GT(length, 1900);

    TTagsData tags;
    ASSERT_TRUE(ReadWmaTags(Wide(file), tags, Host()));
    tags.Title = "Judul yang jauh lebih panjang daripada judul semula";
    tags.Lyrics = std::u16string(3000, u'ş');
    ASSERT_TRUE(WriteWmaTags(Wide(file), tags, Host()));

    player.Open();
    EXPECT_EQ(player.Length(), length);
    player.Play();
    EXPECT_TRUE(WaitFor([&] { return player.Position() >= 200; }));
    player.Close();
}

}  // namespace
