// Another reader and writer, TagLib, sees what we write and writes what we read.

#include "tags/tid3v1.h"
#include "tags/tid3v2.h"

#include "tagfixtures.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

using namespace fixtures;

namespace {

TagLib::String T(const std::string& utf8) {
    return TagLib::String(utf8, TagLib::String::UTF8);
}
std::string S(const TagLib::String& s) {
    return s.to8Bit(true);
}
std::string S(const std::u16string& s) {
    return Utf16ToUtf8(s);
}

// The text of the first frame with the id, as TagLib reads it.
std::string FrameText(TagLib::ID3v2::Tag& tag, const char* id) {
    const auto& frames = tag.frameListMap()[id];
    return frames.isEmpty() ? std::string() : S(frames.front()->toString());
}

}  // namespace

TEST(TagLibInterop, WhatWeWriteTagLibReads) {
    TempDir dir;
    const std::string path = dir.file("song.mp3");
    WriteFile(path, MpegFrames(30));

    TID3v2 v2;
    v2.SetTitle(u"Judul \u4e2d\u6587 \u2603");
    v2.SetArtist(u"\u00c9dith Piaf");
    v2.SetAlbum(u"Album");
    v2.SetYear(u"1999");
    v2.SetGenre(u"Dangdut Koplo");
    v2.SetComment(u"Line one\r\nline \u00fc");
    v2.SetComposer(u"Composer \u00f1");
    v2.SetOrigArtist(u"Orig");
    v2.SetCopyright(u"(c) 2026");
    v2.SetURL(u"http://example.com/caf\u00e9");
    v2.SetEncodedBy(u"Encoder");
    v2.SetTrackNo(7);
    ASSERT_TRUE(v2.SaveTag(U(path)));

    TID3v1 v1;
    v1.SetTitle("Caf\u00e9 song with a title longer than thirty");
    v1.SetArtist("Artist");
    v1.SetAlbum("Album");
    v1.SetYear("1999");
    v1.SetComment("Comment");
    v1.SetTrack(7);
    v1.SetGenreIndex(17);
    v1.SetLyrics("la la\r\nla");
    ASSERT_TRUE(v1.Save(U(path)));

    TagLib::MPEG::File file(path.c_str());
    ASSERT_TRUE(file.isValid());
    ASSERT_TRUE(file.hasID3v2Tag());
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag();
    EXPECT_EQ(tag.header()->majorVersion(), 3u);
    EXPECT_EQ(S(tag.title()), S(v2.Title()));
    EXPECT_EQ(S(tag.artist()), S(v2.Artist()));
    EXPECT_EQ(S(tag.album()), "Album");
    EXPECT_EQ(tag.year(), 1999u);
    EXPECT_EQ(tag.track(), 7u);
    EXPECT_EQ(S(tag.genre()), "Dangdut Koplo");
    EXPECT_EQ(S(tag.comment()), S(v2.Comment()));
    EXPECT_EQ(FrameText(tag, "TCOM"), S(v2.Composer()));
    EXPECT_EQ(FrameText(tag, "TOPE"), "Orig");
    EXPECT_EQ(FrameText(tag, "TCOP"), "(c) 2026");
    EXPECT_EQ(FrameText(tag, "TENC"), "Encoder");
    const auto urls = tag.frameListMap()["WXXX"];
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(S(dynamic_cast<TagLib::ID3v2::UserUrlLinkFrame*>(urls.front())->url()),
              "http://example.com/caf\u00e9");

    ASSERT_TRUE(file.hasID3v1Tag());
    TagLib::ID3v1::Tag& tag1 = *file.ID3v1Tag();
    EXPECT_EQ(S(tag1.title()), "Caf\u00e9 song with a title longer");
    EXPECT_EQ(S(tag1.artist()), "Artist");
    EXPECT_EQ(tag1.year(), 1999u);
    EXPECT_EQ(S(tag1.comment()), "Comment");
    EXPECT_EQ(tag1.track(), 7u);
    EXPECT_EQ(S(tag1.genre()), "Rock");
    // The audio is where TagLib expects it: the first frame right after the tag.
    EXPECT_EQ(file.firstFrameOffset(), 4096);
}

// TagLib writes a tag of each version and encoding, with a picture; we read the same values,
// and after our save the picture is still there, byte for byte.
TEST(TagLibInterop, WhatTagLibWritesWeRead) {
    struct Case {
        TagLib::ID3v2::Version version;
        TagLib::String::Type encoding;
        std::string title;
    };
    const Case cases[] = {
        {TagLib::ID3v2::v3, TagLib::String::Latin1, "Caf\u00e9 \u00dcber"},
        {TagLib::ID3v2::v3, TagLib::String::UTF16, "\u4e2d\u6587 \u2603 title"},
        {TagLib::ID3v2::v4, TagLib::String::Latin1, "Caf\u00e9 \u00dcber"},
        {TagLib::ID3v2::v4, TagLib::String::UTF16, "\u4e2d\u6587 \u2603 title"},
        {TagLib::ID3v2::v4, TagLib::String::UTF8, "\u4e2d\u6587 \u2603 title"},
    };
    const Bytes pictureBytes = Payload(7000, 9);
    const TagLib::ByteVector picture(reinterpret_cast<const char*>(pictureBytes.data()),
                                     static_cast<unsigned>(pictureBytes.size()));
    auto* factory = TagLib::ID3v2::FrameFactory::instance();
    for (const Case& c : cases) {
        const std::string label = std::to_string(c.version) + "/" + std::to_string(c.encoding);
        TempDir dir;
        const std::string path = dir.file("song.mp3");
        WriteFile(path, MpegFrames(30));
        factory->setDefaultTextEncoding(c.encoding);
        {
            TagLib::MPEG::File file(path.c_str());
            TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
            tag->setTitle(T(c.title));
            tag->setArtist(T("Artist " + c.title));
            tag->setAlbum(T("Album"));
            tag->setYear(2004);
            tag->setTrack(5);
            tag->setGenre(T("Dangdut"));
            tag->setComment(T("Comment " + c.title));
            auto* composer = new TagLib::ID3v2::TextIdentificationFrame("TCOM", c.encoding);
            composer->setText(T("Composer"));
            tag->addFrame(composer);
            auto* lyrics = new TagLib::ID3v2::UnsynchronizedLyricsFrame(c.encoding);
            lyrics->setText(T("Lyrics " + c.title));
            tag->addFrame(lyrics);
            auto* apic = new TagLib::ID3v2::AttachedPictureFrame();
            apic->setMimeType("image/jpeg");
            apic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            apic->setDescription(T("cover"));
            apic->setTextEncoding(c.encoding);
            apic->setPicture(picture);
            tag->addFrame(apic);
            ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, c.version,
                                  TagLib::File::DoNotDuplicate))
                << label;
        }
        factory->setDefaultTextEncoding(TagLib::String::Latin1);

        TID3v2 ours;
        ASSERT_TRUE(ours.LoadTag(U(path))) << label;
        EXPECT_EQ(ours.MajorVersion(), c.version == TagLib::ID3v2::v3 ? 3 : 4) << label;
        EXPECT_EQ(S(ours.Title()), c.title) << label;
        EXPECT_EQ(S(ours.Artist()), "Artist " + c.title) << label;
        EXPECT_EQ(S(ours.Album()), "Album") << label;
        EXPECT_EQ(S(ours.Year()), "2004") << label;
        EXPECT_EQ(ours.TrackNo(), 5) << label;
        EXPECT_EQ(S(ours.Genre()), "Dangdut") << label;
        EXPECT_EQ(S(ours.Comment()), "Comment " + c.title) << label;
        EXPECT_EQ(S(ours.Composer()), "Composer") << label;
        EXPECT_EQ(S(ours.Lyrics()), "Lyrics " + c.title) << label;

        ours.SetTitle(u"Edited");
        ASSERT_TRUE(ours.SaveTag(U(path))) << label;
        TagLib::MPEG::File file(path.c_str());
        ASSERT_TRUE(file.hasID3v2Tag()) << label;
        TagLib::ID3v2::Tag& tag = *file.ID3v2Tag();
        EXPECT_EQ(S(tag.title()), "Edited") << label;
        EXPECT_EQ(S(tag.artist()), "Artist " + c.title) << label;
        EXPECT_EQ(tag.year(), 2004u) << label;
        const auto pictures = tag.frameListMap()["APIC"];
        ASSERT_EQ(pictures.size(), 1u) << label;
        const auto* apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(pictures.front());
        ASSERT_NE(apic, nullptr) << label;
        EXPECT_TRUE(apic->picture() == picture) << label;
        EXPECT_EQ(S(apic->description()), "cover") << label;
        EXPECT_EQ(S(apic->mimeType()), "image/jpeg") << label;
    }
}
