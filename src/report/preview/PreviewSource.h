#pragma once

#include "report/TRpPageList.h"
#include "report/emf/EmfImage.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace zel::report {

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
    // Writes the pages to a report file; nothing while pages are still being produced.
    // Throws ReportFileError.
    virtual void save(const QString& path) = 0;
    // Makes a saved report file the pages shown. Throws ReportFileError.
    virtual void load(const QString& path) = 0;
    // Prints the pages (the printer dialog comes first); false when nothing was printed.
    virtual bool print(QWidget* parent) = 0;
    // The printer settings dialog; false when cancelled.
    virtual bool printerSetup(QWidget* parent) = 0;
    // Stops a run that is still producing pages.
    virtual void cancel() {}

Q_SIGNALS:
    void pagesAvailable(int count);
    void progress(int percent);
};

// Finished pages in a page list: a loaded report file, or a run whose pages are complete.
// Printing plays the stored pages stretched over the printer's printable area.
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
    void save(const QString& path) override;
    void load(const QString& path) override;
    bool print(QWidget* parent) override;
    bool printerSetup(QWidget* parent) override;

    TRpPageList& pages() { return *m_list; }
    // The range the printer setup chose; 0 and 0 mean every page.
    int firstPage() const { return m_first; }
    int lastPage() const { return m_last; }
    int copies() const { return m_copies; }

private:
    std::unique_ptr<TRpPageList> m_list;
    int m_first = 0, m_last = 0, m_copies = 1;
};

} // namespace zel::report

namespace zel::report {

class TRpPrinter;

// The pages of a run while it produces them into page images: the preview shows the first
// page as soon as it is finished and may page through the finished ones; closing the preview
// cancels the run. When the run has ended, finish() makes its pages a finished page list that
// can be printed, saved or replaced by a loaded file.
class ProducerSource : public PreviewSource
{
    Q_OBJECT
public:
    explicit ProducerSource(TRpPrinter& producer, QObject* parent = nullptr);
    ~ProducerSource() override;

    int pageCount() const override;
    std::optional<emf::EmfImage> pageImage(int n) override;
    bool isFinished() const override { return m_done != nullptr; }
    void save(const QString& path) override;
    void load(const QString& path) override;
    bool print(QWidget* parent) override;
    bool printerSetup(QWidget* parent) override;
    void cancel() override;

    // Takes the run's pages once it has ended.
    void finish();

private:
    TRpPrinter& m_producer;
    std::unique_ptr<PageListSource> m_done;
};

} // namespace zel::report
