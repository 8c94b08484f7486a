#include "ReportTestData.h"

#include <QFile>
#include <QtEndian>
#include <stdexcept>

namespace zel::test {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

qint32 i32At(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

quint16 u16At(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

void putI32(QByteArray& data, qsizetype offset, qint32 value)
{
    qToLittleEndian(value, data.data() + offset);
}

void putU16(QByteArray& data, qsizetype offset, quint16 value)
{
    qToLittleEndian(value, data.data() + offset);
}

std::vector<DrawnText> textsOf(const zel::report::emf::EmfImage& image)
{
    const QByteArray& b = image.bytes();
    std::vector<DrawnText> out;
    qsizetype off = 0;
    while (off + 8 <= b.size()) {
        const qint32 type = i32At(b, off);
        const qint32 size = i32At(b, off + 4);
        if (type == 84) { // EMR_EXTTEXTOUTW
            const qint32 n = i32At(b, off + 44);
            const qint32 at = i32At(b, off + 48);
            out.push_back({QPoint(i32At(b, off + 36), i32At(b, off + 40)),
                           QString(reinterpret_cast<const QChar*>(b.constData() + off + at), n)});
        }
        if (type == 14 || size <= 0)
            break;
        off += size;
    }
    return out;
}

} // namespace zel::test
