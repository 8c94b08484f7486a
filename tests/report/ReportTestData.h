#pragma once

#include "report/emf/EmfImage.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
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

} // namespace zel::test
