// A WMA save changes exactly the field that was edited: over files other programs wrote, each
// field is edited alone and TagLib compares every attribute before and after.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tags/textcodec.h"
#include "tags/wmatags.h"
#include "tests/support/asfsnapshot.h"
#include "tests/tags/tagfixtures.h"

using namespace fixtures;

namespace {

const std::string kData = TOVRA_SOURCE_DIR "/tests/data/";

TWmaHost Host() {
    return TWmaHost{{}, TOVRA_PROGRAM_DIR "/libwmvcore.so"};
}

struct TField {
    const char* Name;  // upper case, as the snapshot keys it
    std::string TTagsData::*Text;
    std::u16string TTagsData::*Wide;
};
const TField kFields[] = {
    {"WM/ENCODEDBY", &TTagsData::EncodedBy, nullptr},
    {"WM/GENRE", &TTagsData::Genre, nullptr},
    {"AUTHOR", &TTagsData::Author, nullptr},
    {"WM/COMPOSER", &TTagsData::Composer, nullptr},
    {"TITLE", &TTagsData::Title, nullptr},
    {"WM/ALBUMTITLE", &TTagsData::AlbumTitle, nullptr},
    {"WM/YEAR", &TTagsData::Year, nullptr},
    {"WM/TRACKNUMBER", &TTagsData::TrackNumber, nullptr},
    {"WM/URL", &TTagsData::Url, nullptr},
    {"COPYRIGHT", &TTagsData::Copyright, nullptr},
    {"DESCRIPTION", nullptr, &TTagsData::Description},
    {"WM/LYRICS", nullptr, &TTagsData::Lyrics},
};

std::string Get(const TTagsData& tags, const TField& field) {
    return field.Text != nullptr ? tags.*field.Text : Utf16ToUtf8(tags.*field.Wide);
}
void Set(TTagsData& tags, const TField& field, const std::string& value) {
    if (field.Text != nullptr) {
        tags.*field.Text = value;
    } else {
        tags.*field.Wide = Utf8ToUtf16(value);
    }
}

// The text of a snapshot value ("content X" or "... text:X"); empty for other types.
std::optional<std::string> TextOf(const std::string& value) {
    if (value.starts_with("content ")) {
        return value.substr(8);
    }
    const std::size_t at = value.find(" text:");
    return at == std::string::npos ? std::nullopt : std::optional(value.substr(at + 6));
}

}  // namespace

TEST(WmaPreservation, EachEditChangesOnlyItsField) {
    const std::string files[] = {"wmakeep/taglib-many.wma", "wma/tagged.wma", "media/tone.wma"};
    const std::string edited = "Diubah \u2713";
    for (const std::string& name : files) {
        for (const TField& field : kFields) {
            SCOPED_TRACE(name + ": " + field.Name);
            TempDir dir;
            const std::string path = dir.file("song.wma");
            WriteFile(path, ReadFile(kData + name));
            const asftest::TSnapshot before = asftest::Snapshot(path);
            TTagsData tags;
            ASSERT_TRUE(ReadWmaTags(U(path), tags, Host()));
            const std::string shown = Get(tags, field);
            Set(tags, field, edited);
            ASSERT_TRUE(WriteWmaTags(U(path), tags, Host()));

            const asftest::TSnapshot after = asftest::Snapshot(path);
            EXPECT_EQ(after.Media, before.Media);
            TTagsData back;
            ASSERT_TRUE(ReadWmaTags(U(path), back, Host()));
            EXPECT_EQ(Get(back, field), edited);
            // Every other attribute is as it was, all its values, their types and order.
            auto others = after.Values;
            auto othersBefore = before.Values;
            others.erase(field.Name);
            othersBefore.erase(field.Name);
            EXPECT_EQ(others, othersBefore);
            // Of the edited field, the values that were not shown stay.
            const auto old = before.Values.find(field.Name);
            const auto now = after.Values.find(field.Name);
            ASSERT_NE(now, after.Values.end());
            EXPECT_TRUE(std::any_of(now->second.begin(), now->second.end(),
                                    [&](const std::string& v) { return TextOf(v) == edited; }));
            if (old != before.Values.end()) {
                for (const std::string& value : old->second) {
                    if (TextOf(value) && TextOf(value) != shown) {
                        EXPECT_TRUE(std::find(now->second.begin(), now->second.end(), value) !=
                                    now->second.end())
                            << "lost " << value;
                    }
                }
            }
        }
    }
}

TEST(WmaPreservation, ASaveWithoutEditsLeavesTheFileAlone) {
    for (const std::string name : {"wmakeep/taglib-many.wma", "wma/tagged.wma"}) {
        TempDir dir;
        const std::string path = dir.file("song.wma");
        const Bytes original = ReadFile(kData + name);
        WriteFile(path, original);
        TTagsData tags;
        ASSERT_TRUE(ReadWmaTags(U(path), tags, Host()));
        ASSERT_TRUE(WriteWmaTags(U(path), tags, Host())) << name;
        EXPECT_EQ(ReadFile(path), original) << name;
    }
}
