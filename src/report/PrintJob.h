#pragma once

#include <QPageLayout>
#include <QString>
#include <QTemporaryFile>
#include <functional>

namespace zel::report {

// A print job that reaches the printer whole or not at all. Its pages are written as a PDF
// file of our own first, which the spooler (CUPS) gets only once the last page is made: a
// print cancelled before then leaves nothing in the queue, and one cancelled while the file
// is still being handed over is withdrawn from the queue again.
class PrintJob
{
public:
    enum class Sides
    {
        OneSided,
        LongEdge,
        ShortEdge,
        AsThePagesLie // along the long edge for upright pages, the short one for turned ones
    };
    struct Settings
    {
        QString printer; // a queue, or a queue and one of its instances as "queue/instance"
        QString title;
        int copies = 1;
        Sides sides = Sides::OneSided;
    };

    explicit PrintJob(Settings settings);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    const Settings& settings() const { return m_settings; }
    // The file the pages go into, created on first use (owner-only, removed with the job).
    // Throws TRpError when it cannot be made.
    QIODevice& file();

    // Hands the finished file to the spooler on paper of layout, and tells handedOver the
    // job's number as soon as the spooler has made the job. Between pieces of the file it
    // asks cancelled; when that says so, the spooler is asked to withdraw the job, and false
    // is returned. Throws TRpError when the spooler refuses the job or cannot withdraw it.
    bool submit(const QPageLayout& layout, const std::function<void(int job)>& handedOver,
                const std::function<bool()>& cancelled);

private:
    Settings m_settings;
    QTemporaryFile m_file;
};

} // namespace zel::report
