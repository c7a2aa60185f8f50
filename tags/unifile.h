#pragma once

// File access by UTF-16 name over POSIX calls. Names go to the kernel as UTF-8, and a name's
// bytes that are not UTF-8 travel as lone surrogates (see NativeToUtf16), so every file can be
// named and a name that stands for no bytes is refused (EILSEQ). The Windows sharing rules of
// the file mode are emulated with non-blocking flock, so they hold between all handles of this
// layer (also within one process); programs that take no locks are not held back.
// A handle that shares nothing takes an exclusive lock, any other a shared one.
// None of these functions raises: failures come back as INVALID_HANDLE_VALUE or false, with the
// reason in errno (UniLastError).

#include <cstdint>
#include <string>

using THandle = int;
inline constexpr THandle INVALID_HANDLE_VALUE = -1;

// File modes: 0xFFFF creates (or truncates) for reading and writing, sharing nothing. Any other
// value opens an existing file: access in bits 0-1, sharing in bits 4-7.
inline constexpr std::uint16_t fmCreate = 0xFFFF;
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;  // shares nothing
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;  // others may read
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;   // others may write
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;   // others may read and write

// Attribute bits of UniSetAttributes.
inline constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;

// Always true here: names are Unicode all the way down.
inline constexpr bool UseWideApi = true;

// Creates or truncates the file (mode fmCreate). An existing file locked by another handle is
// left as it was.
THandle UniCreateFile(const std::u16string& fileName);
// Creates a file that must not exist yet (EEXIST otherwise), for reading and writing, sharing
// nothing.
THandle UniCreateNewFile(const std::u16string& fileName);
// Opens an existing file (not a directory) with the access and sharing of mode. When size is
// given it receives the file's size at the open, which saves the caller asking for it.
THandle UniOpenFile(const std::u16string& fileName, std::uint16_t mode,
                    std::int64_t* size = nullptr);
// True when a file that is not a directory exists under the name.
bool UniFileExists(const std::u16string& fileName);
// True when any directory entry has the name (a file, a folder, a dangling link).
bool UniEntryExists(const std::u16string& fileName);
// Attributes 0 make the file writable for its owner (adds the owner's write permission and
// changes nothing else); FILE_ATTRIBUTE_READONLY takes every write permission away.
bool UniSetAttributes(const std::u16string& fileName, std::uint32_t attributes);
bool UniDeleteFile(const std::u16string& fileName);
// Renames; fails when the new name exists already, as the Windows call does.
bool UniMoveFile(const std::u16string& oldName, const std::u16string& newName);
// The absolute, normalised path; symbolic links are not resolved.
std::u16string UniFullPath(const std::u16string& fileName);
// The path with every symbolic link resolved (the file a link names); the name itself when it
// cannot be resolved.
std::u16string UniResolvedPath(const std::u16string& fileName);
// The system's text for an error code, or "Unspecified error (%d) from system." when it has none.
std::string UniErrorText(int errorCode);
// The error code of the last failed call of this layer (errno).
int UniLastError();

// Handle operations for callers that read through a handle (the MPEG analyser).
bool UniCloseHandle(THandle handle);
// Bytes read (fewer at the end of the file), or -1 on an error.
std::int64_t UniFileRead(THandle handle, void* buffer, std::int64_t count);
// origin: 0 from the beginning, 1 from the current position, 2 from the end. New position or -1.
std::int64_t UniFileSeek(THandle handle, std::int64_t offset, int origin);
// Size in bytes, or -1.
std::int64_t UniFileSize(THandle handle);
// What tells one version of a file from the next: the file itself, its size and the time of its
// last change. All zero when the handle cannot tell.
struct TFileVersion {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    friend bool operator==(const TFileVersion&, const TFileVersion&) = default;
};
TFileVersion UniFileVersion(THandle handle);

// Safe replacement of a file by a finished copy: renames source over target in one step (the
// target is never missing) and flushes the folder so the rename is on disk.
bool UniReplaceFile(const std::u16string& source, const std::u16string& target);
// Flushes the folder that holds the file, so a new entry in it survives a crash.
bool UniFlushFolder(const std::u16string& fileName);
// Gives the file behind to the owner, group, extended attributes (ACLs among them) and permission
// bits of the file behind from, plus the owner's write permission (the attributes of a rewritten
// file are cleared). False (EPERM) when the owner or group cannot be given, which only a
// privileged process may do for another user's file.
bool UniCopyAttributes(THandle from, THandle to);
// The name as the kernel takes it; false (errno set) when the name cannot be one.
bool UniNativeName(const std::u16string& fileName, std::string& out);
