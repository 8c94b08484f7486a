#pragma once

#include <QStringList>

class QTextStream;

namespace zel::report {

// `zeltool report ...`: works on saved report files without the database. args are the words
// after "report":
//
//   info FILE              header fields, and each page's offset, record length and size
//   page FILE N OUT.emf    page N's image as a metafile of its own
//   pdf FILE OUT.pdf       every page on a PDF page of its paper size
//   pack FILE OUT          the same pages, compressed
//   unpack FILE OUT        the same pages, uncompressed
//   demo OUT [PAGES] [--compressed] [--landscape]
//                          a report file of demonstration pages
//
// Results go to standard output (StandardOutput: the caller finishes it and so learns
// whether they arrived), errors to standard error. Returns 0 on success, 1 when the
// work failed and 2 on wrong usage (with the usage text). An output file is written under a
// temporary name and renamed when complete, so a failure leaves no partial file.
//
// pdf and demo draw text and need a QGuiApplication; when the program has no application
// object yet, one is made for the call (on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise).
int runReportTool(const QStringList& args);

// The same, writing to the given streams.
int runReportTool(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zel::report
