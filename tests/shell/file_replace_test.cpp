// Replacing a user's file: what is left on disk after success and after
// each way of failing, and what the error says.
#include <csignal>
#include <dirent.h>
#include <set>
#include <sys/resource.h>

#include "shell/file_replace.h"
#include "shell_fixture.h"

namespace {
class FileReplace : public ShellTest {
  protected:
    // The names in a folder.
    static std::set<std::string> Names(const std::string& folder) {
        std::set<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (dirent* entry = readdir(dir))
                names.insert(entry->d_name);
            closedir(dir);
        }
        return names;
    }
    static std::string ErrorOf(const std::string& path, const std::string& text) {
        try {
            ReplaceFile(path, text);
        } catch (const TIoError& e) {
            return e.what();
        }
        return "no error";
    }
};

// A dotfile kept in a repository: the link stays, the file it names is
// replaced, with its permissions.
TEST_F(FileReplace, FollowsLinksAndKeepsPermissions) {
    MakeDirs(root + "/dotfiles");
    WriteText(root + "/dotfiles/real", "old");
    chmod((root + "/dotfiles/real").c_str(), 0640);
    ASSERT_EQ(symlink("dotfiles/real", (root + "/middle").c_str()), 0);
    ASSERT_EQ(symlink((root + "/middle").c_str(), (root + "/link").c_str()), 0);
    ReplaceFile(root + "/link", "new");
    struct stat st {};
    ASSERT_EQ(lstat((root + "/link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadText(root + "/dotfiles/real"), "new");
    ASSERT_EQ(stat((root + "/dotfiles/real").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// The temporary file has a name of its own: files of the user's with any
// name near the target's are left alone, and none is left behind.
TEST_F(FileReplace, TouchesNoOtherFileAndLeavesNoTemporary) {
    const std::string target = root + "/notes.txt";
    WriteText(target, "old");
    for (const char* name : {"notes.txt.new", "notes.txt.tmp", "notes.txt~", ".notes.txt.swp"})
        WriteText(root + "/" + name, std::string("the user's ") + name);
    const std::set<std::string> before = Names(root);
    ReplaceFile(target, "new");
    ReplaceFile(root + "/fresh.txt", "made");
    EXPECT_EQ(ReadText(target), "new");
    EXPECT_EQ(ReadText(root + "/fresh.txt"), "made");
    mode_t mask = umask(022);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat((root + "/fresh.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask); // a new file: the user's usual permissions
    std::set<std::string> expected = before;
    expected.insert("fresh.txt");
    EXPECT_EQ(Names(root), expected);
    for (const char* name : {"notes.txt.new", "notes.txt.tmp", "notes.txt~", ".notes.txt.swp"})
        EXPECT_EQ(ReadText(root + "/" + name), std::string("the user's ") + name);
}

// A file the user made read-only stays as it is, and the error says why.
TEST_F(FileReplace, ReadOnlyFileIsRefusedAndNamed) {
    IoErrorsNameFiles = true;
    const std::string target = root + "/kept.txt";
    WriteText(target, "old");
    chmod(target.c_str(), 0444);
    const std::set<std::string> before = Names(root);
    std::string error = ErrorOf(target, "new");
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Names(root), before);
}

// A write that fails half-way (here: the file size limit) leaves the old
// file and no temporary, and the error names the user's file.
TEST_F(FileReplace, FailedWriteLeavesTheOldFileAndNamesIt) {
    IoErrorsNameFiles = true;
    const std::string target = root + "/settings.txt";
    WriteText(target, "old");
    const std::set<std::string> before = Names(root);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4;
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error = ErrorOf(target, std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_EQ(error.find(target + "."), std::string::npos) << error; // not the temporary's name
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Names(root), before);
}
} // namespace
