#pragma once

// A WMA file as an independent reader (TagLib) sees it, to compare before and after a save:
// every attribute value under its name in upper case (the content description's texts under
// their attribute names), and the media bytes that follow the header.

#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tags/bytes.h"

namespace asftest {

struct TSnapshot {
    // "type stream language value" for each value, in TagLib's order.
    std::map<std::string, std::vector<std::string>> Values;
    Bytes Media;
};

inline std::string Upper(std::string text) {
    for (char& c : text) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    return text;
}

inline std::string Described(const TagLib::ASF::Attribute& a) {
    std::string value;
    switch (a.type()) {
        case TagLib::ASF::Attribute::UnicodeType:
            value = "text:" + a.toString().to8Bit(true);
            break;
        case TagLib::ASF::Attribute::BoolType:
            value = std::to_string(a.toBool());
            break;
        case TagLib::ASF::Attribute::WordType:
            value = std::to_string(a.toUShort());
            break;
        case TagLib::ASF::Attribute::DWordType:
            value = std::to_string(a.toUInt());
            break;
        case TagLib::ASF::Attribute::QWordType:
            value = std::to_string(a.toULongLong());
            break;
        default:
            value = "bytes:" + std::string(a.toByteVector().data(), a.toByteVector().size());
            break;
    }
    return std::to_string(a.type()) + " " + std::to_string(a.stream()) + " " +
           std::to_string(a.language()) + " " + value;
}

inline TSnapshot Snapshot(const std::string& path) {
    TSnapshot snapshot;
    {
        TagLib::ASF::File file(path.c_str());
        const TagLib::ASF::Tag* tag = file.tag();
        const std::pair<const char*, TagLib::String> content[] = {
            {"TITLE", tag->title()},         {"AUTHOR", tag->artist()},
            {"COPYRIGHT", tag->copyright()}, {"DESCRIPTION", tag->comment()},
            {"RATING", tag->rating()},
        };
        for (const auto& [name, text] : content) {
            if (!text.isEmpty()) {
                snapshot.Values[name].push_back("content " + text.to8Bit(true));
            }
        }
        for (const auto& [name, list] : tag->attributeListMap()) {
            for (const TagLib::ASF::Attribute& attribute : list) {
                snapshot.Values[Upper(name.to8Bit(true))].push_back(Described(attribute));
            }
        }
    }
    std::ifstream in(path, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The Header Object's size is the 64-bit number after its GUID.
    std::uint64_t header = 0;
    for (int i = 7; i >= 0 && bytes.size() >= 24; --i) {
        header = header << 8 | bytes[16 + static_cast<std::size_t>(i)];
    }
    if (header <= bytes.size()) {
        snapshot.Media.assign(bytes.begin() + static_cast<std::ptrdiff_t>(header), bytes.end());
    }
    return snapshot;
}

}  // namespace asftest
