#include "platform/PrivateProfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <stdexcept>

#include "platform/FileText.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

TEST(PrivateProfile, ReadsValuesByTheProfileRules) {
    struct Case {
        const char* text;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"[Telnet]\nMycall=DL9ABC\n", "telnet", "MYCALL", "DL9ABC"},
        {"[ Form ]\n  W  =  467  \n", "Form", "W", "467"},
        {"[A]\nk=\t v w \t\n", "A", "k", "v w"},
        {"[A]\r\nk=v\r\nm=n", "A", "m", "n"},
        {"[A]\r\nk=v\r\n", "A", "k", "v"},
        {"[A]\nk=\"  x \"\n", "A", "k", "  x "},
        {"[A]\nk='y'\n", "A", "k", "y"},
        {"[A]\nk=\"\"a\"\"\n", "A", "k", "\"a\""},
        {"[A]\nk=\"z'\n", "A", "k", "\"z'"},
        {"[A]\nk=\"\n", "A", "k", "\""},
        {"[A]\nk=a=b\n", "A", "k", "a=b"},
        {"[A]\nk=\n", "A", "k", ""},
        {"[A]\nk=1\n[A]\nk=2\n", "A", "k", "1"},
        {"[A]\nother=1\n", "A", "k", std::nullopt},
        {"[B]\nk=1\n", "A", "k", std::nullopt},
        {"k=1\n[A]\n", "A", "k", std::nullopt},
        {"[A]\n;k=1\n", "A", "k", std::nullopt},
        {"[A]\nk\n", "A", "k", std::nullopt},
        {"", "A", "k", std::nullopt},
        // A UTF-8 byte-order mark that an editor put before the first line.
        {"\xEF\xBB\xBF[Telnet]\r\nMycall=DL9ABC\r\n", "Telnet", "MyCall", "DL9ABC"},
        {"\xEF\xBB\xBFk=1\n[A]\n", "A", "k", std::nullopt},
        {"[A]\n\xEF\xBB\xBF[B]\nk=1\n", "B", "k", std::nullopt},
        // A file cut short between the CR and the LF of its last line.
        {"[A]\r\nk=2\r", "A", "k", "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindProfileValue(c.text, c.section, c.key), c.value)
            << '"' << c.text << "\" " << c.section << '.' << c.key;
}

TEST(PrivateProfile, CutsLongValuesTo2047Characters) {
    const std::string value(3000, 'x');
    EXPECT_EQ(FindProfileValue("[A]\nk=" + value + "\n", "A", "k"), std::string(2047, 'x'));
}

TEST(PrivateProfile, WriteChangesOnlyItsOwnLine) {
    struct Case {
        const char* text;
        const char* section;
        const char* key;
        const char* value;
        const char* result;
    } cases[] = {
        // New file and new section: LF line ends, no blank lines added.
        {"", "S", "k", "v", "[S]\nk=v\n"},
        {"[S]\na=1\n", "T", "b", "2", "[S]\na=1\n[T]\nb=2\n"},
        // The key's own line is rewritten with the key as written now.
        {"; c\n[s]\n  MyCall = old \nx=1\n", "S", "Mycall", "new", "; c\n[s]\nMycall=new\nx=1\n"},
        // A new key goes after the section's last key, before blank lines,
        // comments and the next section.
        {"[S]\na=1\n; next\n\n[T]\nb=2\n", "S", "c", "3", "[S]\na=1\nc=3\n; next\n\n[T]\nb=2\n"},
        {"[S]\n[T]\n", "S", "k", "v", "[S]\nk=v\n[T]\n"},
        // The line end the file uses, also for lines added.
        {"[S]\r\nk=1\r\n", "S", "k", "2", "[S]\r\nk=2\r\n"},
        {"[S]\r\na=1\r\n", "S", "b", "2", "[S]\r\na=1\r\nb=2\r\n"},
        {"[S]\r\na=1\r\n", "T", "b", "2", "[S]\r\na=1\r\n[T]\r\nb=2\r\n"},
        // A last line without line end gets one before anything added.
        {"[S]\na=1", "S", "b", "2", "[S]\na=1\nb=2\n"},
        {"[S]\na=1", "T", "b", "2", "[S]\na=1\n[T]\nb=2\n"},
        {"[S]\na=1", "S", "a", "2", "[S]\na=2"},
        {"[S]\na=1\r", "S", "b", "2", "[S]\na=1\r\nb=2\n"},
        {"[S]\na=1\r", "S", "a", "2", "[S]\na=2\r"},
        {"[S]\r\na=1\r", "S", "b", "2", "[S]\r\na=1\r\nb=2\r\n"},
        {"[S]\r\na=1\r", "T", "b", "2", "[S]\r\na=1\r\n[T]\r\nb=2\r\n"},
        // Only the first of repeated sections is written to.
        {"[S]\nk=1\n[S]\nk=2\n", "S", "k", "3", "[S]\nk=3\n[S]\nk=2\n"},
        // A value cannot smuggle in lines of its own.
        {"[S]\nk=1\n", "S", "k", "A\n[Form]\nW=1", "[S]\nk=A\n"},
        {"[S]\nk=1\n", "S", "k", "B\rC", "[S]\nk=B\n"},
        // A leading byte-order mark stays, and the section after it is found.
        {"\xEF\xBB\xBF[S]\r\nk=1\r\n", "s", "k", "2", "\xEF\xBB\xBF[S]\r\nk=2\r\n"},
        {"\xEF\xBB\xBF[S]\na=1\n", "S", "b", "2", "\xEF\xBB\xBF[S]\na=1\nb=2\n"},
        {"\xEF\xBB\xBF", "S", "k", "v", "\xEF\xBB\xBF[S]\nk=v\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SetProfileValue(c.text, c.section, c.key, c.value), c.result)
            << '"' << c.text << "\" " << c.section << '.' << c.key;
}

TEST(PrivateProfileFile, MissingFileReadsDefaultAndIsCreatedByAWrite) {
    TTempFolder dir;
    const std::string ini = dir.File("a.ini");
    EXPECT_EQ(GetPrivateProfileString("S", "k", "dflt", ini), "dflt");
    EXPECT_FALSE(Exists(ini));
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", ini));
    ASSERT_TRUE(WritePrivateProfileString("S", "m", "w", ini));
    EXPECT_EQ(ReadBytes(ini), "[S]\nk=v\nm=w\n");
    EXPECT_EQ(GetPrivateProfileString("s", "M", "dflt", ini), "w");
}

TEST(PrivateProfileFile, WriteKeepsPermissionsAndWritesThroughLinks) {
    TTempFolder dir;
    const std::string real = dir.File("real.ini"), link = dir.File("link.ini");
    WriteBytes(real, "[S]\nk=1\n");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);

    ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", link));
    EXPECT_EQ(ReadBytes(real), "[S]\nk=2\n");
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A link whose target is not there yet: the target is created, the link
// stays a link. Relative targets count from the link's own folder.
TEST(PrivateProfileFile, WriteThroughADanglingLinkCreatesItsTarget) {
    TTempFolder dir;
    ASSERT_EQ(mkdir(dir.File("real").c_str(), 0700), 0);
    ASSERT_EQ(symlink(dir.File("real/abs.ini").c_str(), dir.File("abs").c_str()), 0);
    ASSERT_EQ(symlink("real/rel.ini", dir.File("rel").c_str()), 0);
    ASSERT_EQ(symlink("../real/chain.ini", dir.File("real/hop").c_str()), 0);
    ASSERT_EQ(symlink("real/hop", dir.File("chain").c_str()), 0);
    const struct {
        const char* link;
        const char* target;
    } cases[] = {{"abs", "real/abs.ini"}, {"rel", "real/rel.ini"}, {"chain", "real/chain.ini"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", dir.File(c.link)));
        EXPECT_EQ(ReadBytes(dir.File(c.target)), "[S]\nk=v\n");
        struct stat st;
        ASSERT_EQ(lstat(dir.File(c.link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
    }

    // A target in a folder that is not there, or a loop of links, fails and
    // leaves the link.
    ASSERT_EQ(symlink("nowhere/a.ini", dir.File("lost").c_str()), 0);
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    for (const char* link : {"lost", "loop"}) {
        EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", dir.File(link))) << link;
        struct stat st;
        ASSERT_EQ(lstat(dir.File(link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
}

// A file of another user that root rewrites stays that user's, so that the
// user's own next write still works.
TEST(PrivateProfileFile, RewriteKeepsOwnerAndGroup) {
    if (!RunningAsRoot()) GTEST_SKIP() << "only root can write a file that belongs to another user";
    TTempFolder dir;
    const std::string ini = dir.File("a.ini");
    WriteBytes(ini, "[S]\nk=1\n");
    chmod(ini.c_str(), 0644);
    GiveToUnprivilegedUser(ini);

    ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", ini));
    struct stat st;
    ASSERT_EQ(stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, UnprivilegedUser().Uid);
    EXPECT_EQ(st.st_gid, UnprivilegedUser().Gid);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    RunUnprivileged(dir.Path(),
                    [&] { EXPECT_TRUE(WritePrivateProfileString("S", "m", "3", ini)); });
    EXPECT_EQ(ReadBytes(ini), "[S]\nk=2\nm=3\n");
}

// A path below a regular file cannot be created by anyone, root included.
TEST(PrivateProfileFile, UnwritablePlaceFailsAndLeavesNothingBehind) {
    TTempFolder dir;
    WriteBytes(dir.File("plain"), "x");
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", dir.File("plain/a.ini")));
    EXPECT_EQ(GetPrivateProfileString("S", "k", "dflt", dir.File("plain/a.ini")), "dflt");

    // A folder in place of the file is not replaced.
    ASSERT_EQ(mkdir(dir.File("folder.ini").c_str(), 0700), 0);
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", dir.File("folder.ini")));
}

// Permission bits do not stop root, so this runs as an ordinary user.
TEST(PrivateProfileFile, PermissionBitsAreHonoured) {
    TTempFolder dir;
    RunUnprivileged(dir.Path(), [&] {
        const std::string ini = dir.File("a.ini");
        WriteBytes(ini, "[S]\nk=1\n");

        chmod(ini.c_str(), 0444);  // a read-only file stays as it is
        EXPECT_FALSE(WritePrivateProfileString("S", "k", "2", ini));
        chmod(ini.c_str(), 0000);  // an unreadable one is not rewritten from nothing
        EXPECT_FALSE(WritePrivateProfileString("S", "k", "2", ini));
        EXPECT_EQ(GetPrivateProfileString("S", "k", "dflt", ini), "dflt");
        chmod(ini.c_str(), 0644);
        chmod(dir.Path().c_str(), 0555);  // nor can a file be written in a read-only folder
        EXPECT_FALSE(WritePrivateProfileString("S", "k", "2", ini));
        chmod(dir.Path().c_str(), 0700);
        EXPECT_EQ(ReadBytes(ini), "[S]\nk=1\n");
        // No temporary file is left behind; the lock file stays.
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            names.insert(e.path().filename());
        EXPECT_EQ(names, (std::set<std::string>{"a.ini", "a.ini.lock"}));
    });
}

// Two copies of the program writing the same file at once: every key
// written by either is kept.
TEST(PrivateProfileFile, TwoProcessesWritingAtOnceLoseNoKey) {
    TTempFolder dir(MemoryFolder());
    const std::string ini = dir.File("a.ini");
    constexpr int Keys = 300;
    TStartGate gate;
    const auto writer = [&](const std::string& section) {
        return [&, section] {
            gate.Wait();
            for (int k = 0; k < Keys; ++k)
                ASSERT_TRUE(WritePrivateProfileString(section, "k" + std::to_string(k), "v", ini));
        };
    };
    TChildProcess a(writer("A")), b(writer("B"));
    gate.Open();
    ASSERT_EQ(a.Wait(std::chrono::seconds(60)), TChildEnd::Passed);
    ASSERT_EQ(b.Wait(std::chrono::seconds(60)), TChildEnd::Passed);
    const std::string text = ReadBytes(ini);
    int missing = 0;
    for (const char* section : {"A", "B"})
        for (int k = 0; k < Keys; ++k)
            if (!FindProfileValue(text, section, "k" + std::to_string(k))) ++missing;
    EXPECT_EQ(missing, 0) << "of " << 2 * Keys << " keys";
}

// A copy of the program that holds the lock and never lets go (stopped or
// hung) delays a save only for the lock's wait; the key is then written.
TEST(PrivateProfileFile, ALockHeldForeverDelaysTheWriteButDoesNotStopIt) {
    TTempFolder dir(MemoryFolder());
    const std::string ini = dir.File("a.ini");
    ASSERT_TRUE(WritePrivateProfileString("S", "old", "1", ini));
    const int holder = open((ini + ".lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    SetLockWaitForTest(std::chrono::milliseconds(50));
    const bool written = WritePrivateProfileString("S", "new", "2", ini);
    SetLockWaitForTest(std::chrono::seconds(10));
    close(holder);
    EXPECT_TRUE(written);
    const std::string text = ReadBytes(ini);
    EXPECT_TRUE(FindProfileValue(text, "S", "old"));
    EXPECT_TRUE(FindProfileValue(text, "S", "new"));
}

// Files that are not plain settings files of a sane size read as unreadable:
// reading gives the default at once, and writing fails without touching them.
TEST(PrivateProfileFile, HugeOrSpecialFileIsUnreadable) {
    TTempFolder dir;
    const std::string head = "[S]\nk=v\n";
    WriteSparseFile(dir.File("huge.ini"), head, std::uint64_t{1} << 40);
    WriteSparseFile(dir.File("over.ini"), head, (16 << 20) + 1);
    ASSERT_EQ(mkfifo(dir.File("pipe.ini").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/null", dir.File("device.ini").c_str()), 0);
    for (const char* name : {"huge.ini", "over.ini", "pipe.ini", "device.ini"}) {
        SCOPED_TRACE(name);
        const std::string ini = dir.File(name);
        RunBounded([&] {
            EXPECT_EQ(GetPrivateProfileString("S", "k", "dflt", ini), "dflt");
            EXPECT_FALSE(WritePrivateProfileString("S", "k", "w", ini));
        });
    }
    EXPECT_EQ(std::filesystem::file_size(dir.File("over.ini")), (16u << 20) + 1);
    EXPECT_EQ(ReadBytes(dir.File("over.ini")).substr(0, head.size()), head);

    // Up to 16 MiB is read.
    WriteSparseFile(dir.File("full.ini"), head, 16 << 20);
    EXPECT_EQ(GetPrivateProfileString("S", "k", "dflt", dir.File("full.ini")), "v");
}

TEST(PrivateProfileFile, WriteStoppedBeforeTheRenameLeavesTheOldFileIntact) {
    TTempFolder dir;
    const std::string ini = dir.File("a.ini");
    const std::string old = "; mine\r\n[S]\r\nk=1\r\n";
    WriteBytes(ini, old);

    std::string tempName;
    SetBeforeRenameHookForTest([&](const std::string& name) {
        tempName = name;
        throw std::runtime_error("killed");
    });
    EXPECT_THROW(WritePrivateProfileString("S", "k", "2", ini), std::runtime_error);
    SetBeforeRenameHookForTest({});

    EXPECT_EQ(ReadBytes(ini), old);
    // The new text was complete on disk, in the same folder, only not yet in place.
    EXPECT_EQ(tempName.rfind(dir.Path(), 0), 0u);
    EXPECT_EQ(ReadBytes(tempName), "; mine\r\n[S]\r\nk=2\r\n");
}

}  // namespace
}  // namespace skimby
