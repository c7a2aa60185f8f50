#pragma once

#include <QSaveFile>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

// A text file of lines as the program keeps its lists beside itself: the locale's 8-bit text
// (UTF-8) taken as bytes, every line ending in CR LF when written; reading takes CR, LF or CR LF.
// The bytes go through unchanged, so a name that is not valid UTF-8 comes back as it was.
//
// Errors are those of a list box's file calls: "Cannot open file \"<absolute path>\". <reason>"
// (EFOpenError) for a file that can't be read, "Cannot create file ..." (EFCreateError) for one
// that can't be written, EReadError and EWriteError for a failed transfer.
class TLineFile {
public:
    // Gives each line, without its ending, to addLine in order. A last line without an ending
    // still counts; an empty file has no lines. The file is read in blocks, so a long list never
    // sits in memory twice.
    static void Read(const QString& path, const std::function<void(std::string_view)>& addLine);

    // Starts writing the file: the lines go to a temporary file beside it that Commit moves over
    // it, so a failed save never leaves half a file.
    explicit TLineFile(const QString& path);
    TLineFile(const TLineFile&) = delete;
    TLineFile& operator=(const TLineFile&) = delete;

    // A CR or LF inside a line (legal in a Linux file name) would split it in two when read back
    // and shift every later line; it is written as "?".
    void Add(std::string_view line);
    void Commit();

private:
    void Flush();

    QSaveFile file_;
    std::string block_;
};
