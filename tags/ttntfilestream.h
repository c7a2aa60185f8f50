#pragma once

// A file stream opened by a UTF-16 name with a 16-bit file mode (see unifile.h). The constructor
// raises EFCreateError (mode 0xFFFF) or EFOpenError when the file cannot be had; the stream owns
// its handle and closes it on destruction. A stream can also stand for a file held in memory:
// the fuzz targets run the tag code on bytes, with no file system between inputs.

#include "tags/bytes.h"
#include "tags/unifile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TTntFileStream {
public:
    TTntFileStream(const std::u16string& fileName, std::uint16_t mode);
    // Takes over a handle the file layer opened (not negative).
    TTntFileStream(THandle handle, const std::u16string& fileName);
    // Reads and writes the bytes, which the caller keeps for the stream's life, as a file.
    explicit TTntFileStream(Bytes& memory);
    ~TTntFileStream();
    TTntFileStream(const TTntFileStream&) = delete;
    TTntFileStream& operator=(const TTntFileStream&) = delete;

    THandle Handle() const { return handle_; }
    const std::u16string& FileName() const { return fileName_; }

    // For a stream that is only read, in small pieces here and there (the MPEG analyser reads a
    // tag's header and frames, the first audio frame and the tags at the end): from now on
    // ReadAt keeps what it reads and a little beyond, so the pieces of an ordinary file come in
    // with one call for its head and one for its tail, and Size is the size found at the open.
    // Writing ends it.
    void KeepReads();

    // Reads up to count bytes; fewer at the end of the file, -1 on an error.
    std::int64_t Read(void* buffer, std::int64_t count);
    // The same from a given offset in one call, leaving the position alone.
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::int64_t count);
    // Writes count bytes; the result is the number written (fewer only on an error).
    std::int64_t Write(const void* buffer, std::int64_t count);
    // Read and Write that raise EReadError / EWriteError unless all count bytes moved.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);

    // New position, or -1 on an error.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin);
    std::int64_t Position() const;
    void SetPosition(std::int64_t position);
    std::int64_t Size() const;
    // Cuts or extends the file and moves the position to its new end; raises EWriteError.
    void SetSize(std::int64_t size);
    // Puts the file's data on disk; raises EWriteError.
    void Flush();
    // Asks the system to start writing a range to disk without waiting for it; a later Flush
    // then has less to wait for. Only a hint: failures are ignored.
    void StartWriteback(std::int64_t offset, std::int64_t count);

private:
    // Bytes read at an offset, in a block of keptBytes_; toEnd when they reach the end of the
    // file.
    static constexpr std::int64_t kPieceSize = 4096;
    static constexpr std::size_t kKeptPieces = 3;
    struct TKept {
        std::int64_t at = 0;
        std::int64_t length = 0;
        bool toEnd = false;
        std::uint8_t* bytes = nullptr;
    };
    std::int64_t ReadFromFile(std::int64_t position, void* buffer, std::int64_t count);
    // The kept piece that holds count bytes from position on, or all there are up to the end.
    const TKept* KeptFor(std::int64_t position, std::int64_t count) const;
    TKept& NewPiece();
    void ForgetReads();

    std::u16string fileName_;
    THandle handle_ = INVALID_HANDLE_VALUE;
    // A file in memory, and the position in it.
    Bytes* memory_ = nullptr;
    std::int64_t memoryPosition_ = 0;
    // The size the open found; -1 when the stream did not open the file itself.
    std::int64_t openSize_ = -1;
    bool keepReads_ = false;
    // The head as its first read asked for it, then the newest pieces read after others.
    std::array<TKept, kKeptPieces> kept_;
    std::size_t keptCount_ = 0;
    // Filled by the reads that keep pieces, never read before.
    std::array<std::array<std::uint8_t, kPieceSize>, kKeptPieces> keptBytes_;
};

// A stream for reading a file by name (others may read beside it) or one held in memory; raises
// as the constructors do.
std::unique_ptr<TTntFileStream> OpenToRead(const std::u16string& fileName);
std::unique_ptr<TTntFileStream> OpenToRead(Bytes& file);
