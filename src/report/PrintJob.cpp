#include "report/PrintJob.h"

#include "report/CupsLibrary.h"
#include "report/TRpError.h"

#include <QDir>
#include <cups/cups.h>
#include <memory>
#include <sys/socket.h>

namespace zel::report {

namespace {

QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

struct Options
{
    int count = 0;
    cups_option_t* list = nullptr;
    ~Options()
    {
        if (list)
            cupsFreeOptions(count, list);
    }
    void add(const char* name, const QByteArray& value)
    {
        count = cupsAddOption(name, value.constData(), count, &list);
    }
};

const char* sidesOption(PrintJob::Sides sides, QPageLayout::Orientation orientation)
{
    switch (sides) {
    case PrintJob::Sides::OneSided:
        break;
    case PrintJob::Sides::LongEdge:
        return "two-sided-long-edge";
    case PrintJob::Sides::ShortEdge:
        return "two-sided-short-edge";
    case PrintJob::Sides::AsThePagesLie:
        return orientation == QPageLayout::Landscape ? "two-sided-short-edge"
                                                     : "two-sided-long-edge";
    }
    return "one-sided";
}

} // namespace

PrintJob::PrintJob(Settings settings)
    : m_settings(std::move(settings)),
      m_file(QDir::tempPath() + QStringLiteral("/zel-print-XXXXXX.pdf"))
{
}

PrintJob::~PrintJob() = default;

QIODevice& PrintJob::file()
{
    if (!m_file.isOpen() && !m_file.open())
        throw TRpError(QStringLiteral("Cannot make the print file in %1: %2")
                           .arg(QDir::tempPath(), m_file.errorString()));
    return m_file;
}

bool PrintJob::submit(const QPageLayout& layout, const std::function<void(int job)>& handedOver,
                      const std::function<bool()>& cancelled)
{
    const QString printer = m_settings.printer;
    const QByteArray queue = printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray instance = printer.section(QLatin1Char('/'), 1).toLocal8Bit();
    const QByteArray title = m_settings.title.toUtf8();
    if (queue.isEmpty())
        throw TRpError(QStringLiteral("There is no printer to print on"));
    loadCupsLibrary(); // a library that cannot be loaded is told here, before anything is asked

    // The options the user keeps for that printer (and instance) first, then this print's.
    Options options;
    if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                             instance.isEmpty() ? nullptr : instance.constData())) {
        for (int i = 0; i < dest->num_options; ++i)
            options.add(dest->options[i].name, dest->options[i].value);
        cupsFreeDests(1, dest);
    }
    options.add("media", layout.pageSize().key().toUtf8());
    options.add("sides", sidesOption(m_settings.sides, layout.orientation()));
    if (m_settings.copies > 1) {
        options.add("copies", QByteArray::number(m_settings.copies));
        options.add("multiple-document-handling", "separate-documents-collated-copies");
    }

    // A connection of its own: a job withdrawn half handed over has its transfer cut off
    // while the default connection asks for the withdrawal.
    const auto close = [](http_t* h) { httpClose(h); };
    std::unique_ptr<http_t, decltype(close)> http(httpConnect2(cupsServer(), ippPort(), nullptr,
                                                               AF_UNSPEC, cupsEncryption(), 1,
                                                               30000, nullptr),
                                                  close);
    if (!http)
        throw TRpError(QStringLiteral("The print system cannot be reached: %1").arg(lastError()));
    const int job = cupsCreateJob(http.get(), queue.constData(), title.constData(), options.count,
                                  options.list);
    if (job == 0)
        throw TRpError(
            QStringLiteral("The printer %1 did not take the job: %2").arg(printer, lastError()));
    handedOver(job);

    const auto withdraw = [&] {
        http.reset();
        if (cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), job, 0) != IPP_STATUS_OK)
            throw TRpError(QStringLiteral("Job %1 on %2 could not be withdrawn: %3")
                               .arg(job)
                               .arg(printer, lastError()));
    };
    if (cancelled()) {
        withdraw();
        return false;
    }
    if (cupsStartDocument(http.get(), queue.constData(), job, title.constData(), CUPS_FORMAT_PDF,
                          1) != HTTP_STATUS_CONTINUE) {
        const QString reason = lastError();
        withdraw();
        throw TRpError(
            QStringLiteral("The printer %1 did not take the job: %2").arg(printer, reason));
    }
    m_file.flush();
    m_file.seek(0);
    while (!m_file.atEnd()) {
        const QByteArray piece = m_file.read(1 << 16);
        if (piece.isEmpty() ||
            cupsWriteRequestData(http.get(), piece.constData(), std::size_t(piece.size())) !=
                HTTP_STATUS_CONTINUE) {
            const QString reason = piece.isEmpty() ? m_file.errorString() : lastError();
            withdraw();
            throw TRpError(
                QStringLiteral("The job could not be handed to %1: %2").arg(printer, reason));
        }
        if (cancelled()) {
            withdraw();
            return false;
        }
    }
    if (cupsFinishDocument(http.get(), queue.constData()) >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
        const QString reason = lastError();
        withdraw();
        throw TRpError(
            QStringLiteral("The printer %1 did not take the job: %2").arg(printer, reason));
    }
    return true;
}

} // namespace zel::report
