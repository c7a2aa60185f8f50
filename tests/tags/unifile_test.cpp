#include "tags/unifile.h"
#include "tags/efileerror.h"
#include "tags/ttntfilestream.h"

#include "tagfixtures.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

using namespace fixtures;

TEST(UniFile, OpeningAMissingFileNamesItsAbsolutePathAndTheReason) {
    TempDir dir;
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path());
    try {
        TTntFileStream stream(u"sub/../missing.mp3", fmShareDenyWrite);
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + dir.file("missing.mp3") + "\". " + std::strerror(ENOENT));
    }
    std::filesystem::current_path(cwd);
}

TEST(UniFile, CreatingInAMissingFolderRaisesTheCreateError) {
    TempDir dir;
    const std::string name = dir.file("no/such/folder/x.mp3");
    EXPECT_THROW(TTntFileStream(U(name), fmCreate), EFCreateError);
    try {
        TTntFileStream stream(U(name), fmCreate);
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + name + "\". No such file or directory");
    }
}

TEST(UniFile, ExistenceIsForFilesOnly) {
    TempDir dir;
    WriteFile(dir.file("a.mp3"), Text("x"));
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_TRUE(UniFileExists(U(dir.file("a.mp3"))));
    EXPECT_FALSE(UniFileExists(U(dir.file("folder"))));
    EXPECT_FALSE(UniFileExists(U(dir.file("missing"))));
    EXPECT_FALSE(UniFileExists(u""));
    // A folder cannot be opened as a file either, nor a named pipe (which would block).
    EXPECT_EQ(UniOpenFile(U(dir.file("folder")), fmShareDenyWrite), INVALID_HANDLE_VALUE);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_EQ(UniOpenFile(U(dir.file("pipe")), fmShareDenyWrite), INVALID_HANDLE_VALUE);
    EXPECT_EQ(UniCreateFile(U(dir.file("pipe"))), INVALID_HANDLE_VALUE);
}

// Sharing between two handles of the layer: the first is held while the second is opened.
TEST(UniFile, SharingRulesHoldBetweenHandles) {
    struct Case {
        std::uint16_t first;
        std::uint16_t second;
        bool secondOpens;
    };
    const Case cases[] = {
        {0x20, 0x20, true},      {0x20, 0x22, true},  {0x22, 0x20, true},  {0x40, 0x40, true},
        {0x20, 0x02, false},     {0x20, 0x00, false}, {0x22, 0x02, false}, {0x40, 0x00, false},
        {0x02, 0x20, false},     {0x00, 0x20, false}, {0x02, 0x02, false}, {fmCreate, 0x20, false},
        {0x20, fmCreate, false},
    };
    TempDir dir;
    const std::u16string name = U(dir.file("song.mp3"));
    for (const Case& c : cases) {
        WriteFile(dir.file("song.mp3"), Text("content"));
        const THandle first = UniOpenFile(name, c.first);
        ASSERT_NE(first, INVALID_HANDLE_VALUE) << std::hex << c.first;
        const THandle second = UniOpenFile(name, c.second);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.secondOpens)
            << std::hex << c.first << " then " << c.second;
        if (second == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(UniLastError(), EBUSY);
        }
        UniCloseHandle(second);
        UniCloseHandle(first);
        // A refused create must not have emptied the file.
        if (c.first != fmCreate) {
            EXPECT_EQ(ReadFile(dir.file("song.mp3")), Text("content"));
        }
    }
}

TEST(UniFile, ClearingAttributesOnlyAddsTheOwnersWritePermission) {
    TempDir dir;
    const std::string name = dir.file("ro.mp3");
    WriteFile(name, Text("x"));
    ::chmod(name.c_str(), 0444);
    EXPECT_TRUE(UniSetAttributes(U(name), 0));
    EXPECT_EQ(Permissions(name), 0644u);
    EXPECT_TRUE(UniSetAttributes(U(name), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Permissions(name), 0444u);
    EXPECT_FALSE(UniSetAttributes(U(dir.file("missing")), 0));
}

TEST(UniFile, MoveRefusesAnExistingTargetAndDeleteRemoves) {
    TempDir dir;
    WriteFile(dir.file("a"), Text("a"));
    WriteFile(dir.file("b"), Text("b"));
    EXPECT_FALSE(UniMoveFile(U(dir.file("a")), U(dir.file("b"))));
    EXPECT_EQ(ReadFile(dir.file("b")), Text("b"));
    EXPECT_TRUE(UniMoveFile(U(dir.file("a")), U(dir.file("c"))));
    EXPECT_EQ(ReadFile(dir.file("c")), Text("a"));
    EXPECT_TRUE(UniDeleteFile(U(dir.file("c"))));
    EXPECT_FALSE(UniDeleteFile(U(dir.file("c"))));
    EXPECT_TRUE(UniReplaceFile(U(dir.file("b")), U(dir.file("d"))));
    EXPECT_FALSE(UniEntryExists(U(dir.file("b"))));
}

TEST(UniFile, FullPathIsAbsoluteAndNormalWithoutResolvingLinks) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("real"));
    std::filesystem::create_directory_symlink(dir.file("real"), dir.file("link"));
    EXPECT_EQ(UniFullPath(U(dir.file("link/./x/../song.mp3"))), U(dir.file("link/song.mp3")));
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(UniFullPath(u"a//b/../Lagu \u00e9.mp3"), U(dir.file("a/Lagu \u00e9.mp3")));
    std::filesystem::current_path(cwd);
}

TEST(UniFile, ErrorTextIsTheSystemsText) {
    EXPECT_EQ(UniErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(UniErrorText(EBUSY), std::strerror(EBUSY));
}

TEST(TntFileStream, ReadsWritesSeeksAndResizesByUnicodeName) {
    TempDir dir;
    const std::string name = dir.file("Lagu \u00fc \u4e2d.bin");
    {
        TTntFileStream out(U(name), fmCreate);
        out.WriteBuffer("hello world", 11);
        EXPECT_EQ(out.Size(), 11);
        out.SetSize(5);
        EXPECT_EQ(out.Position(), 5);
        out.WriteBuffer("!", 1);
    }
    EXPECT_EQ(ReadFile(name), Text("hello!"));
    TTntFileStream in(U(name), fmShareDenyWrite);
    char buffer[8] = {};
    EXPECT_EQ(in.Seek(-2, TSeekOrigin::soEnd), 4);
    EXPECT_EQ(in.Read(buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "o!");
    EXPECT_THROW(in.ReadBuffer(buffer, 1), EReadError);
    // A read-only handle cannot write.
    EXPECT_THROW(in.WriteBuffer("x", 1), EWriteError);
}

TEST(TntFileStream, CreateTruncatesAnExistingFile) {
    TempDir dir;
    WriteFile(dir.file("f"), Text("old content"));
    { TTntFileStream out(U(dir.file("f")), fmCreate); }
    EXPECT_TRUE(ReadFile(dir.file("f")).empty());
}
