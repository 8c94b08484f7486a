#include "data/base/LoadedLibrary.h"

#include "data/base/Error.h"

#include <dlfcn.h>

namespace zel::data {

LoadedLibrary::LoadedLibrary(const char* file, QString what) : m_file(file), m_what(std::move(what))
{
}

void LoadedLibrary::load()
{
    std::call_once(m_once, [this] {
        m_handle = ::dlopen(m_file, RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            m_error = QString::fromLocal8Bit(::dlerror());
    });
    if (!m_handle)
        throw DatabaseError(QStringLiteral("%1 cannot be loaded: %2").arg(m_what, m_error));
}

void* LoadedLibrary::symbol(const char* name)
{
    load();
    void* address = ::dlsym(m_handle, name);
    if (!address)
        throw DatabaseError(QStringLiteral("%1 has no %2").arg(m_what, QLatin1String(name)));
    return address;
}

} // namespace zel::data
