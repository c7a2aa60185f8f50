#include "platform/tinifile.h"

#include <QFile>
#include <QSaveFile>

#include <optional>

namespace {

// "[Name]" gives Name; any other line gives nothing.
std::optional<QString> sectionName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(QLatin1Char('[')) ||
        !trimmed.endsWith(QLatin1Char(']'))) {
        return std::nullopt;
    }
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

bool isKeyLine(const QString& line, const QString& key) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq >= 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The lines of one section: [first, end) holds its key lines, header is the "[Section]" line.
struct SectionRange {
    qsizetype header = -1;
    qsizetype first = 0;
    qsizetype end = 0;
};

std::optional<SectionRange> findSection(const QStringList& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (!name || !sameName(*name, section)) {
            continue;
        }
        SectionRange range{i, i + 1, i + 1};
        while (range.end < lines.size() && !sectionName(lines[range.end])) {
            ++range.end;
        }
        return range;
    }
    return std::nullopt;
}

std::optional<qsizetype> findKey(const QStringList& lines, const SectionRange& range,
                                 const QString& key) {
    for (qsizetype i = range.first; i < range.end; ++i) {
        if (isKeyLine(lines[i], key)) {
            return i;
        }
    }
    return std::nullopt;
}

QString unquote(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

}  // namespace

TIniFile::TIniFile(QString fileName) : fileName_(std::move(fileName)) {}

QStringList TIniFile::readLines() const {
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

void TIniFile::writeLines(const QStringList& lines) const {
    // Written beside the old file and renamed over it, so a failed write leaves the old one whole.
    QSaveFile file(fileName_);
    QByteArray data;
    for (const QString& line : lines) {
        data += line.toUtf8();
        data += "\r\n";
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        throw EIniFileException(
            QStringLiteral("Unable to write to %1").arg(fileName_).toStdString());
    }
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& Default) const {
    const QStringList lines = readLines();
    const auto range = findSection(lines, section);
    if (!range) {
        return Default;
    }
    const auto index = findKey(lines, *range, key);
    if (!index) {
        return Default;
    }
    const QString& line = lines[*index];
    return unquote(line.mid(line.indexOf(QLatin1Char('=')) + 1));
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int Default) const {
    QString text = ReadString(section, key, QString());
    int base = 10;
    if (text.size() > 2 && text[0] == QLatin1Char('0') &&
        (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X'))) {
        text = text.mid(2);
        base = 16;
    }
    bool ok = false;
    const int value = text.toInt(&ok, base);
    return ok ? value : Default;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    QStringList lines = readLines();
    const QString entry = key + QLatin1Char('=') + value;
    const auto range = findSection(lines, section);
    if (!range) {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(entry);
    } else if (const auto index = findKey(lines, *range, key)) {
        lines[*index] = entry;
    } else {
        // After the section's last non-blank line, so a blank line before the next section stays.
        qsizetype at = range->end;
        while (at > range->first && lines[at - 1].trimmed().isEmpty()) {
            --at;
        }
        lines.insert(at, entry);
    }
    writeLines(lines);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}
