#include "data/base/FileName.h"

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fnmatch.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // + the byte, for bytes 0x80..0xFF

// The length of the well-formed UTF-8 sequence at p (at most n bytes), or 0.
qsizetype utf8Length(const unsigned char* p, qsizetype n)
{
    const unsigned char c = p[0];
    qsizetype len = 0;
    unsigned char low = 0x80, high = 0xBF; // the bounds of the second byte
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        // No overlong forms, and no surrogates: those are how the escapes are told apart.
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (n < len || p[1] < low || p[1] > high)
        return 0;
    for (qsizetype i = 2; i < len; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    return len;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype from = 0; // the start of the UTF-8 not yet decoded
    for (qsizetype i = 0; i < n;) {
        const qsizetype len = utf8Length(p + i, n - i);
        if (len > 0) {
            i += len;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(from, i - from));
        name += QChar(static_cast<char16_t>(kEscapeBase + p[i]));
        from = ++i;
    }
    name += QString::fromUtf8(bytes.sliced(from));
    return name;
}

QByteArray fileNameBytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0; // the start of the text not yet encoded
    const auto flush = [&](qsizetype to) {
        if (to > from)
            bytes += QStringView(name).sliced(from, to - from).toUtf8();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        // An escape is a low surrogate with no high one before it.
        const bool paired = i > 0 && QChar::isHighSurrogate(name[i - 1].unicode());
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && !paired) {
            flush(i);
            bytes += static_cast<char>(c - kEscapeBase);
            from = i + 1;
        }
    }
    flush(name.size());
    return bytes;
}

QStringList argumentsFromBytes(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << fileNameFromBytes(argv[i]);
    return args;
}

bool isRegularFile(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(fileNameBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool fileExists(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(fileNameBytes(path).constData(), &st) == 0;
}

QString absolutePath(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    std::unique_ptr<char, decltype(&std::free)> here(::getcwd(nullptr, 0), &std::free);
    const QString base = here ? fileNameFromBytes(here.get()) : QStringLiteral("/");
    return QDir::cleanPath(base + QLatin1Char('/') + path);
}

bool makeDirectories(const QString& path)
{
    struct stat st
    {
    };
    const QByteArray bytes = fileNameBytes(path);
    if (::stat(bytes.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0 && !makeDirectories(path.left(slash)))
        return false;
    return ::mkdir(bytes.constData(), 0777) == 0 || errno == EEXIST;
}

int listMatching(const QString& dir, const QString& pattern, QStringList& out)
{
    DIR* d = ::opendir(fileNameBytes(dir.isEmpty() ? QStringLiteral(".") : dir).constData());
    if (!d)
        return errno;
    const QByteArray pat = fileNameBytes(pattern);
    errno = 0;
    while (const dirent* entry = ::readdir(d)) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != ".." &&
            ::fnmatch(pat.constData(), entry->d_name, FNM_CASEFOLD) == 0)
            out << fileNameFromBytes(name);
        errno = 0;
    }
    const int error = errno;
    ::closedir(d);
    return error;
}

QString findFileIgnoringCase(const QString& dir, const QString& name)
{
    const QString base = dir.isEmpty() ? QStringLiteral(".") : dir;
    const QString exact = base + QLatin1Char('/') + name;
    if (isRegularFile(exact))
        return absolutePath(exact);
    QStringList entries;
    listMatching(base, QStringLiteral("*"), entries);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0 &&
            isRegularFile(base + QLatin1Char('/') + entry))
            return absolutePath(base + QLatin1Char('/') + entry);
    return QString();
}

} // namespace zel::data
