// The well records in the window: read from the database for the pump card,
// the sample wells put into a new database at the first start, and one
// record edited and saved.
#pragma once

#include <QString>

#include "summary/analysis_summary.h"
#include "welldb/well_store.h"

namespace tavo {

// Every record of the database; a database that does not exist yet holds
// none. A problem is worded into `problem` (empty when all were read).
summary::WellBook read_well_book(QString& problem);

// At the first start (no database yet), the records of `data_dir`/wells.json
// (the sample wells) go into a new database, so that the sample tests show
// their pump cards at the first click. Returns what went wrong, or empty.
QString seed_well_records(const QString& data_dir);

// Stores one record in the database (made at the first save).
welldb::StoreProblem save_well_record(const well::WellRecord& r);

}  // namespace tavo
