#include "platform/archive/ZipArchive.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <QTemporaryDir>

#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace velu::archive;

namespace {

void WriteText(const fs::path& p, const std::string& s) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << s;
}

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A zip written directly with libzip, for names and attributes our writer refuses to produce.
void RawZip(const fs::path& file, const std::string& name, const std::string& data, bool symlink = false) {
    int err = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
    zip_int64_t i = zip_file_add(z, name.c_str(), s, 0);
    ASSERT_GE(i, 0);
    if (symlink)
        zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_UNIX,
                                         static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
    const std::string comment = "VELUDASI1\nALLEPROJEKE\n01.02.2026 10:00:00";
    zip_set_archive_comment(z, comment.data(), static_cast<zip_uint16_t>(comment.size()));
    ASSERT_EQ(zip_close(z), 0);
}

} // namespace

TEST(ZipArchive, WritesAndReadsBackFilesAndDescriptor) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    WriteText(root / "a.txt", "eins");
    WriteText(root / "sub/b.bin", std::string("\0\1\2zwei", 7));
    const fs::path zip = root / "x.zip";
    ASSERT_EQ(WriteArchive(zip, {"PROJEKT°44°Neubau Müller", "08.12.2026 21:00:00"},
                           {{"a.txt", root / "a.txt"}, {"sub/b.bin", root / "sub/b.bin"}}),
              "");
    auto info = ReadInfo(zip);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->descriptor, "PROJEKT°44°Neubau Müller");
    EXPECT_EQ(info->created, "08.12.2026 21:00:00");
    auto names = ListEntries(zip);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"a.txt", "sub/b.bin"}));
    fs::create_directory(root / "out");
    ASSERT_EQ(ExtractAll(zip, root / "out"), "");
    EXPECT_EQ(ReadText(root / "out/a.txt"), "eins");
    EXPECT_EQ(ReadText(root / "out/sub/b.bin"), std::string("\0\1\2zwei", 7));
}

TEST(ZipArchive, SafeEntryNames) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"a.mdb", true},     {"00000044.PRO/Velupro32.mdb", true},
        {"a..b", true},      {"dir/", true},
        {"../x", false},     {"a/../../x", false},
        {"..", false},       {"/etc/passwd", false},
        {"\\x", false},      {"C:/x", false},
        {"a\\..\\x", false}, {"", false},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(IsSafeEntryName(name), safe) << name;
}

TEST(ZipArchive, RefusesUnsafeArchivesBeforeWritingAnything) {
    struct Case {
        const char* name;
        bool symlink;
    };
    for (const Case& c : {Case{"../x", false}, Case{"/tmp/velu-abs-x", false}, Case{"link", true}}) {
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        fs::create_directory(root / "out");
        RawZip(root / "bad.zip", c.name, "boese", c.symlink);
        EXPECT_NE(ExtractAll(root / "bad.zip", root / "out"), "") << c.name;
        EXPECT_TRUE(fs::is_empty(root / "out")) << c.name;
        EXPECT_FALSE(fs::exists(root / "x"));
    }
    EXPECT_FALSE(fs::exists("/tmp/velu-abs-x"));
}

TEST(ZipArchive, DamagedOrForeignFilesAreNoBackups) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    WriteText(root / "garbage.zip", "PK\3\4 this is not a zip at all");
    std::string error;
    EXPECT_FALSE(ReadInfo(root / "garbage.zip", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(ExtractAll(root / "garbage.zip", root), "");
    EXPECT_FALSE(ReadInfo(root / "missing.zip"));

    // A sound zip without our comment.
    int err = 0;
    zip_t* z = zip_open((root / "plain.zip").c_str(), ZIP_CREATE, &err);
    zip_file_add(z, "a", zip_source_buffer(z, "x", 1, 0), 0);
    zip_close(z);
    EXPECT_FALSE(ReadInfo(root / "plain.zip"));
}

TEST(ZipArchive, NothingToStoreIsAnError) {
    QTemporaryDir dir;
    const fs::path zip = fs::path(dir.path().toStdString()) / "leer.zip";
    EXPECT_NE(WriteArchive(zip, {"ALLEPROJEKE", "t"}, {}), "");
    EXPECT_FALSE(fs::exists(zip));
}

TEST(ZipArchive, DetectsDamagedEntryData) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    const std::string payload(4000, 'q'); // stored compressed; flipping bytes breaks inflate or the CRC
    WriteText(root / "a.txt", payload);
    ASSERT_EQ(WriteArchive(root / "x.zip", {"ALLEPROJEKE", "t"}, {{"a.txt", root / "a.txt"}}), "");
    std::string bytes = ReadText(root / "x.zip");
    const size_t at = bytes.find("a.txt") + 8; // inside the data after the local header's name
    bytes[at] ^= 0x55;
    bytes[at + 1] ^= 0x55;
    WriteText(root / "x.zip", bytes);
    fs::create_directory(root / "out");
    EXPECT_NE(ExtractAll(root / "x.zip", root / "out"), "");
}
