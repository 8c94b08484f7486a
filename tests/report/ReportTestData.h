#pragma once

#include "report/emf/EmfImage.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

// Small helpers for building and patching report files and page images in tests.
namespace zel::test {

QByteArray bytes(std::initializer_list<int> values);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);

qint32 i32At(const QByteArray& data, qsizetype offset);
quint16 u16At(const QByteArray& data, qsizetype offset);
void putI32(QByteArray& data, qsizetype offset, qint32 value);
void putU16(QByteArray& data, qsizetype offset, quint16 value);

struct DrawnText
{
    QPoint at;
    QString text;
};

// The texts a page image draws, in drawing order, read back from its text records.
std::vector<DrawnText> textsOf(const zel::report::emf::EmfImage& image);

// A page's text row by row, for comparing where pages and lines break on different devices.
// Words less than a millimetre below the first word of a row belong to it (columns set by
// hand differ by a few tenths); each row reads left to right. Only words with a digit are
// kept: generated test words carry numbers, and so do CAS numbers, page numbers and the
// stability labels, while headings do not.
using Rows = QStringList;
using Document = std::vector<Rows>;
Rows rowsOf(const zel::report::emf::EmfImage& image);
// The same for every page of a PDF file, from the word boxes pdftotext finds.
Document rowsOfPdf(const QString& path);
// pdftotext (poppler-utils), empty when it is not installed.
QString pdftotext();

} // namespace zel::test
