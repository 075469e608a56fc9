// Folder paths, mount tables and folder listings as the skin chooser uses them.
#include "platform/core/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

TEST(Folders, NormalizeFolderPath) {
    struct Case {
        std::string path, base, expected;
    };
    const std::vector<Case> cases = {
        {"/", "/x", "/"},          {"//a//b/", "/x", "/a/b"}, {"/a/./b/../c", "/x", "/a/c"},
        {"/../..", "/x", "/"},     {"../up", "/base/dir", "/base/up"}, {"", "/base/", "/base"},
        {"/ス キ\xFF/", "/x", "/ス キ\xFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizeFolderPath(c.path, c.base), c.expected) << "'" << c.path << "' on '" << c.base << "'";
    }
}

TEST(Folders, ParentChildAndWithin) {
    // The root is its own parent, and no child name gets a second slash.
    EXPECT_EQ(ParentFolder("/a"), "/");
    EXPECT_EQ(ParentFolder("/"), "/");
    EXPECT_EQ(ChildFolder("/", "a"), "/a");
    struct Case {
        const char* folder;
        const char* top;
        bool within;
    };
    const std::vector<Case> cases = {
        {"/home/u/x", "/home/u", true}, {"/home/u", "/home/u", true}, {"/home/user", "/home/u", false},
        {"/home", "/home/u", false},    {"/anything", "/", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsWithinFolder(c.folder, c.top), c.within) << c.folder << " in " << c.top;
}

TEST(Folders, ParseMountPointsKeepsRealFileSystems) {
    const std::string mounts =
        "proc /proc proc rw,relatime 0 0\n"
        "sysfs /sys sysfs rw 0 0\n"
        "/dev/vda / ext4 rw 0 0\n"
        "tmpfs /dev/shm tmpfs rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n"
        "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
        "/dev/sdc1 /mnt/ディスク ext4 rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"   // mounted twice
        "fuse /dev/odd fuseblk rw 0 0\n"                  // below /dev
        "broken-line-without-type\n"
        "\n"
        "/dev/sdd1 relative ext4 rw 0 0\n"
        "/dev/sde1 /mnt/back\\134slash ext4 rw 0 0";      // last line without its end
    const std::vector<std::string> expected = {"/media/usb stick", "/mnt/ディスク", "/mnt/nfs", "/mnt/back\\slash"};
    EXPECT_EQ(ParseMountPoints(mounts), expected);
    EXPECT_TRUE(ParseMountPoints("").empty());
}

TEST(Folders, ListFolderSortsFoldersAndFiles) {
    TempFolder temp;
    const std::string root = temp.Path();
    for (const char* name : {"beta", "Alpha", ".hidden", "スキン", "bad\xFFname", "gamma"}) {
        std::filesystem::create_directories(root + name);
    }
    for (const char* name : {"b.txt", "A.ini", ".dot"}) temp.Write(name, "x");
    std::filesystem::create_directory_symlink(root + "gamma", root + "link-to-gamma");
    std::filesystem::create_symlink(root + "nowhere", root + "dangling");
    ASSERT_EQ(mkfifo((root + "pipe").c_str(), 0600), 0);

    FolderListing listing;
    ASSERT_TRUE(ListFolder(temp.Path(), listing));
    const std::vector<std::string> folders = {"Alpha", "bad\xFFname", "beta", "gamma", "link-to-gamma", "スキン",
                                              ".hidden"};
    const std::vector<std::string> files = {"A.ini", "b.txt", "dangling", "pipe", ".dot"};
    EXPECT_EQ(listing.Folders, folders);
    EXPECT_EQ(listing.Files, files);
    EXPECT_FALSE(listing.Truncated);

    ASSERT_TRUE(ListFolder(temp.Path(), listing, 3));
    EXPECT_EQ(listing.Folders.size() + listing.Files.size(), 3u);
    EXPECT_TRUE(listing.Truncated);

    struct Case {
        const char* name;
        std::string path;
    };
    const std::vector<Case> unreadable = {
        {"missing folder", root + "missing"},
        {"a file", root + "b.txt"},
        {"a FIFO", root + "pipe"},
        {"a dangling link", root + "dangling"},
    };
    for (const Case& c : unreadable) EXPECT_FALSE(ListFolder(c.path, listing)) << c.name;
}

}  // namespace
}  // namespace dexlora
