#pragma once

#include <QStringList>
#include <QTextStream>

namespace zel::data {

// `zeltool similar DIR CAS [--stable N,...] [--good N,...] [--limit K]`: the materials whose
// odour is closest to that of CAS in the data directory DIR, among those rated "++" in the
// media --stable names and "+" or better in those --good names (numbered 1 to 33 as the search
// dialog lists them), best first, as CSV on out: rank, cas, name, score, odour, and the rating
// of each medium asked for. Returns the exit status; a usage error is 2, a database error 1,
// each with its message on err.
int runSimilarTool(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zel::data
