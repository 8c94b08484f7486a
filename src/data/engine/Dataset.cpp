#include "data/engine/Dataset.h"

#include "data/base/Error.h"
#include "data/engine/Database.h"
#include "data/engine/Table.h"

#include <QMetaMethod>
#include <algorithm>

namespace zel::data {

namespace {

QStringList splitFields(const QString& fields)
{
    QStringList out;
    for (const QString& f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out << f.trimmed();
    return out;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QVariant RecordRef::value(const QString& field) const
{
    return m_dataset.recordValue(m_record, field);
}

Dataset::Dataset(const QString& name, QObject* parent) : QObject(parent), m_name(name)
{
    setObjectName(name);
}

Dataset::~Dataset()
{
    if (m_database)
        m_database->detach(this);
}

void Dataset::requireOpen(const char* operation) const
{
    if (!m_table)
        throw DatabaseError(
            QStringLiteral("Cannot %1 on closed dataset %2").arg(QLatin1String(operation), m_name));
}

void Dataset::setDatabase(Database* database)
{
    close();
    if (m_database)
        m_database->detach(this);
    m_database = database;
}

void Dataset::setTableName(const QString& fileName)
{
    close();
    m_tableName = fileName;
}

void Dataset::setIndexName(const QString& name)
{
    m_wantIndexName = name;
    m_wantIndexFields.clear();
    if (m_table) {
        const IndexDef* def = m_table->indexByName(name);
        // Choosing the index in use again changes nothing, as lookups do before each search.
        if (def && m_index && m_index->def().name.compare(def->name, Qt::CaseInsensitive) == 0)
            return;
        selectIndex(def, name);
    }
}

QString Dataset::indexName() const
{
    if (m_index)
        return m_index->def().primary ? QString() : m_index->def().name;
    return m_wantIndexName;
}

void Dataset::setIndexFieldNames(const QString& fields)
{
    m_wantIndexFields = fields;
    m_wantIndexName.clear();
    if (m_table)
        selectIndex(m_table->indexByFields(splitFields(fields)), fields);
}

QString Dataset::indexFieldNames() const
{
    if (m_index)
        return m_index->def().fields.join(QLatin1Char(';'));
    return m_wantIndexFields;
}

void Dataset::selectIndex(const IndexDef* def, const QString& what)
{
    if (!def)
        throw DatabaseError(
            QStringLiteral("%1 has no index %2")
                .arg(m_table->displayName(), what.isEmpty() ? QStringLiteral("primary") : what));
    const int keep = recordNumber();
    const Index& idx = m_table->index(*def);
    if (m_master) {
        const QStringList& f = idx.def().fields;
        for (qsizetype i = 0; i < m_linkFields.size(); ++i)
            if (i >= f.size() || !sameName(f[i], m_linkFields[i]))
                throw DatabaseError(
                    QStringLiteral("Index %1 of %2 does not lead with the link fields %3")
                        .arg(idx.def().name, m_table->displayName(),
                             m_linkFields.join(QLatin1Char(';'))));
    }
    m_index = &idx;
    m_hasRange = false;
    applySlice(keep);
    notify();
}

void Dataset::setMasterSource(Dataset* master, const QString& linkFields)
{
    QObject::disconnect(m_masterData);
    QObject::disconnect(m_masterActive);
    m_master = master;
    m_linkFields = splitFields(linkFields);
    if (master) {
        m_masterData = connect(master, &Dataset::dataChanged, this, &Dataset::masterChanged);
        m_masterActive = connect(master, &Dataset::activeChanged, this, &Dataset::masterChanged);
    }
    if (m_table) {
        applySlice(-1);
        notify();
    }
}

void Dataset::setFields(std::vector<DatasetField> fields)
{
    m_fields = std::move(fields);
    m_calc.clear();
    m_calcNames.clear();
    std::erase_if(m_fields, [](const DatasetField& f) { return f.calculated; });
}

void Dataset::addCalculatedField(const DatasetField& field, CalcFunction compute)
{
    DatasetField f = field;
    f.calculated = true;
    m_fields.push_back(f);
    m_calc.push_back(std::move(compute));
    m_calcNames.push_back(f.name);
    m_calcCache.assign(m_calc.size(), std::nullopt);
}

std::vector<DatasetField> Dataset::fields() const
{
    bool anyTableField = std::any_of(m_fields.begin(), m_fields.end(),
                                     [](const DatasetField& f) { return !f.calculated; });
    if (anyTableField || !m_table)
        return m_fields;
    std::vector<DatasetField> all;
    for (int i = 0; i < m_table->fieldCount(); ++i)
        all.push_back({m_table->field(i).name, QString(), true, false, 0});
    all.insert(all.end(), m_fields.begin(), m_fields.end());
    return all;
}

DatasetField* Dataset::field(const QString& name)
{
    for (DatasetField& f : m_fields)
        if (sameName(f.name, name))
            return &f;
    return nullptr;
}

void Dataset::setDisplayLabel(const QString& fieldName, const QString& label)
{
    if (DatasetField* f = field(fieldName))
        f->label = label;
    else
        m_fields.push_back({fieldName, label, true, false, 0});
}

void Dataset::open()
{
    if (m_table)
        return;
    if (!m_database)
        throw DatabaseError(QStringLiteral("Dataset %1 has no database").arg(m_name));
    if (m_exclusive) {
        const QString path = m_database->findFile(m_tableName);
        if (path.isEmpty())
            throw DatabaseError(Database::missingTableReason(m_database->path(), m_tableName));
        m_table = Table::open(path, m_database->layoutOf(m_tableName), Table::Access::Exclusive,
                              Session::instance().passwords());
    } else {
        m_table = m_database->table(m_tableName);
    }
    m_database->attach(this);
    try {
        const IndexDef* def = m_wantIndexFields.isEmpty()
                                  ? m_table->indexByName(m_wantIndexName)
                                  : m_table->indexByFields(splitFields(m_wantIndexFields));
        if (!def)
            throw DatabaseError(QStringLiteral("%1 has no index %2")
                                    .arg(m_table->displayName(), m_wantIndexFields.isEmpty()
                                                                     ? m_wantIndexName
                                                                     : m_wantIndexFields));
        m_index = &m_table->index(*def);
        for (const QString& f : m_linkFields)
            if (m_table->fieldIndex(f) < 0)
                throw DatabaseError(
                    QStringLiteral("%1 has no link field %2").arg(m_table->displayName(), f));
        m_hasRange = false;
        m_calcCache.assign(m_calc.size(), std::nullopt);
        applySlice(-1);
    } catch (...) {
        m_table.reset();
        m_index = nullptr;
        throw;
    }
    Q_EMIT activeChanged(true);
    notify();
}

void Dataset::close()
{
    if (!m_table)
        return;
    m_editing = false;
    m_pending.clear();
    m_table.reset();
    m_index = nullptr;
    m_sliceDirty = false;
    m_lo = m_hi = 0;
    m_pos = -1;
    m_bof = m_eof = true;
    m_hasRange = false;
    if (m_database)
        m_database->detach(this);
    Q_EMIT activeChanged(false);
}

void Dataset::applySlice(int keepRecord) const
{
    m_sliceDirty = false;
    const Index& idx = *m_index;
    int lo = 0;
    int hi = idx.size();
    if (m_master && !m_linkFields.isEmpty() && m_master->isOpen()) {
        if (m_master->recordNumber() < 0) {
            hi = lo; // an empty master has no details
        } else {
            KeyValues values;
            for (const QString& f : m_linkFields)
                values << m_master->value(f);
            const std::vector<KeyPart> key = idx.makeKey(values);
            lo = idx.lowerBound(key, lo, hi);
            hi = idx.upperBound(key, lo, hi);
        }
    }
    if (m_hasRange) {
        const std::vector<KeyPart> start = idx.makeKey(m_rangeStartValues);
        const std::vector<KeyPart> end = idx.makeKey(m_rangeEndValues);
        lo = std::max(lo, idx.lowerBound(start, lo, hi));
        hi = std::min(hi, idx.upperBound(end, lo, hi));
        hi = std::max(hi, lo);
    }
    m_lo = lo;
    m_hi = hi;
    m_pos = recordCount() > 0 ? 0 : -1;
    if (keepRecord >= 0 && keepRecord < idx.size()) {
        const int rank = idx.positionOf(keepRecord);
        if (rank >= m_lo && rank < m_hi)
            m_pos = rank - m_lo;
    }
    m_bof = m_pos <= 0;
    m_eof = recordCount() == 0;
}

void Dataset::masterChanged()
{
    if (!m_table)
        return;
    m_sliceDirty = true;
    notify();
}

void Dataset::notify()
{
    std::fill(m_calcCache.begin(), m_calcCache.end(), std::nullopt);
    static const QMetaMethod changed = QMetaMethod::fromSignal(&Dataset::dataChanged);
    if (isSignalConnected(changed))
        Q_EMIT dataChanged();
}

void Dataset::place(int position, bool bof, bool eof)
{
    m_bof = bof;
    m_eof = eof;
    if (position != m_pos) {
        m_pos = position;
        notify();
    }
}

void Dataset::first()
{
    requireOpen("move");
    sync();
    place(recordCount() > 0 ? 0 : -1, true, recordCount() == 0);
}

void Dataset::last()
{
    requireOpen("move");
    sync();
    place(recordCount() - 1, recordCount() == 0, true);
}

void Dataset::next()
{
    requireOpen("move");
    sync();
    if (m_pos + 1 < recordCount())
        place(m_pos + 1, false, false);
    else
        m_eof = true;
}

void Dataset::prior()
{
    requireOpen("move");
    sync();
    if (m_pos > 0)
        place(m_pos - 1, false, false);
    else
        m_bof = true;
}

void Dataset::moveTo(int position)
{
    requireOpen("move");
    sync();
    if (position < 0 || position >= recordCount())
        return;
    place(position, false, false);
}

void Dataset::refresh()
{
    requireOpen("refresh");
    applySlice(recordNumber());
    notify();
}

int Dataset::recordNumber() const
{
    sync();
    if (!m_table || m_pos < 0 || m_pos >= recordCount())
        return -1;
    return m_index->recordAt(m_lo + m_pos);
}

int Dataset::recordAt(int position) const
{
    sync();
    if (!m_table || position < 0 || position >= recordCount())
        return -1;
    return m_index->recordAt(m_lo + position);
}

bool Dataset::gotoRecord(int record)
{
    requireOpen("move");
    sync();
    if (record < 0 || record >= m_table->recordCount())
        return false;
    const int at = m_index->positionOf(record);
    if (at < m_lo || at >= m_hi)
        return false;
    moveTo(at - m_lo);
    return true;
}

bool Dataset::findKey(const KeyValues& key)
{
    requireOpen("search");
    sync();
    const std::vector<KeyPart> k = m_index->makeKey(key);
    const int at = m_index->lowerBound(k, m_lo, m_hi);
    if (at >= m_hi || m_index->compareAt(at, k) != 0)
        return false;
    place(at - m_lo, false, false);
    return true;
}

void Dataset::findNearest(const KeyValues& key)
{
    requireOpen("search");
    sync();
    if (isEmpty())
        return;
    const std::vector<KeyPart> k = m_index->makeKey(key);
    const int at = m_index->lowerBound(k, m_lo, m_hi);
    place(std::min(at, m_hi - 1) - m_lo, false, at >= m_hi);
}

void Dataset::setRange(const KeyValues& start, const KeyValues& end)
{
    requireOpen("set a range");
    m_rangeStartValues = start;
    m_rangeEndValues = end;
    m_hasRange = true;
    applySlice(-1);
    notify();
}

void Dataset::cancelRange()
{
    if (!m_hasRange)
        return;
    m_hasRange = false;
    if (m_table) {
        applySlice(recordNumber());
        notify();
    }
}

int Dataset::calcSlot(const QString& field) const
{
    for (size_t i = 0; i < m_calcNames.size(); ++i)
        if (sameName(m_calcNames[i], field))
            return static_cast<int>(i);
    return -1;
}

bool Dataset::hasField(const QString& field) const
{
    return calcSlot(field) >= 0 || (m_table && m_table->fieldIndex(field) >= 0);
}

QVariant Dataset::recordValue(int record, const QString& field) const
{
    if (!m_table || record < 0)
        return QVariant();
    const int no = m_table->fieldIndex(field);
    if (no >= 0) {
        for (const auto& [f, v] : m_pending)
            if (f == no && record == recordNumber())
                return v;
        return m_table->value(record, no);
    }
    const int slot = calcSlot(field);
    if (slot < 0)
        throw DatabaseError(QStringLiteral("%1: field '%2' not found").arg(m_name, field));
    return m_calc[static_cast<size_t>(slot)](RecordRef(*this, record));
}

QVariant Dataset::value(const QString& field) const
{
    const int slot = calcSlot(field);
    if (slot >= 0 && m_table) {
        auto& cached = m_calcCache[static_cast<size_t>(slot)];
        if (!cached)
            cached = recordValue(recordNumber(), field);
        return *cached;
    }
    return recordValue(recordNumber(), field);
}

QVariant Dataset::valueAt(int position, const QString& field) const
{
    sync();
    if (!m_table || position < 0 || position >= recordCount())
        return QVariant();
    return recordValue(m_index->recordAt(m_lo + position), field);
}

void Dataset::addIndex(const QString& name, const QString& fields, bool primary)
{
    if (!m_exclusive)
        throw DatabaseError(
            QStringLiteral("Dataset %1 must be exclusive to add an index").arg(m_name));
    const bool wasOpen = isOpen();
    if (!wasOpen)
        open();
    // Adding an index of the same name replaces the one this cursor may stand on.
    const QString current = m_index->def().primary ? QString() : m_index->def().name;
    const int record = recordNumber();
    try {
        m_index = nullptr;
        m_table->addIndex({name, splitFields(fields), primary});
        m_index = &m_table->index(*m_table->indexByName(current));
        applySlice(record);
    } catch (...) {
        if (!wasOpen) {
            close();
        } else if (const IndexDef* def = m_table->indexByName(current)) {
            m_index = &m_table->index(*def);
            applySlice(record);
        }
        throw;
    }
    if (!wasOpen)
        close();
}

void Dataset::edit()
{
    requireOpen("edit");
    if (!m_exclusive)
        throw DatabaseError(QStringLiteral("Dataset %1 is read-only").arg(m_name));
    if (recordNumber() < 0)
        throw DatabaseError(QStringLiteral("Dataset %1 has no current record to edit").arg(m_name));
    m_editing = true;
    m_pending.clear();
}

void Dataset::setValue(const QString& field, const QVariant& v)
{
    if (!m_editing)
        throw DatabaseError(QStringLiteral("Dataset %1 is not in edit mode").arg(m_name));
    const int no = m_table->fieldIndex(field);
    if (no < 0)
        throw DatabaseError(QStringLiteral("%1: field '%2' not found").arg(m_name, field));
    m_pending.emplace_back(no, v);
}

void Dataset::post()
{
    if (!m_editing)
        return;
    Table* table = m_table.get();
    const int record = recordNumber();
    for (const auto& [f, v] : m_pending)
        table->setValue(record, f, v);
    m_pending.clear();
    m_editing = false;
    const QString indexName = m_index->def().primary ? QString() : m_index->def().name;
    m_index = nullptr;
    const int moved = table->post(record);
    // The table was re-read, so every index is new.
    m_index = &m_table->index(*m_table->indexByName(indexName));
    applySlice(moved);
    notify();
}

Table::FillResult Dataset::fillEmpty(const QString& field, const QString& text)
{
    requireOpen("fillEmpty");
    if (!m_exclusive)
        throw DatabaseError(QStringLiteral("%1 is open for reading only").arg(m_tableName));
    const int no = m_table->fieldIndex(field);
    if (no < 0)
        throw DatabaseError(QStringLiteral("%1 has no field %2").arg(m_tableName, field));
    m_pending.clear();
    m_editing = false;
    const QString indexName = m_index->def().primary ? QString() : m_index->def().name;
    m_index = nullptr;
    Table::FillResult result;
    try {
        result = m_table->fillEmpty(no, text);
    } catch (...) {
        m_index = &m_table->index(*m_table->indexByName(indexName));
        applySlice(-1);
        throw;
    }
    // The table may have been re-read, so every index may be new.
    m_index = &m_table->index(*m_table->indexByName(indexName));
    applySlice(-1);
    notify();
    return result;
}

void Dataset::cancel()
{
    m_pending.clear();
    m_editing = false;
}

} // namespace zel::data
