#pragma once

#include <cstdint>
#include <string>

// The figures of an ASF file's File Properties object that the editor reports as derived
// attributes. Read on its own because TagLib keeps only rounded values of them.
struct TAsfFileProperties {
    std::uint64_t PlayDuration = 0;  // 100-ns units, preroll included
    std::uint64_t Preroll = 0;       // ms
    std::uint32_t MaxBitrate = 0;    // bit/s
    // Where the objects that hold attributes start, 0 for one the header lacks: the Extended
    // Content Description and the Header Extension among the header's objects, the Metadata and
    // Metadata Library objects within the Header Extension. A reader lists the values of one
    // name in the order these objects stand.
    std::uint64_t ExtendedContentAt = 0;
    std::uint64_t HeaderExtensionAt = 0;
    std::uint64_t MetadataAt = 0;
    std::uint64_t MetadataLibraryAt = 0;

    // Play time in 100-ns units without the preroll; 0 when the header says less.
    std::uint64_t Duration() const;

    // Walks the header's top-level objects of the file at path (UTF-8). False when the file is
    // not ASF, its header claims more bytes than the file has, an object overruns the header (or
    // the Header Extension object it is in), an attribute object declares more records than it
    // has room for, or no complete File Properties object is found; the fields are then 0.
    bool Read(const std::string& path);
};
