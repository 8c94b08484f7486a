#pragma once

#include <QString>
#include <mutex>

namespace zel::data {

// A shared library opened when a function of it is first called, not when the program
// starts: libraries a few runs need (and all they bring) are then neither loaded nor bound by
// every start. Each shim defines the functions it uses under their own names with
// ZEL_FORWARD, so that callers keep the library's own header and calls.
class LoadedLibrary
{
public:
    // file is the name dlopen looks for; what says what it is for, in messages.
    LoadedLibrary(const char* file, QString what);

    // Opens the library if it is not open yet; throws DatabaseError saying why it cannot be.
    void load();
    // The address of a function of it; throws DatabaseError when there is none.
    void* symbol(const char* name);

private:
    const char* m_file;
    QString m_what;
    std::once_flag m_once;
    void* m_handle = nullptr;
    QString m_error;
};

} // namespace zel::data

// Defines the C function `name` of the library that `library()` returns; its address is looked
// up once.
#define ZEL_FORWARD(library, result, name, parameters, arguments)                                  \
    extern "C" result name parameters                                                              \
    {                                                                                              \
        static const auto f = reinterpret_cast<decltype(&name)>(library().symbol(#name));          \
        return f arguments;                                                                        \
    }
