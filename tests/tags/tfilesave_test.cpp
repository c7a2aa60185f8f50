// The file layer's save: a rewrite keeps what the file is besides its bytes, and a refused save
// changes nothing at all.

#include "tags/tfilesave.h"

#include "tagfixtures.h"

#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <functional>

using namespace fixtures;

namespace {

// An access ACL as the kernel stores it: version 2, then (tag, permissions, id) entries.
std::string AccessAcl(std::uint32_t namedUser) {
    Bytes acl = {2, 0, 0, 0};
    const auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        AppendLE16(acl, tag);
        AppendLE16(acl, perm);
        AppendLE16(acl, static_cast<std::uint16_t>(id));
        AppendLE16(acl, static_cast<std::uint16_t>(id >> 16));
    };
    entry(0x01, 6, 0xFFFFFFFF);  // owner rw
    entry(0x02, 4, namedUser);   // a named user r
    entry(0x04, 4, 0xFFFFFFFF);  // group r
    entry(0x10, 4, 0xFFFFFFFF);  // mask r
    entry(0x20, 0, 0xFFFFFFFF);  // others none
    return std::string(acl.begin(), acl.end());
}

std::string Xattr(const std::string& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t n = ::getxattr(path.c_str(), name, value.data(), value.size());
    return n < 0 ? std::string("(none)") : value.substr(0, static_cast<std::size_t>(n));
}

struct stat Status(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

bool Rewrite(const std::string& path, const Bytes& before) {
    return UniRewriteFile(U(path), ByteSpan(before).first(3), std::ssize(before), Text("NEW"), 3);
}

}  // namespace

TEST(FileSave, ARewriteKeepsOwnerPermissionsAndExtendedAttributes) {
    struct Case {
        std::string name;
        mode_t mode;
        mode_t modeAfter;  // the owner's write permission is added, as clearing attributes does
        bool acl;
        bool otherOwner;  // only a privileged test run can give the file away to begin with
    };
    const Case cases[] = {
        {"read-only", 0444, 0644, false, false},
        {"group readable", 0640, 0640, false, false},
        {"with an ACL", 0640, 0640, true, false},
        {"another owner's", 0664, 0664, false, true},
    };
    for (const Case& c : cases) {
        if (c.otherOwner && ::geteuid() != 0) {
            continue;
        }
        TempDir dir;
        const std::string path = dir.file("song.mp3");
        const Bytes before = Text("OLDaudio");
        WriteFile(path, before);
        ASSERT_EQ(::setxattr(path.c_str(), "user.rating", "5", 1, 0), 0) << c.name;
        if (c.acl) {
            const std::string acl = AccessAcl(12345);
            ASSERT_EQ(
                ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
        }
        if (c.otherOwner) {
            ASSERT_EQ(::chown(path.c_str(), 12345, 23456), 0);
        }
        ::chmod(path.c_str(), c.mode);
        const std::string aclBefore = Xattr(path, "system.posix_acl_access");
        const struct stat old = Status(path);

        ASSERT_TRUE(Rewrite(path, before)) << c.name;
        EXPECT_EQ(ReadFile(path), Text("NEWaudio")) << c.name;
        const struct stat now = Status(path);
        EXPECT_NE(now.st_ino, old.st_ino) << c.name << ": written through a copy";
        EXPECT_EQ(now.st_mode & 07777, c.modeAfter) << c.name;
        EXPECT_EQ(now.st_uid, old.st_uid) << c.name;
        EXPECT_EQ(now.st_gid, old.st_gid) << c.name;
        EXPECT_EQ(Xattr(path, "user.rating"), "5") << c.name;
        EXPECT_EQ(Xattr(path, "system.posix_acl_access"), aclBefore) << c.name;
        EXPECT_EQ(dir.entries(), 1u) << c.name;
    }
}

TEST(FileSave, ARefusedSaveChangesNothing) {
    struct Case {
        std::string name;
        // Runs the save on the file; false when it was refused.
        std::function<bool(const std::string& path, const Bytes& before)> save;
    };
    const auto held = [](TFileSave::TWay way) {
        return [way](const std::string& path, const Bytes& before) {
            const THandle other = UniOpenFile(U(path), fmShareDenyWrite);
            const bool saved = way == TFileSave::TWay::ThroughCopy
                                   ? Rewrite(path, before)
                                   : UniWriteInPlace(U(path), ByteSpan(before).first(3),
                                                     std::ssize(before), Text("NEW"));
            UniCloseHandle(other);
            return saved;
        };
    };
    const Case cases[] = {
        {"held by a reader, through a copy", held(TFileSave::TWay::ThroughCopy)},
        {"held by a reader, in place", held(TFileSave::TWay::InPlace)},
        {"grown since it was measured",
         [](const std::string& path, const Bytes& before) {
             return UniRewriteFile(U(path), ByteSpan(before).first(3), std::ssize(before) - 1,
                                   Text("NEW"), 3);
         }},
        {"changed since it was measured",
         [](const std::string& path, const Bytes&) {
             return UniWriteInPlace(U(path), Text("XYZ"), 8, Text("NEW"));
         }},
        {"another user's save",
         [](const std::string& path, const Bytes& before) {
             // The copy could not be given the owner: the file must not change hands.
             const pid_t child = ::fork();
             if (child == 0) {
                 ::_exit(::setegid(65534) == 0 && ::seteuid(65534) == 0 && Rewrite(path, before));
             }
             int status = 0;
             ::waitpid(child, &status, 0);
             return WIFEXITED(status) && WEXITSTATUS(status) != 0;
         }},
    };
    for (const Case& c : cases) {
        const bool otherUser = c.name == "another user's save";
        if (otherUser && ::geteuid() != 0) {
            continue;
        }
        TempDir dir;
        const std::string path = dir.file("song.mp3");
        const Bytes before = Text("OLDaudio");
        WriteFile(path, before);
        ::chmod(path.c_str(), otherUser ? 0666 : 0444);
        if (otherUser) {
            ::chmod(dir.path().c_str(), 0777);
            ASSERT_EQ(::chown(path.c_str(), 12345, 12345), 0);
        }
        const struct stat old = Status(path);

        EXPECT_FALSE(c.save(path, before)) << c.name;
        EXPECT_EQ(ReadFile(path), before) << c.name;
        const struct stat now = Status(path);
        EXPECT_EQ(now.st_ino, old.st_ino) << c.name;
        EXPECT_EQ(now.st_mode, old.st_mode) << c.name;
        EXPECT_EQ(now.st_uid, old.st_uid) << c.name;
        EXPECT_EQ(dir.entries(), 1u) << c.name;
    }
}
