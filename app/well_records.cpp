#include "app/well_records.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

#include "app/well_words.h"
#include "well/well_files.h"
#include "welldb/store_path.h"

namespace tavo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

summary::WellBook read_well_book(QString& problem) {
    problem.clear();
    summary::WellBook book;
    welldb::StoreProblem p;
    const auto store =
        welldb::WellStore::open(welldb::default_store_path(), welldb::WellStore::Mode::Read, p);
    std::vector<well::WellRecord> records;
    if (!p && store) p = store->get_all(records);
    if (p) {
        problem = well_store_text(p);
        return book;
    }
    for (well::WellRecord& r : records) book[r.well] = std::move(r);
    return book;
}

welldb::StoreProblem save_well_record(const well::WellRecord& r) {
    welldb::StoreProblem p;
    const auto store =
        welldb::WellStore::open(welldb::default_store_path(), welldb::WellStore::Mode::Write, p);
    if (!p && store) p = store->put({r});
    return p;
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
    return well_store_text(p);
}

}  // namespace tavo
