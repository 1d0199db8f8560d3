#include "app/well_words.h"

#include <QRegularExpression>

#include "app/messages.h"

namespace tavo {

namespace {

using WK = well::WellProblem::Kind;
using SK = welldb::StoreProblem::Kind;

QString num(double v) {
    return QString::number(v, 'g', 10);
}

}  // namespace

QString well_field_label(const std::string& field) {
    static const QRegularExpression taper(QStringLiteral("^(\\[\\d+\\])?\\.rods\\[(\\d+)\\]\\.?(.*)$"));
    const QString f = QString::fromStdString(field);
    const QRegularExpressionMatch m = taper.match(f);
    QString prefix;
    QString key = f;
    if (m.hasMatch()) {
        prefix = QStringLiteral("第%1级杆").arg(m.captured(2).toInt() + 1);
        key = m.captured(3);
        if (key.isEmpty()) return prefix;
        prefix += QLatin1Char(' ');
    } else {
        const qsizetype dot = f.lastIndexOf(QLatin1Char('.'));
        const QString tail = f.mid(dot + 1);
        // Well-level fields, by their path without any array index.
        key = f.mid(f.indexOf(QLatin1Char('.')) + 1);
        if (key.isEmpty()) key = tail;
    }
    static const QHash<QString, QString> names = {
        {QStringLiteral("well"), QStringLiteral("井号")},
        {QStringLiteral("rods"), QStringLiteral("杆柱")},
        {QStringLiteral("length_m"), QStringLiteral("长度 (m)")},
        {QStringLiteral("diameter_mm"), QStringLiteral("直径 (mm)")},
        {QStringLiteral("weight_kg_per_m"), QStringLiteral("每米重量 (kg/m)")},
        {QStringLiteral("modulus_GPa"), QStringLiteral("弹性模量 (GPa)")},
        {QStringLiteral("tensile_MPa"), QStringLiteral("抗拉强度 (MPa)")},
        {QStringLiteral("grade"), QStringLiteral("钢级")},
        {QStringLiteral("pump.depth_m"), QStringLiteral("泵深 (m)")},
        {QStringLiteral("pump_depth_m"), QStringLiteral("泵深 (m)")},
        {QStringLiteral("pump.plunger_mm"), QStringLiteral("柱塞直径 (mm)")},
        {QStringLiteral("plunger_mm"), QStringLiteral("柱塞直径 (mm)")},
        {QStringLiteral("tubing.inner_mm"), QStringLiteral("油管内径 (mm)")},
        {QStringLiteral("tubing_inner_mm"), QStringLiteral("油管内径 (mm)")},
        {QStringLiteral("tubing.anchored"), QStringLiteral("油管锚定")},
        {QStringLiteral("tubing_anchored"), QStringLiteral("油管锚定")},
        {QStringLiteral("fluid.water_cut_pct"), QStringLiteral("含水率 (%)")},
        {QStringLiteral("water_cut_pct"), QStringLiteral("含水率 (%)")},
        {QStringLiteral("fluid.oil_kg_m3"), QStringLiteral("原油密度 (kg/m³)")},
        {QStringLiteral("oil_kg_m3"), QStringLiteral("原油密度 (kg/m³)")},
        {QStringLiteral("fluid.water_kg_m3"), QStringLiteral("地层水密度 (kg/m³)")},
        {QStringLiteral("water_kg_m3"), QStringLiteral("地层水密度 (kg/m³)")},
        {QStringLiteral("pressure.tubing_head_MPa"), QStringLiteral("油压 (MPa)")},
        {QStringLiteral("tubing_head_MPa"), QStringLiteral("油压 (MPa)")},
        {QStringLiteral("pressure.casing_MPa"), QStringLiteral("套压 (MPa)")},
        {QStringLiteral("casing_MPa"), QStringLiteral("套压 (MPa)")},
        {QStringLiteral("damping_nu"), QStringLiteral("阻尼系数 ν")},
        {QStringLiteral("notes"), QStringLiteral("备注")},
        {QStringLiteral("pump"), QStringLiteral("泵")},
        {QStringLiteral("tubing"), QStringLiteral("油管")},
        {QStringLiteral("fluid"), QStringLiteral("流体")},
        {QStringLiteral("pressure"), QStringLiteral("压力")},
    };
    return prefix + names.value(key, key);
}

QString well_problem_text(const well::WellProblem& p) {
    QString at;
    if (!p.file.empty()) at += QString::fromStdString(p.file);
    if (p.line > 0)
        at += QStringLiteral("%1第 %2 行")
                  .arg(at.isEmpty() ? QString() : QStringLiteral("："), QString::number(p.line));
    if (!p.field.empty()) at += (at.isEmpty() ? QString() : QStringLiteral("，")) + well_field_label(p.field);
    if (!p.well.empty() && !p.file.empty())
        at += QStringLiteral("（井 %1）").arg(QString::fromStdString(p.well));
    QString why;
    switch (p.kind) {
        case WK::None:
            break;
        case WK::CannotRead:
            why = QStringLiteral("无法读取文件：") + system_reason(p.io.error);
            break;
        case WK::CannotWrite:
            why = QStringLiteral("无法写入文件：") + system_reason(p.io.error);
            break;
        case WK::UnknownFormat:
            why = QStringLiteral("文件扩展名须为 .json 或 .csv");
            break;
        case WK::BadJson:
            why = QStringLiteral("不是有效的 JSON");
            break;
        case WK::BadCsv:
            why = QStringLiteral("CSV 格式错误（引号未闭合）");
            break;
        case WK::MissingColumn:
            why = QStringLiteral("表头缺少此列");
            break;
        case WK::NoRecords:
            why = QStringLiteral("文件中没有井数据");
            break;
        case WK::DuplicateWell:
            why = QStringLiteral("同一口井在文件中出现两次");
            break;
        case WK::Missing:
            why = QStringLiteral("必须填写");
            break;
        case WK::WrongType:
            why = QStringLiteral("类型不对");
            break;
        case WK::NotANumber:
            why = QStringLiteral("“%1”不是数字").arg(QString::fromStdString(p.detail));
            break;
        case WK::NotPositive:
            why = QStringLiteral("须大于 0");
            break;
        case WK::OutOfRange:
            why = QStringLiteral("%1 超出合理范围 %2～%3").arg(num(p.value), num(p.low), num(p.high));
            break;
        case WK::NoWeight:
            why = QStringLiteral("直径 %1 mm 不在抽油杆表中（或不是钢杆），须填写每米重量").arg(num(p.value));
            break;
        case WK::NoTapers:
            why = QStringLiteral("至少要有一级抽油杆");
            break;
        case WK::Contradicts:
            why = QStringLiteral("“%1”与该井第一行的值不同").arg(QString::fromStdString(p.detail));
            break;
        case WK::LengthMismatch:
            why = QStringLiteral("总长 %1 m 与泵深 %2 m 相差超过 %3 m")
                      .arg(num(p.value), num(p.low), num(p.high));
            break;
    }
    const QString text = at.isEmpty() ? why : at + QStringLiteral("：") + why;
    return p.warning() ? QStringLiteral("注意：") + text : text;
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
