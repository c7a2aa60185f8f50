// Writes the TagLib-made fixtures of this folder: an ID3v2 tag of a chosen version and text
// encoding, with the frames taggers commonly write, on an MP3 file that has none yet.
// Usage: writetags FILE VERSION(3|4) ENCODING(latin1|utf16|utf8) [trailers] [long] [front=JPEG]
//   trailers: also an APE tag and an ID3v1 tag; long: lyrics and a comment of many kilobytes;
//   front: the front cover (else cover.jpg), written first among the frames.
// Built and run by make.sh; not part of the program or its tests.

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/generalencapsulatedobjectframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/popularimeterframe.h>
#include <taglib/privateframe.h>
#include <taglib/textidentificationframe.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

using namespace TagLib;

namespace {

String U(const char* utf8) {
    return String(utf8, String::UTF8);
}

ByteVector FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ByteVector(bytes.data(), static_cast<unsigned>(bytes.size()));
}

void Text(ID3v2::Tag& tag, const char* id, StringList values, String::Type encoding) {
    auto* frame = new ID3v2::TextIdentificationFrame(id, encoding);
    frame->setText(values);
    tag.addFrame(frame);
}

void Comment(ID3v2::Tag& tag, const char* language, const char* description, const String& text,
             String::Type encoding) {
    auto* frame = new ID3v2::CommentsFrame(encoding);
    frame->setLanguage(language);
    frame->setDescription(U(description));
    frame->setText(text);
    tag.addFrame(frame);
}

void Picture(ID3v2::Tag& tag, const char* mime, ID3v2::AttachedPictureFrame::Type type,
             const char* description, const char* path, String::Type encoding) {
    auto* frame = new ID3v2::AttachedPictureFrame();
    frame->setTextEncoding(encoding);
    frame->setMimeType(mime);
    frame->setType(type);
    frame->setDescription(U(description));
    frame->setPicture(FileBytes(path));
    tag.addFrame(frame);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE VERSION ENCODING [trailers] [long]\n", argv[0]);
        return 2;
    }
    const int version = std::atoi(argv[2]);
    const std::string name = argv[3];
    const String::Type encoding = name == "utf16"  ? String::UTF16
                                  : name == "utf8" ? String::UTF8
                                                   : String::Latin1;
    bool trailers = false;
    bool longTexts = false;
    std::string front;
    for (int i = 4; i < argc; ++i) {
        trailers = trailers || std::strcmp(argv[i], "trailers") == 0;
        longTexts = longTexts || std::strcmp(argv[i], "long") == 0;
        if (std::strncmp(argv[i], "front=", 6) == 0) {
            front = argv[i] + 6;
        }
    }
    const bool latin = encoding == String::Latin1;
    ID3v2::FrameFactory::instance()->setDefaultTextEncoding(encoding);

    MPEG::File file(argv[1]);
    if (!file.isValid()) {
        std::fprintf(stderr, "%s: not an MPEG file\n", argv[1]);
        return 1;
    }
    ID3v2::Tag& tag = *file.ID3v2Tag(true);
    if (!front.empty()) {
        Picture(tag, "image/jpeg", ID3v2::AttachedPictureFrame::FrontCover, "cover", front.c_str(),
                encoding);
    }
    Text(tag, "TIT2", U(latin ? "Caf\u00e9 del Mar" : "\u041f\u0435\u0441\u043d\u044f \u2603"),
         encoding);
    Text(tag, "TPE1",
         StringList(U("Artist One")).append(U(latin ? "Artist Tw\u00f6" : "\u827a\u672f\u5bb6")),
         encoding);
    Text(tag, "TALB", U("Album of Tests"), encoding);
    Text(tag, "TRCK", U("3/12"), encoding);
    Text(tag, "TDRC", U("2001-05-06T12:30"), encoding);
    Text(tag, "TCON", StringList(U("Rock")).append(U("Dangdut")), encoding);
    Comment(tag, "eng", "", U(latin ? "A comment \u00e0 la carte" : "\u8a55\u8ad6 comment"),
            encoding);
    Comment(tag, "deu", "", U("Ein Kommentar"), encoding);
    Comment(tag, "eng", "iTunNORM", U(" 00000318 000002D6 00001B36"), encoding);
    auto* lyrics = new ID3v2::UnsynchronizedLyricsFrame(encoding);
    lyrics->setLanguage("eng");
    lyrics->setDescription(U("verse"));
    std::string words = "First line\r\nSecond line";
    if (longTexts) {
        words.clear();
        for (int i = 0; words.size() < 12000; ++i) {
            words += "Line " + std::to_string(i) + " of a long song\r\n";
        }
    }
    lyrics->setText(U(words.c_str()));
    tag.addFrame(lyrics);
    if (longTexts) {
        std::string comment;
        while (comment.size() < 7000) {
            comment += "A long comment goes on. ";
        }
        tag.removeFrames("COMM");
        Comment(tag, "eng", "", U(comment.c_str()), encoding);
    }
    auto* txxx = new ID3v2::UserTextIdentificationFrame(encoding);
    txxx->setDescription(U("MusicBrainz Album Id"));
    txxx->setText(U("0b3b8f30-1f1b-4c1b-9c8e-3f1b2b2c1d1e"));
    tag.addFrame(txxx);
    auto* gain = new ID3v2::UserTextIdentificationFrame(encoding);
    gain->setDescription(U("REPLAYGAIN_TRACK_GAIN"));
    gain->setText(U("-6.50 dB"));
    tag.addFrame(gain);
    auto* priv = new ID3v2::PrivateFrame();
    priv->setOwner(U("WM/MediaClassPrimaryID"));
    priv->setData(
        ByteVector("\xbc\x7d\x60\xd1\x23\xe3\xe2\x4b\x86\xa1\x48\xa4\x2a\x28\x44\x1e", 16));
    tag.addFrame(priv);
    tag.addFrame(new ID3v2::UniqueFileIdentifierFrame(U("http://musicbrainz.org"),
                                                      ByteVector("5a1f6a7e-track-id")));
    auto* popm = new ID3v2::PopularimeterFrame();
    popm->setEmail(U("rater@example.org"));
    popm->setRating(196);
    popm->setCounter(7);
    tag.addFrame(popm);
    auto* geob = new ID3v2::GeneralEncapsulatedObjectFrame();
    geob->setTextEncoding(encoding);
    geob->setMimeType("application/octet-stream");
    geob->setFileName(U("data.bin"));
    geob->setDescription(U("blob"));
    geob->setObject(ByteVector("\x00\x01\x02\xff\xfe\x00", 6));
    tag.addFrame(geob);
    if (front.empty()) {
        Picture(tag, "image/jpeg", ID3v2::AttachedPictureFrame::FrontCover, "cover", "cover.jpg",
                encoding);
    }
    Picture(tag, "image/png", ID3v2::AttachedPictureFrame::BackCover, "", "cover.png", encoding);
    Text(tag, "TPE2", U("Album Artist"), encoding);
    Text(tag, "TPOS", U("1/2"), encoding);
    Text(tag, "TBPM", U("120"), encoding);
    Text(tag, "TCMP", U("1"), encoding);
    Text(tag, "TIT1", U("Grouping"), encoding);
    Text(tag, "TIT3", U("Subtitle"), encoding);
    Text(tag, "TSOP", U("One, Artist"), encoding);
    Text(tag, "TSOA", U("Album of Tests, The"), encoding);
    Text(tag, "TCOM", U("Composer"), encoding);
    Text(tag, "TENC", U("Encoded by"), encoding);
    Text(tag, "TCOP", U("2001 Someone"), encoding);
    Text(tag, "TLAN", U("ind"), encoding);
    Text(tag, "TOPE", U("Original Artist"), encoding);
    Text(tag, "TSSE", U("LAME 3.100"), encoding);
    Text(tag, "TDOR", U("1999-02-03"), encoding);
    Text(tag, "TIPL", StringList(U("producer")).append(U("Ana")).append(U("mix")).append(U("Budi")),
         encoding);
    Text(tag, "TMOO", U("Calm"), encoding);
    auto* wxxx = new ID3v2::UserUrlLinkFrame(encoding);
    wxxx->setDescription(U("home"));
    wxxx->setUrl("http://example.org/home");
    tag.addFrame(wxxx);
    auto* woar = new ID3v2::UrlLinkFrame("WOAR");
    woar->setUrl("http://example.org/artist");
    tag.addFrame(woar);

    int tags = MPEG::File::ID3v2;
    if (trailers) {
        tags |= MPEG::File::APE | MPEG::File::ID3v1;
        file.APETag(true)->setTitle(U("APE title"));
        file.APETag(true)->setArtist(U("APE artist"));
        file.ID3v1Tag(true)->setTitle(U("ID3v1 title"));
        file.ID3v1Tag(true)->setTrack(3);
    }
    const bool saved = file.save(tags, File::StripOthers, version == 3 ? ID3v2::v3 : ID3v2::v4,
                                 File::DoNotDuplicate);
    return saved ? 0 : 1;
}
