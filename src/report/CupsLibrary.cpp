// The CUPS client library is loaded when a job is first handed to the printer, not when the
// program starts: with what it brings (TLS, Kerberos, DNS-SD) it was a third of the libraries
// every start loaded and bound, for the few runs that print. The functions we use are
// defined here under their own names and forward to the library.
#include "report/CupsLibrary.h"

#include "data/base/Error.h"
#include "data/base/LoadedLibrary.h"
#include "report/TRpError.h"

#include <cups/cups.h>

namespace {

zel::data::LoadedLibrary& library()
{
    static zel::data::LoadedLibrary cups("libcups.so.2",
                                         QStringLiteral("The print system's library"));
    return cups;
}

} // namespace

namespace zel::report {

void loadCupsLibrary()
{
    try {
        library().load();
    } catch (const data::Error& e) {
        throw TRpError(e.message());
    }
}

} // namespace zel::report

#define ZEL_CUPS(result, name, parameters, arguments)                                              \
    ZEL_FORWARD(library, result, name, parameters, arguments)

ZEL_CUPS(const char*, cupsLastErrorString, (void), ())
ZEL_CUPS(void, cupsFreeOptions, (int num_options, cups_option_t* options), (num_options, options))
ZEL_CUPS(int, cupsAddOption,
         (const char* name, const char* value, int num_options, cups_option_t** options),
         (name, value, num_options, options))
ZEL_CUPS(cups_dest_t*, cupsGetNamedDest, (http_t * http, const char* name, const char* instance),
         (http, name, instance))
ZEL_CUPS(void, cupsFreeDests, (int num_dests, cups_dest_t* dests), (num_dests, dests))
ZEL_CUPS(void, httpClose, (http_t * http), (http))
ZEL_CUPS(http_t*, httpConnect2,
         (const char* host, int port, http_addrlist_t* addrlist, int family,
          http_encryption_t encryption, int blocking, int msec, int* cancel),
         (host, port, addrlist, family, encryption, blocking, msec, cancel))
ZEL_CUPS(const char*, cupsServer, (void), ())
ZEL_CUPS(int, ippPort, (void), ())
ZEL_CUPS(http_encryption_t, cupsEncryption, (void), ())
ZEL_CUPS(int, cupsCreateJob,
         (http_t * http, const char* name, const char* title, int num_options,
          cups_option_t* options),
         (http, name, title, num_options, options))
ZEL_CUPS(ipp_status_t, cupsCancelJob2, (http_t * http, const char* name, int job_id, int purge),
         (http, name, job_id, purge))
ZEL_CUPS(http_status_t, cupsStartDocument,
         (http_t * http, const char* name, int job_id, const char* docname, const char* format,
          int last_document),
         (http, name, job_id, docname, format, last_document))
ZEL_CUPS(http_status_t, cupsWriteRequestData, (http_t * http, const char* buffer, size_t length),
         (http, buffer, length))
ZEL_CUPS(ipp_status_t, cupsFinishDocument, (http_t * http, const char* name), (http, name))
