#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zel::data {

// File names are bytes, and nothing makes them UTF-8. The toolkit reads every name as UTF-8 and
// loses each byte that is not (an "\xff" becomes U+FFFD, and its directory listings skip such
// names altogether), so the program holds names in a text of its own that keeps every byte:
// what is UTF-8 reads as the text it is, and each other byte 0x80..0xFF becomes the unpaired
// surrogate U+DC80..U+DCFF, which no name read as UTF-8 can hold. Every name handed to the
// system goes through fileNameBytes(); the toolkit's file classes never see such a name.
QString fileNameFromBytes(QByteArrayView bytes);
QByteArray fileNameBytes(const QString& name);

// The words of a command line after the program's name, read as names are.
QStringList argumentsFromBytes(int argc, char** argv);

bool isRegularFile(const QString& path); // after following symbolic links
bool fileExists(const QString& path);    // anything of that name, a dangling link too
// path itself when absolute, else beneath the current directory; "." and ".." resolved.
QString absolutePath(const QString& path);
// Makes the directory and those above it that are missing. False when it is not there after.
bool makeDirectories(const QString& path);

// The entries of dir (hidden ones too, "." and ".." not) that match the shell pattern, compared
// without regard to case. Returns 0, or the system's error number when dir cannot be read to
// its end.
int listMatching(const QString& dir, const QString& pattern, QStringList& out);

// The regular file called name in dir, by that name or else by one that differs only in case,
// as an absolute path; an empty string when there is none.
QString findFileIgnoringCase(const QString& dir, const QString& name);

} // namespace zel::data
