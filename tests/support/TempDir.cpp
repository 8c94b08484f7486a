#include "TempDir.h"

#include <QDir>
#include <stdexcept>

namespace zel::test {

TempDir::TempDir() : m_dir(QDir::tempPath() + QStringLiteral("/zeltest-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

QString builtProgram(const QString& relativePath)
{
    return QStringLiteral(ZEL_BINARY_DIR) + QLatin1Char('/') + relativePath;
}

} // namespace zel::test
