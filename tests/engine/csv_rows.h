// A row source over a table of rows, for the tests of the CSV export.
#pragma once

#include <QStringList>

#include <memory>
#include <vector>

#include "engine/export/csv_export.h"

namespace qm::testing {

inline CsvRowSource RowsOf(const std::vector<QStringList>& rows) {
  auto next = std::make_shared<std::size_t>(0);
  return [&rows, next](QStringList& cells) {
    if (*next == rows.size()) {
      return false;
    }
    cells = rows[(*next)++];
    return true;
  };
}

}  // namespace qm::testing
