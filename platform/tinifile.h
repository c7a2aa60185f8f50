#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

// Raised when the INI file can't be written ("Unable to write to %s").
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A private-profile INI file: "[Section]" lines and "key=value" lines below them.
// Every call reads the file afresh and every write rewrites it at once, as the profile calls do:
// sections and keys are matched without regard to case, a key that exists is updated in place,
// a new key goes after the last line of its section, a new section at the end, and every other
// line (comments, blank lines, foreign sections) is kept as it was.
class TIniFile {
public:
    explicit TIniFile(QString fileName);

    const QString& FileName() const { return fileName_; }

    // The value with surrounding blanks removed, and one pair of matching quotes around it;
    // Default when the file, the section or the key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& Default) const;
    // Decimal, or hexadecimal after "0x"; Default when missing or not a whole number.
    int ReadInteger(const QString& section, const QString& key, int Default) const;

    // Raise EIniFileException when the file can't be written; the old file is then left whole.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

private:
    QStringList readLines() const;
    void writeLines(const QStringList& lines) const;

    QString fileName_;
};
