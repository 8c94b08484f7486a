// Feeds arbitrary command lines to zel's parser: the bytes split at each zero byte into
// arguments. It must never crash, and its answer must be one the program can act on: a usage
// error with its message, or a line that asks for at most one report, with both its values.
#include "app/CommandLine.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList args;
    for (const QByteArray& word : bytes.split('\0'))
        args << QString::fromLocal8Bit(word);
    const zel::app::CommandLine c = zel::app::CommandLine::parse(args);
    if (!c.unknown.isEmpty() && !c.failed())
        std::abort(); // an argument that is not understood is always an error
    if (!c.failed()) {
        const bool material = !c.materialCas.isEmpty();
        const bool supplier = !c.supplierNumber.isEmpty();
        if (material && supplier)
            std::abort(); // two reports at once are refused
        if ((material || supplier) != !c.reportFile.isEmpty())
            std::abort(); // a report always has its file, and a file its report
        if (!c.reportFile.isEmpty() &&
            (!c.headless || !zel::app::CommandLine::knownOutputFormat(c.reportFile)))
            std::abort();
    }
    return 0;
}
