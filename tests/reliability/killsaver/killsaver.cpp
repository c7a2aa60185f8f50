// Saves tags in an endless loop so that a test can kill it at any moment and look at the file.
//   killsaver MODE FILE step N   makes save number N of the loop once and ends
//   killsaver MODE FILE loop     saves step 0, 1, 2, ... until killed; "ready" once it begins
// Modes: id3v2-copy (every save rewrites the file through a temporary copy), id3v2-inplace
// (every save overwrites the tag's own bytes), id3v1 (Lyrics3 block and tag saved, then
// stripped, alternately with two texts), wma (an attribute written through the module).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tags/textcodec.h"
#include "tags/tid3v1.h"
#include "tags/tid3v2.h"
#include "tags/wmatags.h"

namespace {

bool SaveId3v2(const std::u16string& file, bool copying, bool b) {
    TID3v2 tag;
    tag.LoadTag(file);
    tag.SetTitle(b ? u"Second title" : u"First title");
    // Past the padded size the tag is rewritten on every save, so each one copies the file.
    const std::size_t length = copying ? (b ? 9000 : 5000) : (b ? 700 : 300);
    tag.SetComment(std::u16string(length, b ? u'b' : u'a'));
    return tag.SaveTag(file);
}

// State A: no trailer. State B: tag and block. The loop saves with two alternating lyrics and
// strips in between.
bool SaveId3v1(const std::u16string& file, int step) {
    TID3v1 tag;
    if (!tag.Load(file)) {
        return false;
    }
    if (step % 2 == 1) {
        return tag.Strip(file);
    }
    const bool longer = step % 4 == 0;
    tag.SetTitle("A title longer than the thirty bytes of the tag");
    tag.SetArtist("Artist");
    tag.SetLyricsAuthor("Author");
    tag.SetLyrics(std::string(longer ? 6000 : 2500, longer ? 'L' : 'l'));
    return tag.Save(file);
}

bool SaveWma(const std::u16string& file, bool b) {
    TWmaHost host;
    host.ShowMessage = [](TWmaMessageKind, const std::string& text) {
        std::fprintf(stderr, "%s\n", text.c_str());
    };
    TTagsData tags;
    if (!ReadWmaTags(file, tags, host)) {
        return false;
    }
    tags.Title = b ? "Second title" : "First title";
    tags.Description = std::u16string(b ? 3000 : 1000, b ? u'b' : u'a');
    return WriteWmaTags(file, tags, host);
}

bool Save(const std::string& mode, const std::u16string& file, int step) {
    const bool b = step % 2 == 0;
    if (mode == "id3v2-copy" || mode == "id3v2-inplace") {
        return SaveId3v2(file, mode == "id3v2-copy", b);
    }
    if (mode == "id3v1") {
        return SaveId3v1(file, step);
    }
    if (mode == "wma") {
        return SaveWma(file, b);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: killsaver MODE FILE step N | loop\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::u16string file = Utf8ToUtf16(argv[2]);
    if (std::strcmp(argv[3], "step") == 0 && argc == 5) {
        return Save(mode, file, std::atoi(argv[4])) ? 0 : 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (int step = 0;; ++step) {
        if (!Save(mode, file, step)) {
            std::fprintf(stderr, "save %d failed\n", step);
            return 1;
        }
    }
}
