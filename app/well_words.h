// The well records' problems in the window's words (Chinese only).
#pragma once

#include <QString>

#include "well/well_problem.h"
#include "welldb/well_store.h"

namespace tavo {

// The field of a record path (".rods[1].diameter_mm" → "第2级杆 直径 (mm)").
QString well_field_label(const std::string& field);

// One problem of a record or a file: where, then why.
QString well_problem_text(const well::WellProblem& p);

// A failure of the well database, e.g. "井数据库被其他程序占用，请稍后再试".
QString well_store_text(const welldb::StoreProblem& p);

}  // namespace tavo
