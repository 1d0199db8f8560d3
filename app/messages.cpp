#include "app/messages.h"

namespace tavo {

QString system_reason(int error) {
    return QString::fromStdString(chinese_system_reason(error));
}

QString problem_text(const Problem& p) {
    return QString::fromStdString(chinese(p));
}

}  // namespace tavo
