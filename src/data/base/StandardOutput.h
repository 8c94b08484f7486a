#pragma once

#include <QTextStream>

namespace zel::data {

// Standard output for what a program prints there (help, a table as CSV, what it wrote). Its
// writes are checked: output lost to a full disk, a pipe whose reader has gone or a file that
// cannot grow is a failure the program reports, never a success with nothing to show for it.
class StandardOutput
{
public:
    // The one stream on standard output (UTF-8). Written through in pieces as it fills.
    static QTextStream& stream();
    // Writes out what is still held. False, after a line on standard error
    // ("zeltool: cannot write to standard output: No space left on device"), when any of the
    // output was lost, then or earlier.
    static bool finish(const char* programName);
};

} // namespace zel::data
