// Feeds arbitrary bytes to the zel.ini reader as the text of the file: it must answer with
// values or nothing, never crash or hang, and what it answers must be what a person reading
// the file would find: trimmed values on one line each, the same whichever case the names are
// asked in.
#include "app/IniFile.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    zel::app::IniFile ini;
    ini.parse(text);
    for (const auto& [section, key] :
         {std::pair{"Database", "Path"}, std::pair{"Help", "File Name"}}) {
        const QString value = ini.value(QLatin1String(section), QLatin1String(key));
        if (value.contains(QLatin1Char('\n')))
            std::abort(); // a value never runs over into the next line
        if (value !=
            ini.value(QString::fromLatin1(section).toUpper(), QString::fromLatin1(key).toLower()))
            std::abort(); // names are compared without regard to case
    }
    return 0;
}
