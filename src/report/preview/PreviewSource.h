#pragma once

#include "report/TRpPageList.h"
#include "report/TRpReport.h"
#include "report/emf/EmfImage.h"

#include <QObject>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zel::report {

class TRpPrinter;

// What the preview window shows and drives: a page producer, still producing or finished,
// or a saved report file. Notifications arrive as signals, queued and in order.
class PreviewSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual int pageCount() const = 0;
    // Page n (1-based), or none above the page count.
    virtual std::optional<emf::EmfImage> pageImage(int n) = 0;
    virtual bool isFinished() const = 0;
    // Whether the pages come from a saved report file. They print as stored, on the paper
    // they were made for; their printer set-up cannot be changed.
    virtual bool isLoaded() const = 0;
    // Writes the pages to a report file; nothing while pages are still being produced.
    // Throws ReportFileError.
    virtual void save(const QString& path) = 0;
    // Makes a saved report file the pages shown. Throws ReportFileError.
    virtual void load(const QString& path) = 0;
    // Stops a run that is still producing pages.
    virtual void cancel() {}

    // The settings the next print uses; the printer set-up changes them.
    virtual TRpPrinterSettings& printerSettings() = 0;
    // How the pages lie on their paper.
    virtual QPageLayout::Orientation pageOrientation() = 0;
    // Prints onto printer, a printer destination that is ready: the report run again at the
    // printer's own resolution where it can be, otherwise the stored pages. Throws TRpError or
    // ReportFileError.
    virtual void print(TRpPrinter& printer) = 0;

Q_SIGNALS:
    void pagesAvailable(int count);
    void progress(int percent);
};

// Finished pages in a page list: a loaded report file, or a run whose pages are complete.
// Printing plays the stored pages.
class PageListSource : public PreviewSource
{
    Q_OBJECT
public:
    // Takes over list; a null list starts empty.
    explicit PageListSource(std::unique_ptr<TRpPageList> list = nullptr, QObject* parent = nullptr);
    ~PageListSource() override;

    int pageCount() const override;
    std::optional<emf::EmfImage> pageImage(int n) override;
    bool isFinished() const override { return true; }
    bool isLoaded() const override { return m_list->loaded(); }
    void save(const QString& path) override;
    void load(const QString& path) override;
    TRpPrinterSettings& printerSettings() override { return m_settings; }
    QPageLayout::Orientation pageOrientation() override;
    void print(TRpPrinter& printer) override;

    TRpPageList& pages() { return *m_list; }

private:
    std::unique_ptr<TRpPageList> m_list;
    TRpPrinterSettings m_settings;
};

// The pages of a run while it produces them into page images: the preview shows the first
// page as soon as it is finished and may page through the finished ones; closing the preview
// cancels the run. When the run has ended, finish() makes its pages a finished page list that
// can be printed, saved or replaced by a loaded file.
//
// Given the report and a way to run it again, printing runs the report once more straight to
// the printer, with the report's printer settings; otherwise the stored pages are printed.
class ProducerSource : public PreviewSource
{
    Q_OBJECT
public:
    using RunAgain = std::function<void(TRpPrinter&)>;

    explicit ProducerSource(TRpPrinter& producer, TRpReport* report = nullptr,
                            RunAgain runAgain = {}, QObject* parent = nullptr);
    ~ProducerSource() override;

    int pageCount() const override;
    std::optional<emf::EmfImage> pageImage(int n) override;
    bool isFinished() const override { return m_done != nullptr; }
    bool isLoaded() const override { return m_done && m_done->isLoaded(); }
    void save(const QString& path) override;
    void load(const QString& path) override;
    void cancel() override;
    TRpPrinterSettings& printerSettings() override;
    QPageLayout::Orientation pageOrientation() override;
    void print(TRpPrinter& printer) override;

    // Takes the run's pages once it has ended.
    void finish();

private:
    TRpPrinter& m_producer;
    TRpReport* m_report;
    RunAgain m_runAgain;
    TRpPrinterSettings m_settings; // without a report
    std::unique_ptr<PageListSource> m_done;
};

} // namespace zel::report
