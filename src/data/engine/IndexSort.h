#pragma once

#include "data/base/TableStore.h"

#include <QtGlobal>
#include <vector>

namespace zel::data {

// One part of the key of every record, as a sort reads it: text (already folded where the
// index folds it) or numbers turned into integers that order as the numbers do.
struct SortKeyColumn
{
    bool numeric = false;
    TextColumn text;
    std::vector<quint64> numbers;
};

// An integer that orders as the number does: -0 as 0, and every NaN after every number, so
// that a damaged value in a table cannot leave a sort without a consistent order.
quint64 orderedBits(double number);

// Compares two records part by part; text code unit by code unit, a shorter text before a
// longer one that begins with it.
int compareSortKeys(const std::vector<SortKeyColumn>& key, int a, int b);

// Records 0 .. records - 1 in key order, records with equal keys in record order.
std::vector<int> sortRecords(const std::vector<SortKeyColumn>& key, int records);

} // namespace zel::data
