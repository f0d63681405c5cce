#include "platform/archive/ZipArchive.h"
#include "platform/archive/WorkFolder.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

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

// A write that fails names the file and its cause; the archive is not called damaged.
TEST(ZipArchive, FailedWriteIsReportedWithFileAndCause) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    WriteText(root / "a.txt", std::string(200000, 'a'));
    WriteText(root / "b.txt", "klein");
    const fs::path zip = root / "x.zip";
    ASSERT_EQ(
        WriteArchive(zip, {"ALLEPROJEKE", "x"}, {{"b.txt", root / "b.txt"}, {"d/a.txt", root / "a.txt"}}),
        "");
    EXPECT_EQ(UncompressedSize(zip), std::optional<std::uint64_t>(200005));
    struct Case {
        int err;
        size_t after; // bytes written before the failure
        std::string message;
    } cases[] = {
        {ENOSPC, 100000, "Auf dem Datenträger ist kein Platz mehr frei."},
        {EDQUOT, 5, "Auf dem Datenträger ist kein Platz mehr frei."},
        {EFBIG, 5, "Die Datei ist für den Datenträger zu groß."},
        {EIO, 5, std::strerror(EIO)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const fs::path out = root / ("out" + std::to_string(c.err));
        fs::create_directory(out);
        size_t written = 0;
        const std::string why = ExtractAll(zip, out, [&](int fd, const char* data, size_t len) {
            if (written + len > c.after) return c.err;
            written += len;
            return ::write(fd, data, len) == static_cast<ssize_t>(len) ? 0 : errno;
        });
        EXPECT_EQ(why, "Die Datei '" + (out / "d/a.txt").string() +
                           "' kann nicht geschrieben werden: " + c.message);
    }
}

// Partial archives of a dead writer (its marker is left) go at the next write or when asked; those of a
// running writer stay, and names that only look alike, or look alike where no writer died, are left alone.
TEST(ZipArchive, PartialArchivesOfDeadWritersGo) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    WriteText(root / "a.txt", "eins");
    const fs::path zip = root / "x.zip";
    auto plant = [&] {
        WriteText(root / "x.zip.Ab12Cd", "halb");
        WriteText(root / "x.zip.bak", "vom Benutzer"); // not six letters or digits
        WriteText(root / "x.zip.Ab12Cde", "vom Benutzer");
    };
    auto rest = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> userFiles = {"a.txt", "x.zip.Ab12Cde", "x.zip.bak"};
    plant();
    {
        auto writer = WorkLock::Take(WorkLock::MarkerOf(zip));
        ASSERT_TRUE(writer);
        RemoveAbandonedPartials(zip);
        EXPECT_TRUE(fs::exists(root / "x.zip.Ab12Cd"));
        EXPECT_NE(WriteArchive(zip, {"ADRESSEN", "x"}, {{"a.txt", root / "a.txt"}}), "");
        EXPECT_FALSE(fs::exists(zip));
    }
    // No writer died: "x.zip.backup" may be the user's.
    WriteText(root / "x.zip.backup", "vom Benutzer");
    RemoveAbandonedPartials(zip);
    ASSERT_EQ(WriteArchive(zip, {"ADRESSEN", "x"}, {{"a.txt", root / "a.txt"}}), "");
    EXPECT_TRUE(fs::exists(root / "x.zip.backup"));
    EXPECT_TRUE(fs::exists(root / "x.zip.Ab12Cd"));
    fs::remove(root / "x.zip.backup");
    fs::remove(zip);
    WriteText(WorkLock::MarkerOf(zip), ""); // a killed writer's
    RemoveAbandonedPartials(zip);
    EXPECT_EQ(rest(), userFiles);
    plant();
    WriteText(WorkLock::MarkerOf(zip), "");
    ASSERT_EQ(WriteArchive(zip, {"ADRESSEN", "x"}, {{"a.txt", root / "a.txt"}}), "");
    auto expected = userFiles;
    expected.push_back("x.zip");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rest(), expected);
}

// A marker held by one owner cannot be taken by another; once let go it can, and the notes of the dead owner
// are there to read.
TEST(WorkLock, HeldMarkerKeepsOthersOut) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    const fs::path marker = WorkLock::MarkerOf(root / "00000007.PRO");
    EXPECT_EQ(marker.filename(), "00000007.PRO.arbeit");
    EXPECT_TRUE(IsWorkMarker(marker));
    EXPECT_FALSE(IsWorkMarker(root / "00000007.PRO"));
    auto first = WorkLock::Take(marker);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->SetNotes("alt=/x/y\n"));
    EXPECT_FALSE(WorkLock::Take(marker));
    first.reset();
    EXPECT_FALSE(fs::exists(marker));
    // A dead owner leaves the marker with its notes, and no lock.
    WriteText(marker, "alt=/x/y\n");
    auto second = WorkLock::Take(marker);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Notes(), "alt=/x/y\n");

    // Work folders: a running one stays, one whose owner is gone goes, with its marker.
    auto running = WorkFolder::Create(root, "velunta-sicherung-");
    ASSERT_TRUE(running);
    EXPECT_EQ((fs::status(running->Path()).permissions() & fs::perms::all), fs::perms::owner_all);
    WriteText(root / "velunta-sicherung-Dead01/db0", "Kopie");
    WriteText(root / "velunta-sicherung-Dead02/db0", "Kopie");
    WriteText(root / "velunta-sicherung-Dead02.arbeit", "");
    WriteText(root / "velunta-sicherung-Gone03.arbeit", "");
    RemoveAbandonedWork(root, "velunta-sicherung-");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root))
        if (e.path().filename().string().rfind("velunta-", 0) == 0)
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    const std::string own = running->Path().filename().string();
    EXPECT_EQ(names, (std::vector<std::string>{own, own + ".arbeit"}));
    const fs::path path = running->Path();
    running.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(WorkLock::MarkerOf(path)));
}

// Links standing in the folder being unpacked into, at a sub-folder's or a file's name: nothing is written
// through them, the archive is refused naming the link, and what they point to stays as it was.
TEST(ZipArchive, UnpackingNeverFollowsALinkInTheFolder) {
    QTemporaryDir tmp;
    const fs::path root = tmp.path().toStdString();
    const fs::path aussen = root / "aussen";
    WriteText(aussen / "geheim.txt", "geheim");
    struct Case {
        const char* name;
        std::string eintrag;
        std::string link; // name in the folder, pointing outside
        fs::path ziel;
        std::string fehler;
    };
    auto verknuepfung = [](const fs::path& p) {
        return "'" + p.string() +
               "' ist eine Verknüpfung. Daten des Programms werden nicht über Verknüpfungen gelesen oder "
               "geschrieben; bitte ersetzen Sie die Verknüpfung durch den Ordner oder die Datei selbst.";
    };
    const Case cases[] = {
        {"folder", "00000007.PRO/Prodat", "00000007.PRO", aussen, verknuepfung(root / "folder/00000007.PRO")},
        {"file", "Prodat", "Prodat", aussen / "geheim.txt", verknuepfung(root / "file/Prodat")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path ordner = root / c.name;
        fs::create_directories(ordner);
        fs::create_symlink(c.ziel, ordner / c.link);
        const fs::path archiv = root / (std::string(c.name) + ".zip");
        ASSERT_EQ(WriteArchive(archiv, {"ALLEPROJEKE", "01.02.2026 10:00:00"},
                               {{c.eintrag, aussen / "geheim.txt"}}),
                  "");
        WriteText(aussen / "geheim.txt", "geheim");
        const std::string why = ExtractAll(archiv, ordner);
        EXPECT_EQ(why, c.fehler);
        EXPECT_EQ(ReadText(aussen / "geheim.txt"), "geheim");
        EXPECT_FALSE(fs::exists(aussen / "Prodat"));
    }
}
