// The INI reader and writer on any file: reading the player's keys never fails, and what is
// written reads back.
#include <QString>

#include "fuzzfile.h"
#include "platform/tinifile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(".INI");
    file.Write(data, size);
    TIniFile ini(QString::fromStdString(file.Path()));
    const QString form = QStringLiteral("Form");
    const int top = ini.ReadInteger(form, QStringLiteral("Top"), -1);
    ini.ReadInteger(form, QStringLiteral("Left"), -1);
    ini.ReadString(form, QStringLiteral("Caption"), QString());

    const QString caption = QStringLiteral("Tovra III");
    ini.WriteInteger(form, QStringLiteral("Top"), top == -1 ? 17 : top / 2);
    ini.WriteString(form, QStringLiteral("Caption"), caption);
    FUZZ_CHECK(ini.ReadInteger(form, QStringLiteral("Top"), -2) == (top == -1 ? 17 : top / 2));
    FUZZ_CHECK(ini.ReadString(form, QStringLiteral("Caption"), QString()) == caption);
    return 0;
}
