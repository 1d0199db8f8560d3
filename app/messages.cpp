#include "app/messages.h"

#include "report/problem_words.h"

namespace tavo {

QString system_reason(int error) {
    return QString::fromStdString(report::system_reason_text(error));
}

QString problem_text(const Problem& p) {
    return QString::fromStdString(report::problem_words(p));
}

}  // namespace tavo
