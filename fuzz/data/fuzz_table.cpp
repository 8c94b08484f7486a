// Feeds arbitrary bytes to the table reader as if they were a table file: it must answer
// with a DatabaseError or a table, never crash or read out of bounds.
#include "data/Error.h"
#include "data/ParadoxFile.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = memfd_create("table", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        try {
            zel::data::paradox::readTable(fd, QStringLiteral("FUZZ.DB"),
                                          {QStringLiteral("qomtk4")});
        } catch (const zel::data::DatabaseError&) {
        }
    }
    close(fd);
    return 0;
}
