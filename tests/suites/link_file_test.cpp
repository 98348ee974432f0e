// SPDX-License-Identifier: MIT
// The link file itself: its times as the file system keeps them, taken before it is read
// and left as they were by the reading, and its hashes, of the whole file however large.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <shortcut_reader/shell_link.h>

#include <string>

#include "test_support.h"

namespace {

using shell_link::FileTime;

std::uint64_t AsFileTime(const timespec& time) {
    return static_cast<std::uint64_t>(time.tv_sec) * 10000000 + static_cast<std::uint64_t>(time.tv_nsec) / 100 +
           116444736000000000;
}

TEST(LinkFile, HoldsTheFilesTimesAsTheyWereBeforeItWasRead) {
    const TempFile file(Bytes().Text("abc"));
    const timespec accessed{1000000000, 123456700};  // 2001-09-09T01:46:40.1234567Z
    const timespec modified{1200000000, 0};
    const timespec times[2] = {accessed, modified};
    ASSERT_EQ(utimensat(AT_FDCWD, file.Path().c_str(), times, 0), 0);
    struct stat status {};
    ASSERT_EQ(stat(file.Path().c_str(), &status), 0);
    shell_link::CodePage codePage;
    const shell_link::Link link = shell_link::ReadLinkFile(file.Path().c_str(), codePage);
    ASSERT_TRUE(link.link_file);
    EXPECT_EQ(link.link_file->accessed->value, AsFileTime(accessed));
    EXPECT_EQ(link.link_file->modified->value, AsFileTime(modified));
    EXPECT_EQ(link.link_file->changed->value, AsFileTime(status.st_ctim));
    if (link.link_file->born) {  // where the file system keeps it
        EXPECT_LE(link.link_file->born->value, link.link_file->changed->value);
    }
    EXPECT_FALSE(link.link_file->md5 || link.link_file->sha1 || link.link_file->sha256);  // none asked
    EXPECT_FALSE(shell_link::ReadLink("abc", 3, codePage).link_file);                   // from memory
    // Its reading left the access time as it was (before the modification time, which the
    // kernel's relatime would otherwise move).
    EXPECT_EQ(shell_link::ReadLinkFile(file.Path().c_str(), codePage).link_file->accessed->value, AsFileTime(accessed));
}

TEST(LinkFile, HasTheHashesAskedForOfTheWholeFile) {
    if (!shell_link::HashesAvailable()) {
        GTEST_SKIP() << "built without libcrypto";
    }
    const TempFile file(Bytes().Text("abc"));
    shell_link::CodePage codePage;
    const struct {
        unsigned hashes;
        const char* md5;
        const char* sha1;
        const char* sha256;
    } rows[] = {
        {shell_link::kHashMd5, "900150983cd24fb0d6963f7d28e17f72", nullptr, nullptr},
        {shell_link::kHashSha1 | shell_link::kHashSha256, nullptr, "a9993e364706816aba3e25717850c26c9cd0d89d",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    };
    for (const auto& row : rows) {
        const shell_link::Link link = shell_link::ReadLinkFile(file.Path().c_str(), codePage, row.hashes);
        ASSERT_TRUE(link.link_file);
        EXPECT_EQ(link.link_file->md5.value_or(""), row.md5 ? row.md5 : "");
        EXPECT_EQ(link.link_file->sha1.value_or(""), row.sha1 ? row.sha1 : "");
        EXPECT_EQ(link.link_file->sha256.value_or(""), row.sha256 ? row.sha256 : "");
    }
    // Past what is read as the link: 257 MiB of zeros (a sparse file) and "tail".
    const TempFile large(Bytes{});
    const int fd = open(large.Path().c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const off_t zeros = off_t{257} << 20;
    ASSERT_EQ(pwrite(fd, "tail", 4, zeros), 4);
    close(fd);
    const shell_link::Link link = shell_link::ReadLinkFile(large.Path().c_str(), codePage, shell_link::kHashSha256);
    ASSERT_TRUE(link.link_file);
    EXPECT_EQ(link.link_file->sha256.value_or(""), "8666b54c80a0258db0d7064ce871317512c1009711339807879b801efe2c7c0f");
}

}  // namespace
