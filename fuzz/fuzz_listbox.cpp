// The list box text files (the two playlists and the settings file): any bytes load, and what
// is saved loads back as the same lines.
#include <QApplication>

#include "controls/tdndlistbox.h"
#include "fuzzfile.h"

namespace {

QApplication& Application() {
    static int argc = 1;
    static char name[] = "fuzz_listbox";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *application;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Application();
    static const FuzzFile input(".Txt");
    static const FuzzFile output(".Korvi");
    input.Write(data, size);
    static TDnDListBox* box = new TDnDListBox;
    box->LoadFromFile(QString::fromStdString(input.Path()));
    const QStringList lines = box->Lines();
    box->SaveToFile(QString::fromStdString(output.Path()));
    box->Clear();
    box->LoadFromFile(QString::fromStdString(output.Path()));
    FUZZ_CHECK(box->Lines() == lines);
    return 0;
}
