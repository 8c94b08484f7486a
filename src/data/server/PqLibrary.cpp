// The PostgreSQL client library is loaded when a server is first named, not when the program
// starts: most copies read a data directory, and loading libpq with what it brings (TLS,
// Kerberos, LDAP) at every start cost a third of a bare Qt program's start-up time. The
// functions we use are defined here under their own names and forward to the library.
#include "data/base/LoadedLibrary.h"

#include <libpq-fe.h>

namespace {

zel::data::LoadedLibrary& library()
{
    static zel::data::LoadedLibrary pq("libpq.so.5",
                                       QStringLiteral("The PostgreSQL client library"));
    return pq;
}

} // namespace

#define ZEL_PQ(result, name, parameters, arguments)                                                \
    ZEL_FORWARD(library, result, name, parameters, arguments)

ZEL_PQ(void, PQfreemem, (void* ptr), (ptr))
ZEL_PQ(ExecStatusType, PQresultStatus, (const PGresult* res), (res))
ZEL_PQ(char*, PQresultErrorMessage, (const PGresult* res), (res))
ZEL_PQ(PGresult*, PQgetResult, (PGconn * conn), (conn))
ZEL_PQ(ConnStatusType, PQstatus, (const PGconn* conn), (conn))
ZEL_PQ(int, PQputCopyEnd, (PGconn * conn, const char* errormsg), (conn, errormsg))
ZEL_PQ(void, PQfinish, (PGconn * conn), (conn))
ZEL_PQ(char*, PQerrorMessage, (const PGconn* conn), (conn))
ZEL_PQ(int, PQsslInUse, (PGconn * conn), (conn))
ZEL_PQ(int, PQsocket, (const PGconn* conn), (conn))
ZEL_PQ(PQnoticeProcessor, PQsetNoticeProcessor, (PGconn * conn, PQnoticeProcessor proc, void* arg),
       (conn, proc, arg))
ZEL_PQ(int, PQputCopyData, (PGconn * conn, const char* buffer, int nbytes), (conn, buffer, nbytes))
ZEL_PQ(int, PQntuples, (const PGresult* res), (res))
ZEL_PQ(PGnotify*, PQnotifies, (PGconn * conn), (conn))
ZEL_PQ(int, PQnfields, (const PGresult* res), (res))
ZEL_PQ(char*, PQgetvalue, (const PGresult* res, int tup_num, int field_num),
       (res, tup_num, field_num))
ZEL_PQ(int, PQgetlength, (const PGresult* res, int tup_num, int field_num),
       (res, tup_num, field_num))
ZEL_PQ(int, PQgetCopyData, (PGconn * conn, char** buffer, int async), (conn, buffer, async))
ZEL_PQ(char*, PQescapeLiteral, (PGconn * conn, const char* str, size_t len), (conn, str, len))
ZEL_PQ(char*, PQescapeIdentifier, (PGconn * conn, const char* str, size_t len), (conn, str, len))
ZEL_PQ(char*, PQencryptPasswordConn,
       (PGconn * conn, const char* passwd, const char* user, const char* algorithm),
       (conn, passwd, user, algorithm))
ZEL_PQ(int, PQconsumeInput, (PGconn * conn), (conn))
ZEL_PQ(PQconninfoOption*, PQconninfoParse, (const char* conninfo, char** errmsg),
       (conninfo, errmsg))
ZEL_PQ(void, PQconninfoFree, (PQconninfoOption * connOptions), (connOptions))
ZEL_PQ(PQconninfoOption*, PQconninfo, (PGconn * conn), (conn))
ZEL_PQ(PGconn*, PQconnectdbParams,
       (const char* const* keywords, const char* const* values, int expand_dbname),
       (keywords, values, expand_dbname))
ZEL_PQ(void, PQclear, (PGresult * res), (res))
ZEL_PQ(int, PQsendQuery, (PGconn * conn, const char* query), (conn, query))
ZEL_PQ(int, PQsendQueryParams,
       (PGconn * conn, const char* command, int nParams, const Oid* paramTypes,
        const char* const* paramValues, const int* paramLengths, const int* paramFormats,
        int resultFormat),
       (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat))
ZEL_PQ(int, PQisBusy, (PGconn * conn), (conn))
ZEL_PQ(int, PQflush, (PGconn * conn), (conn))
ZEL_PQ(int, PQsetnonblocking, (PGconn * conn, int arg), (conn, arg))
