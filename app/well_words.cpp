#include "app/well_words.h"

#include "app/messages.h"
#include "summary/well_words.h"

namespace tavo {

namespace {

using WK = well::WellProblem::Kind;
using SK = welldb::StoreProblem::Kind;

}  // namespace

QString well_field_label(const std::string& field) {
    return QString::fromStdString(summary::well_field_label(field));
}

QString well_problem_text(const well::WellProblem& p) {
    const bool io = p.kind == WK::CannotRead || p.kind == WK::CannotWrite;
    return QString::fromStdString(
        summary::well_problem_text(p, io ? system_reason(p.io.error).toStdString() : std::string()));
}

QString well_store_text(const welldb::StoreProblem& p) {
    const QString db = QStringLiteral("井数据库“%1”").arg(QString::fromStdString(p.path));
    switch (p.kind) {
        case SK::None:
            return {};
        case SK::NoLocation:
            return QStringLiteral("找不到存放井数据库的位置");
        case SK::CannotOpen:
            return QStringLiteral("无法打开") + db;
        case SK::Locked:
            return db + QStringLiteral("正被其他程序占用，请稍后再试");
        case SK::Damaged:
            return db + QStringLiteral("已损坏或不是数据库文件，请从备份恢复或移走后重建");
        case SK::NewerSchema:
            return db + QStringLiteral("由更新版本的程序写入，本程序不修改它");
        case SK::ReadOnly:
            return db + QStringLiteral("不可写入");
        case SK::DiskFull:
            return QStringLiteral("磁盘已满，") + db + QStringLiteral("未作任何修改");
        case SK::NotFound:
            return QStringLiteral("井数据库中没有井“%1”").arg(QString::fromStdString(p.well));
        case SK::Invalid: {
            QString s = QStringLiteral("井“%1”的数据有误，未保存：").arg(QString::fromStdString(p.well));
            for (const well::WellProblem& w : p.problems) s += QStringLiteral("\n") + well_problem_text(w);
            return s;
        }
        case SK::Failed:
            return db + QStringLiteral("出错，未作任何修改");
    }
    return db + QStringLiteral("出错");
}

}  // namespace tavo
