#pragma once

// Frames of a version-2.2 or 2.4 tag in the form a strict version-2.3 reader reads: identifiers
// and flags of version 2.3, text in the encodings 2.3 defines (UTF-8 and UTF-16BE become UTF-16
// with a byte-order mark), a recording time in TYER, TDAT and TIME, an original release time in
// TORY, the people lists TIPL and TMCL in one IPLS, a version-2.2 picture as APIC with its MIME
// type. Frames 2.3 has no identifier for keep theirs with their text converted; compressed and
// encrypted frames keep their bytes. Converted text reads as the text it came from.

#include "tags/id3v2frames.h"

#include <vector>

// A frame with no version-2.3 form that any reader could show is dropped: a version-2.2 frame
// of an unknown identifier, a compressed version-2.4 frame without the decompressed size, a
// frame of no bytes.
std::vector<TID3v2Frame> ToVersion3(const TID3v2Frames& tag);
