#include "model/Configuration.h"

#include "data/engine/Database.h"
#include "data/server/ServerSource.h"
#include "model/Schema.h"

namespace zel::model {

void define(data::Database& database, const Configuration& configuration)
{
    schema::describe(database);
    if (configuration.isServer()) {
        database.setSource(std::make_shared<data::server::ServerSource>(
            configuration.connection, schema::serverCatalog(), configuration.timeout));
        return;
    }
    if (!database.hasSource() && !configuration.dataDirectory.isEmpty() &&
        database.path() == configuration.dataDirectory)
        return;
    database.setPath(configuration.dataDirectory);
    database.setDriver(QStringLiteral("STANDARD"));
}

void useServer(data::Database& database, const QString& connection)
{
    Configuration configuration;
    configuration.connection = connection;
    define(database, configuration);
}

} // namespace zel::model
