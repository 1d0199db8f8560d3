#include "app/well_records.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

#include "well/well_files.h"
#include "welldb/store_path.h"

namespace tavo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

QString wells_db_file() {
    return q(welldb::default_store_path());
}

QString store_problem_text(const welldb::StoreProblem& p) {
    using K = welldb::StoreProblem::Kind;
    const QString file = QDir::toNativeSeparators(q(p.path));
    switch (p.kind) {
        case K::None:
            return {};
        case K::NoLocation:
            return QStringLiteral("找不到存放井基础数据库的位置（没有主文件夹，也没有设置 TAVO_WELLS_DB）");
        case K::CannotOpen:
            return QStringLiteral("无法打开井基础数据库 %1").arg(file);
        case K::Locked:
            return QStringLiteral("井基础数据库 %1 正被另一个程序使用，请稍后再试").arg(file);
        case K::Damaged:
            return QStringLiteral(
                       "井基础数据库 %1 已损坏（不是数据库文件或内容有误）；请从导出的 JSON 文件恢复")
                .arg(file);
        case K::NewerSchema:
            return QStringLiteral("井基础数据库 %1 由更新版本的程序写入（格式版本 %2），本程序不能使用")
                .arg(file)
                .arg(p.version);
        case K::ReadOnly:
            return QStringLiteral("井基础数据库 %1 是只读的，无法保存").arg(file);
        case K::DiskFull:
            return QStringLiteral("磁盘已满，井基础数据没有保存（数据库 %1 保持原样）").arg(file);
        case K::NotFound:
            return QStringLiteral("井基础数据库中没有井“%1”").arg(q(p.well));
        case K::Invalid:
            return QStringLiteral("井“%1”的基础数据有误，没有保存").arg(q(p.well));
        case K::Failed:
            return QStringLiteral("井基础数据库 %1 出错：%2").arg(file, q(p.detail));
    }
    return {};
}

report::WellBook read_well_book(QString& problem) {
    problem.clear();
    report::WellBook book;
    welldb::StoreProblem p;
    const auto store =
        welldb::WellStore::open(welldb::default_store_path(), welldb::WellStore::Mode::Read, p);
    std::vector<well::WellRecord> records;
    if (!p && store) p = store->get_all(records);
    if (p) {
        problem = store_problem_text(p);
        return book;
    }
    for (well::WellRecord& r : records) book[r.well] = std::move(r);
    return book;
}

QString seed_well_records(const QString& data_dir) {
    const std::string db = welldb::default_store_path();
    const QString samples = QDir(data_dir).filePath(QStringLiteral("wells.json"));
    if (db.empty() || QFileInfo::exists(q(db)) || !QFileInfo::exists(samples)) return {};
    const well::ImportResult r = well::read_well_file(QDir::toNativeSeparators(samples).toStdString());
    if (well::has_error(r.problems)) return QStringLiteral("示例井基础数据 %1 有误，没有导入").arg(samples);
    welldb::StoreProblem p;
    const auto store = welldb::WellStore::open(db, welldb::WellStore::Mode::Write, p);
    if (!p && store) p = store->put(r.records);
    return store_problem_text(p);
}

}  // namespace tavo
