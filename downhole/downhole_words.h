// Words for the pump card's codes, shared by the panel and the report
// (Chinese) and the command line (English).
#pragma once

#include <string>

#include "downhole/pump_card.h"
#include "downhole/pump_diagnosis.h"

namespace tavo::downhole {

const char* condition_key(PumpCondition c);      // stable English key, for JSON
const char* condition_name_zh(PumpCondition c);  // 泵况名称
const char* reason_key(ReasonCode c);            // stable English key, for JSON
std::string reason_text_zh(const Reason& r);     // one sentence with its figures
const char* problem_text_en(Problem p);
const char* problem_text_zh(Problem p);

}  // namespace tavo::downhole
