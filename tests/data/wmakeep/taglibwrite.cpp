// Writes the attributes of the preservation files with TagLib's own ASF writer: several values
// under one name, values that are not text, a value in another language and one that belongs
// to a stream. Built and run by make.sh.
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/asftag.h>

#include <cstdio>

namespace {

TagLib::ASF::Attribute Text(const char* utf8) {
    return TagLib::ASF::Attribute(TagLib::String(utf8, TagLib::String::UTF8));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: taglibwrite FILE\n");
        return 2;
    }
    TagLib::ASF::File file(argv[1]);
    TagLib::ASF::Tag* tag = file.tag();
    if (!file.isValid() || tag == nullptr) {
        return 1;
    }
    tag->setTitle(TagLib::String("Dua Nama", TagLib::String::UTF8));
    tag->setArtist(TagLib::String("Sari Wening", TagLib::String::UTF8));
    tag->setComment(TagLib::String("Rekaman rumah", TagLib::String::UTF8));
    // Two different values under one name, the shown one last.
    tag->addAttribute("Author", Text("Budi Santoso"));
    tag->addAttribute("Author", Text("Wulan Sari"));
    tag->addAttribute("WM/Genre", Text("Keroncong"));
    tag->addAttribute("WM/Genre", Text("Jazz"));
    tag->addAttribute("WM/Composer", Text("Ismail Marzuki"));
    tag->addAttribute("WM/Composer", Text("Gesang"));
    tag->addAttribute("WM/AlbumTitle", Text("Lagu Senja"));
    tag->addAttribute("WM/Year", Text("2001"));
    tag->addAttribute("WM/EncodedBy", Text("TagLib"));
    // Values of other types, under names the dialog shows and names it does not.
    tag->addAttribute("WM/TrackNumber", TagLib::ASF::Attribute(7u));
    tag->addAttribute("WM/IsCompilation", TagLib::ASF::Attribute(true));
    tag->addAttribute("WM/BeatsPerMinute", TagLib::ASF::Attribute(static_cast<unsigned short>(96)));
    tag->addAttribute("WM/MediaClassSecondaryID", TagLib::ASF::Attribute(1234567890123ull));
    TagLib::ASF::Picture picture;
    picture.setMimeType("image/png");
    picture.setType(TagLib::ASF::Picture::FrontCover);
    picture.setPicture(TagLib::ByteVector(1500, '\x5a'));
    tag->addAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
    tag->addAttribute("WM/UniqueFileIdentifier",
                      TagLib::ASF::Attribute(TagLib::ByteVector(20, '\x11')));
    // A value in another language and one of the first stream go to other header objects.
    TagLib::ASF::Attribute lyrics = Text("Baris satu\r\nBaris dua");
    lyrics.setLanguage(1);
    tag->addAttribute("WM/Lyrics", lyrics);
    TagLib::ASF::Attribute streamName = Text("Suara");
    streamName.setStream(1);
    tag->addAttribute("WM/StreamName", streamName);
    return file.save() ? 0 : 1;
}
