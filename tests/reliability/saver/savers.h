#pragma once

// One save of each tag writer, as the fault tests and their helper process run it: value goes
// into one field, and a long text makes the tag grow, so the save needs more room than the file
// has (ID3v1 appends, ID3v2 and WMA rewrite the file through a copy).

#include <string>
#include <vector>

#include "tags/textcodec.h"
#include "tags/tid3v1.h"
#include "tags/tid3v2.h"
#include "tags/wmatags.h"

namespace savers {

// The messages a WMA save showed, in order.
inline std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
}

inline TWmaHost Host() {
    TWmaHost host;
    host.ShowMessage = [](TWmaMessageKind, const std::string& text) { Messages().push_back(text); };
    return host;
}

// kind: "id3v1", "id3v2", "wma-title" or "wma-album".
inline bool Save(const std::string& kind, const std::u16string& file, const std::string& value) {
    if (kind == "id3v1") {
        TID3v1 tag;
        tag.Load(file);
        tag.SetTitle(value);
        tag.SetLyrics(std::string(8000, 'l') + value);
        return tag.Save(file);
    }
    if (kind == "id3v2") {
        TID3v2 tag;
        tag.LoadTag(file);
        tag.SetTitle(Utf8ToUtf16(value));
        tag.SetComment(std::u16string(6000, u'c') + Utf8ToUtf16(value));
        return tag.SaveTag(file);
    }
    std::string native;
    TTagsData tags;
    if (!Utf16ToNative(file, native) || !LoadWmaTags(native, tags, Host())) {
        return false;
    }
    if (kind == "wma-album") {
        tags.AlbumTitle = value;
    } else {
        tags.Title = value;
        tags.Lyrics = std::u16string(8000, u'l') + Utf8ToUtf16(value);
    }
    return SaveWmaTags(tags, Host());
}

}  // namespace savers
