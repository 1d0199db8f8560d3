#include "app/well_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>
#include <set>

#include "app/well_words.h"
#include "well/rod_table.h"
#include "well/well_check.h"
#include "well/well_defaults.h"

namespace tavo {

namespace {

using well::WellProblem;

// The taper table's columns, by the taper's JSON key.
const char* const kTaperKeys[] = {"length_m",    "diameter_mm", "weight_kg_per_m",
                                  "modulus_GPa", "tensile_MPa", "grade"};
constexpr int kTaperColumns = 6;

QString num(double v) {
    return QString::number(v, 'g', 12);
}
QString num(const std::optional<double>& v) {
    return v ? num(*v) : QString();
}

// A number typed in a field: nullopt when empty; `bad` when it is no number.
std::optional<double> read_number(const QString& text, bool& bad) {
    const QString t = text.trimmed();
    bad = false;
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok) {
        bad = true;
        return std::nullopt;
    }
    return v;
}

const QString kErrorStyle = QStringLiteral("background: #ffd6d6;");
const QString kWarningStyle = QStringLiteral("background: #fff3c4;");

}  // namespace

WellDialog::WellDialog(const well::WellRecord& record, SaveFn save, QWidget* parent)
    : QDialog(parent), save_fn_(std::move(save)) {
    setWindowTitle(QStringLiteral("井基础数据"));
    // Wide enough for the taper table's headers.
    setMinimumWidth(720);
    auto* top = new QVBoxLayout(this);

    auto* name_row = new QFormLayout;
    well_ = new QLineEdit;
    name_row->addRow(QStringLiteral("井号"), well_);
    top->addLayout(name_row);

    auto* rods_box = new QGroupBox(QStringLiteral("杆柱（自上而下）"));
    auto* rods_layout = new QVBoxLayout(rods_box);
    tapers_ = new QTableWidget(0, kTaperColumns);
    tapers_->setHorizontalHeaderLabels({QStringLiteral("长度 (m)"), QStringLiteral("直径 (mm)"),
                                        QStringLiteral("每米重量 (kg/m)"), QStringLiteral("弹性模量 (GPa)"),
                                        QStringLiteral("抗拉强度 (MPa)"), QStringLiteral("钢级")});
    tapers_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tapers_->horizontalHeaderItem(2)->setToolTip(
        QStringLiteral("空气中每米重量（含接箍）；留空时按抽油杆表取值（钢杆 16/19/22/25/29 mm 及加重杆）"));
    tapers_->horizontalHeaderItem(3)->setToolTip(QStringLiteral("留空为钢杆 206 GPa；玻璃钢杆约 48 GPa"));
    tapers_->horizontalHeaderItem(4)->setToolTip(
        QStringLiteral("最小抗拉强度，用于修正古德曼图（D 级 793 MPa）"));
    rods_layout->addWidget(tapers_);
    auto* rod_buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("添加一级"));
    auto* remove = new QPushButton(QStringLiteral("删除所选"));
    rod_buttons->addWidget(add);
    rod_buttons->addWidget(remove);
    rod_buttons->addStretch();
    totals_ = new QLabel;
    rod_buttons->addWidget(totals_);
    rods_layout->addLayout(rod_buttons);
    top->addWidget(rods_box);

    // The well-level fields in four groups.
    auto* groups = new QGridLayout;
    const auto group = [&](const QString& title, int row, int col,
                           std::initializer_list<std::pair<const char*, QString>> items) {
        auto* box = new QGroupBox(title);
        auto* form = new QFormLayout(box);
        for (const auto& [path, placeholder] : items) {
            auto* edit = new QLineEdit;
            edit->setPlaceholderText(placeholder);
            form->addRow(well_field_label(path), edit);
            fields_[path] = edit;
        }
        groups->addWidget(box, row, col);
        return form;
    };
    group(QStringLiteral("泵"), 0, 0, {{".pump.depth_m", QString()}, {".pump.plunger_mm", QString()}});
    QFormLayout* tubing =
        group(QStringLiteral("油管"), 0, 1, {{".tubing.inner_mm", num(well::default_tubing.inner_mm)}});
    anchored_ = new QCheckBox(QStringLiteral("已锚定"));
    tubing->addRow(QString(), anchored_);
    group(QStringLiteral("流体"), 1, 0,
          {{".fluid.water_cut_pct", num(well::default_fluid.water_cut_pct)},
           {".fluid.oil_kg_m3", num(well::default_fluid.oil_kg_m3)},
           {".fluid.water_kg_m3", num(well::default_fluid.water_kg_m3)}});
    group(QStringLiteral("压力与阻尼"), 1, 1,
          {{".pressure.tubing_head_MPa", num(well::default_pressure.tubing_head_MPa)},
           {".pressure.casing_MPa", num(well::default_pressure.casing_MPa)},
           {".damping_nu", num(well::default_damping_nu)}});
    fields_.at(".damping_nu")
        ->setToolTip(QStringLiteral("吉布斯无因次阻尼系数 ν，c = π·a·ν / (2·L)；0 为无阻尼，留空取默认值 %1")
                         .arg(num(well::default_damping_nu)));
    top->addLayout(groups);

    auto* notes_form = new QFormLayout;
    notes_ = new QPlainTextEdit;
    notes_->setMaximumHeight(60);
    notes_form->addRow(QStringLiteral("备注"), notes_);
    top->addLayout(notes_form);

    problem_text_ = new QLabel;
    problem_text_->setWordWrap(true);
    problem_text_->setTextFormat(Qt::PlainText);
    top->addWidget(problem_text_);

    auto* buttons = new QDialogButtonBox;
    save_ = buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    top->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &WellDialog::add_taper);
    connect(remove, &QPushButton::clicked, this, &WellDialog::remove_tapers);
    connect(buttons, &QDialogButtonBox::accepted, this, &WellDialog::save_now);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tapers_, &QTableWidget::itemChanged, this, [this] { revalidate(); });
    connect(well_, &QLineEdit::textChanged, this, [this] { revalidate(); });
    for (const auto& [path, edit] : fields_)
        connect(edit, &QLineEdit::textChanged, this, [this] { revalidate(); });
    connect(anchored_, &QCheckBox::toggled, this, [this] { revalidate(); });

    fill(record);
    revalidate();
}

QLineEdit* WellDialog::field(const std::string& path) const {
    if (path == ".well") return well_;
    const auto it = fields_.find(path);
    return it == fields_.end() ? nullptr : it->second;
}

void WellDialog::fill(const well::WellRecord& r) {
    filling_ = true;
    well_->setText(QString::fromStdString(r.well));
    tapers_->setRowCount(0);
    for (const well::RodTaper& t : r.rods) {
        const int row = tapers_->rowCount();
        tapers_->insertRow(row);
        const QString cells[kTaperColumns] = {num(t.length_m),        num(t.diameter_mm),
                                              num(t.weight_kg_per_m), num(t.modulus_GPa),
                                              num(t.tensile_MPa),     QString::fromStdString(t.grade)};
        for (int c = 0; c < kTaperColumns; ++c) tapers_->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    // A new record shows empty pump fields rather than zeros.
    fields_.at(".pump.depth_m")->setText(r.pump.depth_m > 0.0 ? num(r.pump.depth_m) : QString());
    fields_.at(".pump.plunger_mm")->setText(r.pump.plunger_mm > 0.0 ? num(r.pump.plunger_mm) : QString());
    fields_.at(".tubing.inner_mm")->setText(num(r.tubing.inner_mm));
    anchored_->setChecked(r.tubing.anchored);
    fields_.at(".fluid.water_cut_pct")->setText(num(r.fluid.water_cut_pct));
    fields_.at(".fluid.oil_kg_m3")->setText(num(r.fluid.oil_kg_m3));
    fields_.at(".fluid.water_kg_m3")->setText(num(r.fluid.water_kg_m3));
    fields_.at(".pressure.tubing_head_MPa")->setText(num(r.pressure.tubing_head_MPa));
    fields_.at(".pressure.casing_MPa")->setText(num(r.pressure.casing_MPa));
    fields_.at(".damping_nu")->setText(num(r.damping_nu));
    notes_->setPlainText(QString::fromStdString(r.notes));
    filling_ = false;
}

well::WellRecord WellDialog::record() const {
    well::WellRecord r;
    r.well = well::trimmed_name(well_->text().toStdString());
    bool bad = false;
    for (int row = 0; row < tapers_->rowCount(); ++row) {
        const auto text = [&](int c) {
            return tapers_->item(row, c) ? tapers_->item(row, c)->text() : QString();
        };
        well::RodTaper t;
        t.length_m = read_number(text(0), bad).value_or(0.0);
        t.diameter_mm = read_number(text(1), bad).value_or(0.0);
        t.weight_kg_per_m = read_number(text(2), bad);
        t.modulus_GPa = read_number(text(3), bad).value_or(well::steel_modulus_GPa);
        t.tensile_MPa = read_number(text(4), bad);
        t.grade = text(5).trimmed().toStdString();
        r.rods.push_back(std::move(t));
    }
    const auto value = [&](const char* path, double fallback) {
        return read_number(fields_.at(path)->text(), bad).value_or(fallback);
    };
    r.pump.depth_m = value(".pump.depth_m", 0.0);
    r.pump.plunger_mm = value(".pump.plunger_mm", 0.0);
    r.tubing.inner_mm = value(".tubing.inner_mm", well::default_tubing.inner_mm);
    r.tubing.anchored = anchored_->isChecked();
    r.fluid.water_cut_pct = value(".fluid.water_cut_pct", well::default_fluid.water_cut_pct);
    r.fluid.oil_kg_m3 = value(".fluid.oil_kg_m3", well::default_fluid.oil_kg_m3);
    r.fluid.water_kg_m3 = value(".fluid.water_kg_m3", well::default_fluid.water_kg_m3);
    r.pressure.tubing_head_MPa = value(".pressure.tubing_head_MPa", well::default_pressure.tubing_head_MPa);
    r.pressure.casing_MPa = value(".pressure.casing_MPa", well::default_pressure.casing_MPa);
    r.damping_nu = read_number(fields_.at(".damping_nu")->text(), bad);
    r.notes = notes_->toPlainText().toStdString();
    return r;
}

void WellDialog::revalidate() {
    if (filling_) return;
    const well::WellRecord r = record();
    problems_.clear();
    // What the fields cannot give: text that is no number, required values left empty.
    const auto typed = [&](const std::string& path, const QString& text, bool required) {
        bool bad = false;
        const std::optional<double> v = read_number(text, bad);
        WellProblem p;
        p.field = path;
        if (bad) {
            p.kind = WellProblem::Kind::NotANumber;
            p.detail = text.trimmed().toStdString();
        } else if (!v && required) {
            p.kind = WellProblem::Kind::Missing;
        } else {
            return false;
        }
        problems_.push_back(std::move(p));
        return true;
    };
    std::set<std::string> unreadable;
    for (int row = 0; row < tapers_->rowCount(); ++row) {
        for (int c = 0; c < kTaperColumns - 1; ++c) {
            const std::string path = ".rods[" + std::to_string(row) + "]." + kTaperKeys[c];
            const QString text = tapers_->item(row, c) ? tapers_->item(row, c)->text() : QString();
            if (typed(path, text, c < 2)) unreadable.insert(path);
        }
    }
    for (const auto& [path, edit] : fields_) {
        const bool required = path == ".pump.depth_m" || path == ".pump.plunger_mm";
        if (typed(path, edit->text(), required)) unreadable.insert(path);
    }
    // The library's checks, less what the fields already explain.
    for (WellProblem& p : well::check(r)) {
        if (unreadable.count(p.field) == 0) problems_.push_back(std::move(p));
    }

    // Mark the fields and cells.
    const QSignalBlocker block(tapers_);
    for (int row = 0; row < tapers_->rowCount(); ++row) {
        for (int c = 0; c < kTaperColumns; ++c) {
            if (tapers_->item(row, c) == nullptr) tapers_->setItem(row, c, new QTableWidgetItem);
            tapers_->item(row, c)->setBackground(QBrush());
            tapers_->item(row, c)->setToolTip(QString());
        }
        const std::optional<double> w = well::weight_kg_per_m(r.rods[static_cast<std::size_t>(row)]);
        if (w && !r.rods[static_cast<std::size_t>(row)].weight_kg_per_m)
            tapers_->item(row, 2)->setToolTip(QStringLiteral("按抽油杆表：%1 kg/m").arg(*w, 0, 'f', 2));
    }
    well_->setStyleSheet(QString());
    for (const auto& [path, edit] : fields_) edit->setStyleSheet(QString());
    QStringList lines;
    for (const WellProblem& p : problems_) {
        const QString text = well_problem_text(p);
        lines << text;
        const QColor colour = p.warning() ? QColor(0xff, 0xf3, 0xc4) : QColor(0xff, 0xd6, 0xd6);
        const std::string& f = p.field;
        if (f.rfind(".rods[", 0) == 0 && f.find("].") != std::string::npos) {
            const int row = std::stoi(f.substr(6));
            const std::string key = f.substr(f.find("].") + 2);
            for (int c = 0; c < kTaperColumns; ++c) {
                if (key == kTaperKeys[c] && row < tapers_->rowCount()) {
                    tapers_->item(row, c)->setBackground(colour);
                    tapers_->item(row, c)->setToolTip(text);
                }
            }
        } else if (QLineEdit* edit = field(f)) {
            edit->setStyleSheet(p.warning() ? kWarningStyle : kErrorStyle);
            edit->setToolTip(text);
        }
    }
    totals_->setText(QStringLiteral("杆柱总长 %1 m，泵深 %2 m")
                         .arg(num(well::rod_string_length_m(r)), num(r.pump.depth_m)));
    problem_text_->setText(lines.join(QLatin1Char('\n')));
    problem_text_->setStyleSheet(well::has_error(problems_) ? QStringLiteral("color: #b00000;")
                                                            : QStringLiteral("color: #806000;"));
    save_->setEnabled(!well::has_error(problems_));
}

void WellDialog::add_taper() {
    const QList<QTableWidgetSelectionRange> sel = tapers_->selectedRanges();
    const int row = sel.isEmpty() ? tapers_->rowCount() : sel.back().bottomRow() + 1;
    const QSignalBlocker block(tapers_);
    tapers_->insertRow(row);
    for (int c = 0; c < kTaperColumns; ++c) tapers_->setItem(row, c, new QTableWidgetItem);
    if (row > 0 && tapers_->item(row - 1, 1) != nullptr)
        tapers_->item(row, 1)->setText(tapers_->item(row - 1, 1)->text());
    tapers_->setCurrentCell(row, 0);
    revalidate();
}

void WellDialog::remove_tapers() {
    std::set<int, std::greater<>> rows;
    for (const QTableWidgetSelectionRange& s : tapers_->selectedRanges())
        for (int r = s.topRow(); r <= s.bottomRow(); ++r) rows.insert(r);
    const QSignalBlocker block(tapers_);
    for (int r : rows) tapers_->removeRow(r);
    revalidate();
}

void WellDialog::save_now() {
    revalidate();
    if (well::has_error(problems_)) return;
    const welldb::StoreProblem p = save_fn_ ? save_fn_(record()) : welldb::StoreProblem{};
    if (p) {
        problem_text_->setStyleSheet(QStringLiteral("color: #b00000;"));
        problem_text_->setText(well_store_text(p));
        return;
    }
    accept();
}

}  // namespace tavo
