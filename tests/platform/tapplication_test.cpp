#include "platform/tapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <stdexcept>

namespace {

TEST(TApplicationTest, ErrorTextAddsFullStopOnlyAfterCharactersSortingAboveIt) {
    struct Case {
        const char* message;
        const char* shown;
    };
    for (const Case& c :
         {Case{"Unknown error code", "Unknown error code."}, Case{"Is it 5", "Is it 5."},
          Case{"What?", "What?."}, Case{"Done.", "Done."}, Case{"Stop!", "Stop!"},
          Case{"Trailing ", "Trailing "}, Case{"Bounds (-1)", "Bounds (-1)"}, Case{"", ""}}) {
        EXPECT_EQ(TApplication::errorText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown))
            << c.message;
    }
}

TEST(TApplicationTest, GuardedHandlerShowsErrorBoxWithTitleAndGoesOn) {
    int argc = 1;
    char name[] = "platform_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    std::vector<TApplication::MessageRequest> shown;
    auto previous = TApplication::instance().setPresenter([&](const auto& request) {
        shown.push_back(request);
        return QMessageBox::Ok;
    });
    int after = 0;
    auto handler = guarded([&](int value) {
        if (value < 0) {
            throw std::runtime_error("No MCI device open");
        }
        after = value;
    });
    handler(-1);
    handler(7);
    TApplication::instance().setPresenter(previous);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Tovra III [Velmo History]"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(shown[0].text, QStringLiteral("No MCI device open."));
    EXPECT_EQ(after, 7);
}

}  // namespace
