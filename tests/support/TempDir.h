#pragma once

#include "QtPrinters.h"

#include <QString>
#include <QTemporaryDir>

namespace zel::test {

// A scratch directory under the system temporary directory, removed with the object.
class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Path of a built executable of this project, e.g. "tools/zeltool".
QString builtProgram(const QString& relativePath);

} // namespace zel::test
