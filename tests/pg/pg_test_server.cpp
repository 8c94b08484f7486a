// Starts or stops the database server the tests share, as a test fixture's set-up and
// clean-up: "start DIR" makes a new server in DIR and leaves it running, "stop DIR" stops
// it and removes DIR.
#include "PgServer.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using zel::test::PgServer;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2) {
        std::fputs("usage: pg_test_server start|stop DIR\n", stderr);
        return 2;
    }
    if (args.at(0) == QLatin1String("start")) {
        const PgServer server(args.at(1), PgServer::Mode::Keep);
        if (!server.error().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(server.error()));
            return 1;
        }
        return 0;
    }
    {
        PgServer server(args.at(1), PgServer::Mode::Attach);
        server.stop(true);
    }
    QDir(args.at(1)).removeRecursively();
    return 0;
}
