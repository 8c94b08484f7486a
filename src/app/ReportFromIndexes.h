#pragma once

#include <QString>
#include <optional>

namespace zel::app {

class CommandLine;

// The headless report (material, supplier or comparison) of a data directory whose index files
// are current: the records it shows found through the index files and read alone
// (model::reportTables), without the browser's windows or the whole tables. Returns the exit
// code, after the message or the "Wrote" line the full start gives; nothing when the report
// needs that start instead (no such directory, material or supplier, a server, indexes to
// build or out of date), having written nothing. A comparison's missing material is told here,
// in the full start's words.
std::optional<int> writeReportFromIndexes(const QString& programDirectory,
                                          const CommandLine& command);

} // namespace zel::app
