#include "data/base/StandardOutput.h"

#include "data/base/FileAccess.h"

#include <QIODevice>
#include <cerrno>
#include <unistd.h>

namespace zel::data {

namespace {

// Standard output as a device of its own: each write goes to the descriptor at once, and a
// failure keeps the system's reason. The C library's stdout would hold the text until the
// program ends and lose the error there.
class Descriptor : public QIODevice
{
public:
    Descriptor() { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool failed() const { return m_error != 0; }
    QString reason() const { return systemError(m_error); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        qint64 done = 0;
        while (done < size && m_error == 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data + done, static_cast<size_t>(size - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EINTR)
                m_error = errno;
        }
        return m_error == 0 ? done : -1;
    }

private:
    int m_error = 0;
};

Descriptor& descriptor()
{
    static Descriptor device;
    return device;
}

} // namespace

QTextStream& StandardOutput::stream()
{
    static QTextStream out(&descriptor());
    return out;
}

bool StandardOutput::finish(const char* programName)
{
    QTextStream& out = stream();
    out.flush();
    if (out.status() == QTextStream::Ok && !descriptor().failed())
        return true;
    QTextStream err(stderr);
    err << programName << ": cannot write to standard output: "
        << (descriptor().failed() ? descriptor().reason() : QStringLiteral("the text was lost"))
        << '\n';
    return false;
}

} // namespace zel::data
