#pragma once

// One save of a file, the one place where tag writers change files. The file (a symbolic link is
// followed to the file it names) is held with an exclusive lock from construction to the end, so
// no other save through this layer, in this program or another, runs on it at the same time.
// Two ways to save:
// - in place: the file is opened for reading and writing; a read-only file is made writable for
//   its owner first;
// - through a copy: the new content goes into a copy beside the file ("name~"), which Commit
//   gives the file's owner, group, extended attributes (and with them ACLs) and permissions,
//   puts on disk and renames over the file, so that the file is the old one or the new one
//   whenever the program ends.
// Until Commit succeeds the save is refused as a whole: the destructor removes the copy and puts
// back the permissions the save changed.
// A save of a file held in memory takes the same steps on bytes (the fuzz targets).

#include "tags/bytes.h"
#include "tags/ttntfilestream.h"

#include <sys/types.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TFileSave {
public:
    enum class TWay { InPlace, ThroughCopy };

    // Raises EFOpenError when the file cannot be had: missing, not made writable (in place), or
    // held by another handle.
    TFileSave(const std::u16string& fileName, TWay way);
    // The save of bytes the caller keeps for the save's life: Commit replaces them by the copy.
    TFileSave(Bytes& memory, TWay way);
    ~TFileSave();
    TFileSave(const TFileSave&) = delete;
    TFileSave& operator=(const TFileSave&) = delete;

    // The file saved (a link's target), open for reading, and for writing when in place.
    const std::u16string& FileName() const { return fileName_; }
    TTntFileStream& File() { return *file_; }
    // True when the file still has this size and begins with these bytes, as it did when the
    // caller measured it.
    bool Unchanged(ByteSpan start, std::int64_t size);

    // The copy, created empty on first use; raises EFCreateError.
    TTntFileStream& Copy();
    const std::u16string& CopyName() const { return copyName_; }
    // Appends the file's bytes from offset to its end to the copy; raises on a short read or
    // write.
    void CopyRest(std::int64_t offset);

    // Finishes the save: in place, puts the file's data on disk; through a copy, replaces the
    // file by it. Raises EWriteError, and then the file is as it was.
    void Commit();

private:
    void RestoreMode();

    std::u16string fileName_;
    std::u16string copyName_;
    TWay way_;
    std::optional<mode_t> oldMode_;  // the permissions to put back when the save fails
    std::unique_ptr<TTntFileStream> file_;
    std::unique_ptr<TTntFileStream> copy_;
    bool committed_ = false;
    // A file in memory and its copy.
    Bytes* memory_ = nullptr;
    Bytes memoryCopy_;
};

// Rewrites the file as head followed by its own bytes from keepFrom on, through a copy. False,
// with the file as it was, when it no longer has expectedSize bytes beginning with expectedStart
// or any step fails.
bool UniRewriteFile(const std::u16string& fileName, ByteSpan expectedStart,
                    std::int64_t expectedSize, ByteSpan head, std::int64_t keepFrom);
// The same through a save made through a copy.
bool UniRewriteFile(TFileSave& save, ByteSpan expectedStart, std::int64_t expectedSize,
                    ByteSpan head, std::int64_t keepFrom);

// Writes bytes over the start of the file in place, under the same check. The old bytes are
// kept, so that a failed write or flush puts them back.
bool UniWriteInPlace(const std::u16string& fileName, ByteSpan expectedStart,
                     std::int64_t expectedSize, ByteSpan bytes);
// The same through a save made in place.
bool UniWriteInPlace(TFileSave& save, ByteSpan expectedStart, std::int64_t expectedSize,
                     ByteSpan bytes);
