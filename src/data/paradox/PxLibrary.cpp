// The library that lays out new table files is loaded when a table is first written, not
// when the program starts: it brings ten more (a document library, GIO, XML), whose loading
// and binding every start paid for the few that write a table. The functions we use are
// defined here under their own names and forward to the library.
#include "data/base/LoadedLibrary.h"

extern "C" {
#include <paradox.h>
unsigned long px_passwd_checksum(const char* password);
}

namespace {

zel::data::LoadedLibrary& library()
{
    static zel::data::LoadedLibrary px("libpx.so.0",
                                       QStringLiteral("The library that writes tables"));
    return px;
}

} // namespace

#define ZEL_PX(result, name, parameters, arguments)                                                \
    ZEL_FORWARD(library, result, name, parameters, arguments)

ZEL_PX(void, PX_boot, (void), ())
ZEL_PX(pxdoc_t*, PX_new2,
       (void (*errorhandler)(pxdoc_t* p, int type, const char* msg, void* data),
        void* (*allocproc)(pxdoc_t* p, size_t size, const char* caller),
        void* (*reallocproc)(pxdoc_t* p, void* mem, size_t size, const char* caller),
        void (*freeproc)(pxdoc_t* p, void* mem)),
       (errorhandler, allocproc, reallocproc, freeproc))
ZEL_PX(int, PX_create_fp, (pxdoc_t * pxdoc, pxfield_t* pxf, int numfields, FILE* fp, int type),
       (pxdoc, pxf, numfields, fp, type))
ZEL_PX(void, PX_close, (pxdoc_t * pxdoc), (pxdoc))
ZEL_PX(void, PX_delete, (pxdoc_t * pxdoc), (pxdoc))
ZEL_PX(int, PX_get_recordsize, (pxdoc_t * pxdoc), (pxdoc))
ZEL_PX(int, PX_set_parameter, (pxdoc_t * pxdoc, const char* name, const char* value),
       (pxdoc, name, value))
ZEL_PX(int, PX_set_value, (pxdoc_t * pxdoc, const char* name, float value), (pxdoc, name, value))
ZEL_PX(int, PX_set_tablename, (pxdoc_t * pxdoc, const char* tablename), (pxdoc, tablename))
ZEL_PX(void, PX_put_data_double, (pxdoc_t * pxdoc, char* data, int len, double value),
       (pxdoc, data, len, value))
ZEL_PX(void, PX_put_data_byte, (pxdoc_t * pxdoc, char* data, int len, char value),
       (pxdoc, data, len, value))
ZEL_PX(unsigned long, px_passwd_checksum, (const char* password), (password))
