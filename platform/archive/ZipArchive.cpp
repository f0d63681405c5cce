#include "platform/archive/ZipArchive.h"

#include "platform/archive/OfficeEntry.h"
#include "platform/archive/WorkLock.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace velu::archive {

namespace fs = std::filesystem;

namespace {

constexpr const char* Magic = "VELUDASI1";

struct ZipCloser {
    void operator()(zip_t* z) const {
        if (z) zip_discard(z);
    }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

std::string ZipErrorText(int code) {
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    std::string s = zip_error_strerror(&e);
    zip_error_fini(&e);
    return s;
}

ZipPtr OpenRead(const fs::path& archive, std::string* error) {
    int code = 0;
    zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!z && error)
        *error = "Die Datei '" + archive.string() +
                 "' kann nicht als Archiv gelesen werden: " + ZipErrorText(code);
    return ZipPtr(z);
}

// Unix file type of an entry made on a Unix system, 0 when unknown.
unsigned UnixFileType(zip_t* z, zip_uint64_t i) {
    zip_uint8_t os = 0;
    zip_uint32_t attr = 0;
    if (zip_file_get_external_attributes(z, i, 0, &os, &attr) != 0 || os != ZIP_OPSYS_UNIX) return 0;
    return (attr >> 16) & S_IFMT;
}

// Whether name is "<archive name>." and six letters or digits, as libzip names its temporary file.
bool IsPartialOf(const std::string& name, const std::string& archive) {
    if (name.size() != archive.size() + 7 || name.compare(0, archive.size(), archive) != 0 ||
        name[archive.size()] != '.')
        return false;
    for (size_t i = archive.size() + 1; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

void RemovePartials(const fs::path& archive) {
    std::error_code ec;
    const fs::path folder = archive.parent_path().empty() ? fs::path(".") : archive.parent_path();
    const std::string base = archive.filename().string();
    std::vector<fs::path> dead;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        if (IsPartialOf(it->path().filename().string(), base)) dead.push_back(it->path());
    for (const auto& p : dead)
        fs::remove(p, ec);
}

int PlainWrite(int fd, const char* data, size_t len) {
    while (len > 0) {
        const ssize_t n = ::write(fd, data, len);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        len -= static_cast<size_t>(n);
    }
    return 0;
}

} // namespace

std::string WriteErrorText(int err) {
    if (err == ENOSPC || err == EDQUOT) return "Auf dem Datenträger ist kein Platz mehr frei.";
    if (err == EFBIG) return "Die Datei ist für den Datenträger zu groß.";
    if (err == EACCES || err == EPERM || err == EROFS) return "Der Zugriff wurde verweigert.";
    return std::strerror(err);
}

// Whether a writer of archive died: its marker lies there (a live writer's cannot be taken).
bool DeadWriter(const fs::path& archive) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(WorkLock::MarkerOf(archive), ec));
}

void RemoveAbandonedPartials(const fs::path& archive) {
    if (!DeadWriter(archive)) return; // names like a partial's are the user's then
    if (auto lock = WorkLock::Take(WorkLock::MarkerOf(archive))) RemovePartials(archive);
}

std::optional<std::uint64_t> UncompressedSize(const fs::path& archive, std::string* error) {
    ZipPtr z = OpenRead(archive, error);
    if (!z) return std::nullopt;
    std::uint64_t sum = 0;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z.get(), static_cast<zip_uint64_t>(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
            sum += st.size;
    }
    return sum;
}

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
    if (name.size() >= 2 && name[1] == ':') return false;
    if (name.find('\\') != std::string::npos || name.find('\0') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (part == "..") return false;
        start = end + 1;
    }
    return true;
}

std::string WriteArchive(const fs::path& archive, const ArchiveInfo& info,
                         const std::vector<ArchiveFile>& files) {
    int code = 0;
    // libzip writes no file for an archive without entries, which would pass for a backup made.
    if (files.empty()) return "Es gibt keine Dateien zu sichern.";
    std::string lockError;
    const bool dead = DeadWriter(archive);
    const auto lock = WorkLock::Take(WorkLock::MarkerOf(archive), &lockError);
    if (!lock)
        return lockError.empty() ? "Das Archiv '" + archive.string() +
                                       "' wird gerade von einem anderen Programm geschrieben."
                                 : lockError;
    if (dead) RemovePartials(archive);
    ZipPtr z(zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!z) return "Das Archiv '" + archive.string() + "' kann nicht angelegt werden: " + ZipErrorText(code);
    for (const auto& f : files) {
        if (!IsSafeEntryName(f.name)) return "Ungültiger Name im Archiv: " + f.name;
        zip_source_t* src = zip_source_file(z.get(), f.source.c_str(), 0, -1);
        if (!src)
            return "Die Datei '" + f.source.string() +
                   "' kann nicht gelesen werden: " + zip_strerror(z.get());
        if (zip_file_add(z.get(), f.name.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(src);
            return "Die Datei '" + f.name +
                   "' kann nicht ins Archiv aufgenommen werden: " + zip_strerror(z.get());
        }
    }
    const std::string comment = std::string(Magic) + "\n" + info.descriptor + "\n" + info.created;
    if (comment.size() > 0xffff) return "Die Beschreibung des Archivs ist zu lang.";
    if (zip_set_archive_comment(z.get(), comment.data(), static_cast<zip_uint16_t>(comment.size())) != 0)
        return std::string("Das Archiv kann nicht beschrieben werden: ") + zip_strerror(z.get());
    if (zip_close(z.get()) != 0) {
        std::string why = zip_strerror(z.get());
        return "Das Archiv '" + archive.string() + "' kann nicht geschrieben werden: " + why;
    }
    z.release(); // zip_close freed it
    return {};
}

std::optional<ArchiveInfo> ReadInfo(const fs::path& archive, std::string* error) {
    ZipPtr z = OpenRead(archive, error);
    if (!z) return std::nullopt;
    int len = 0;
    const char* c = zip_get_archive_comment(z.get(), &len, ZIP_FL_ENC_RAW);
    std::string comment = c ? std::string(c, static_cast<size_t>(len)) : std::string();
    const std::string head = std::string(Magic) + "\n";
    size_t nl = comment.find('\n', head.size());
    if (comment.compare(0, head.size(), head) != 0 || nl == std::string::npos) {
        if (error) *error = "Die Datei '" + archive.string() + "' ist keine Datensicherung.";
        return std::nullopt;
    }
    ArchiveInfo info;
    info.descriptor = comment.substr(head.size(), nl - head.size());
    info.created = comment.substr(nl + 1);
    return info;
}

std::optional<std::vector<std::string>> ListEntries(const fs::path& archive, std::string* error) {
    ZipPtr z = OpenRead(archive, error);
    if (!z) return std::nullopt;
    std::vector<std::string> names;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        names.emplace_back(name ? name : "");
    }
    return names;
}

std::string ExtractAll(const fs::path& archive, const fs::path& folder, const WriteFn& write) {
    const UniqueFd dir = OpenFolder(folder);
    if (!dir)
        return "Der Ordner '" + folder.string() + "' kann nicht geöffnet werden: " + WriteErrorText(errno);
    return ExtractAllAt(archive, dir.Get(), folder, write);
}

std::string ExtractAllAt(const fs::path& archive, int dir, const fs::path& folder, const WriteFn& write) {
    std::string error;
    ZipPtr z = OpenRead(archive, &error);
    if (!z) return error;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    // Every name is checked before the first byte is written.
    for (zip_int64_t i = 0; i < n; ++i) {
        const auto idx = static_cast<zip_uint64_t>(i);
        const char* name = zip_get_name(z.get(), idx, ZIP_FL_ENC_GUESS);
        if (!name || !IsSafeEntryName(name))
            return "Das Archiv enthält einen unzulässigen Dateinamen: " + std::string(name ? name : "");
        const unsigned type = UnixFileType(z.get(), idx);
        if (type != 0 && type != S_IFREG && type != S_IFDIR)
            return "Das Archiv enthält eine Verknüpfung oder Sonderdatei: " + std::string(name);
    }
    const WriteFn& put = write ? write : WriteFn(PlainWrite);
    for (zip_int64_t i = 0; i < n; ++i) {
        const auto idx = static_cast<zip_uint64_t>(i);
        const std::string name = zip_get_name(z.get(), idx, ZIP_FL_ENC_GUESS);
        const fs::path target = folder / fs::path(name);
        // Down the entry's folders from dir, each opened without following a link.
        std::vector<std::string> parts;
        for (const auto& part : fs::path(name))
            if (!part.empty() && part != ".") parts.push_back(part.string());
        const bool isFolder = name.back() == '/';
        std::string file;
        if (!isFolder && !parts.empty()) {
            file = parts.back();
            parts.pop_back();
        }
        UniqueFd sub;
        int at = dir;
        fs::path here = folder;
        // A link met on the way is named as such: nothing is written through it.
        auto linkAt = [&](const std::string& part) {
            const auto st = EntryAt(at, part);
            return st && S_ISLNK(st->st_mode);
        };
        for (const auto& part : parts) {
            here /= part;
            sub = OpenFolderAt(at, part, true);
            if (!sub) {
                const int err = errno;
                if (linkAt(part)) return LinkText(here);
                return "Der Ordner '" + here.string() +
                       "' kann nicht angelegt werden: " + WriteErrorText(err);
            }
            at = sub.Get();
        }
        if (isFolder || file.empty()) continue;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z.get(), idx, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            return "Die Datei '" + name + "' kann nicht gelesen werden: " + zip_strerror(z.get());
        zip_file_t* zf = zip_fopen_index(z.get(), idx, 0);
        if (!zf) return "Die Datei '" + name + "' kann nicht gelesen werden: " + zip_strerror(z.get());
        const int fd = CreateFileAt(at, file, 0666).Release();
        if (fd < 0) {
            const int err = errno;
            zip_fclose(zf);
            if (linkAt(file)) return LinkText(target);
            return "Die Datei '" + target.string() +
                   "' kann nicht geschrieben werden: " + WriteErrorText(err);
        }
        char buf[65536];
        zip_int64_t got = 0;
        int writeErr = 0;
        // No more than the archive states (the free space was checked against that): one byte more shows
        // an entry longer than stated, which is refused before it fills the disk.
        std::uint64_t rest = st.size;
        bool zuLang = false;
        while (writeErr == 0 &&
               (got = zip_fread(
                    zf, buf, static_cast<zip_uint64_t>(std::min<std::uint64_t>(sizeof buf, rest + 1)))) > 0) {
            if (static_cast<std::uint64_t>(got) > rest) {
                zuLang = true;
                break;
            }
            writeErr = put(fd, buf, static_cast<size_t>(got));
            rest -= static_cast<std::uint64_t>(got);
        }
        // zip_fread reports a CRC mismatch at the end of the entry as -1.
        const std::string readErr = zuLang                      ? "Sie ist länger, als das Archiv angibt."
                                    : writeErr == 0 && got != 0 ? zip_file_strerror(zf)
                                                                : std::string();
        zip_fclose(zf);
        // A full disk may show only when the data reaches it.
        if (writeErr == 0 && ::fsync(fd) != 0 && errno != EINVAL) writeErr = errno;
        if (::close(fd) != 0 && writeErr == 0 && errno != EINTR) writeErr = errno;
        if (writeErr != 0)
            return "Die Datei '" + target.string() +
                   "' kann nicht geschrieben werden: " + WriteErrorText(writeErr);
        if (!readErr.empty()) return "Die Datei '" + name + "' im Archiv ist beschädigt: " + readErr;
    }
    return {};
}

} // namespace velu::archive
