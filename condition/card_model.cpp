#include "condition/card_model.h"

#include <algorithm>
#include <cmath>

#include "condition/card_model_data.h"

namespace tavo::condition {

namespace md = model_data;

namespace {

// Class shares of every node, the inner ones summed from their leaves (a
// node's children follow it, so one pass from the end suffices); one block
// of kClassCount values per node, made once and read by every card.
class NodeShares {
public:
    NodeShares()
        : classes_(static_cast<std::size_t>(md::kClassCount)),
          v_(static_cast<std::size_t>(md::kTreeStart[md::kTreeCount]) * classes_, 0.0) {
        for (int t = 0; t < md::kTreeCount; ++t) {
            const int base = md::kTreeStart[t];
            for (int id = md::kTreeStart[t + 1] - 1; id >= base; --id) {
                const md::Node& node = md::kNodes[id];
                double* c = at(id);
                if (node.feature < 0) {
                    for (int p = node.next; p < node.next - node.feature; ++p)
                        c[md::kLeafPacked[p] >> 12] += md::kLeafPacked[p] & 0xFFF;
                } else {
                    const double* l = at(id + 1);
                    const double* r = at(base + node.next);
                    for (std::size_t k = 0; k < classes_; ++k) c[k] = l[k] + r[k];
                }
            }
        }
        for (std::size_t at = 0; at < v_.size(); at += classes_) {
            double* c = v_.data() + at;
            double sum = 0.0;
            for (std::size_t k = 0; k < classes_; ++k) sum += c[k];
            if (sum == 0.0) sum = 1.0;
            for (std::size_t k = 0; k < classes_; ++k) c[k] /= sum;
        }
    }
    const double* operator[](int node) const { return v_.data() + static_cast<std::size_t>(node) * classes_; }

private:
    double* at(int node) { return v_.data() + static_cast<std::size_t>(node) * classes_; }
    std::size_t classes_;
    std::vector<double> v_;
};

const NodeShares& node_shares() {
    static const NodeShares shares;
    return shares;
}

std::vector<float> columns_of(const std::vector<double>& x) {
    std::vector<float> c(static_cast<std::size_t>(md::kFeatureCount), 0.0f);
    for (std::size_t k = 0; k < c.size() && k < x.size(); ++k) c[k] = static_cast<float>(x[k]);
    return c;
}

std::vector<double> columns_of(const CardFeatures& f) {
    return {f.value.begin(), f.value.begin() + std::min<int>(md::kFeatureCount, kCardFeatureCount)};
}

// The path of one tree for the columns x, as absolute node ids.
template <class Visit>
int walk(int t, const std::vector<float>& x, Visit&& visit) {
    const int base = md::kTreeStart[t];
    int id = base;
    while (md::kNodes[id].feature >= 0) {
        const md::Node& node = md::kNodes[id];
        const int next =
            x[static_cast<std::size_t>(node.feature)] <= node.threshold ? id + 1 : base + node.next;
        visit(id, next);
        id = next;
    }
    return id;
}

}  // namespace

int card_model_class_count() {
    return md::kClassCount;
}

std::string card_model_class(int k) {
    return k >= 0 && k < md::kClassCount ? md::kClasses[k] : "";
}

std::vector<double> card_model_proba(const std::vector<double>& columns) {
    const std::vector<float> x = columns_of(columns);
    const auto& shares = node_shares();
    // Summed tree by tree, then divided, as the fitting library does.
    std::vector<double> p(static_cast<std::size_t>(md::kClassCount), 0.0);
    for (int t = 0; t < md::kTreeCount; ++t) {
        const int leaf = walk(t, x, [](int, int) {});
        const double* s = shares[leaf];
        for (std::size_t k = 0; k < p.size(); ++k) p[k] += s[k];
    }
    for (double& v : p) v /= md::kTreeCount;
    return p;
}

std::vector<double> card_model_proba(const CardFeatures& f) {
    return card_model_proba(columns_of(f));
}

std::vector<double> card_model_calibrated(const std::vector<double>& raw) {
    // Summed in order and raised with std::pow, as the fitting script does.
    std::vector<double> q(raw.size());
    double sum = 0.0;
    for (std::size_t k = 0; k < raw.size(); ++k) {
        q[k] = std::pow(raw[k] + md::kCalibrationFloor, 1.0 / md::kCalibrationTemperature);
        sum += q[k];
    }
    if (!(sum > 0.0) || !std::isfinite(sum)) return raw;
    for (double& v : q) v /= sum;
    return q;
}

bool card_model_needs_review(double confidence) {
    return !(confidence >= md::kReviewBelow);
}

double card_model_review_threshold() {
    return md::kReviewBelow;
}

std::string card_model_accuracy_sentence() {
    return md::kAccuracySentence;
}

std::vector<double> card_model_contributions(const CardFeatures& f, int k) {
    std::vector<double> c(static_cast<std::size_t>(md::kFeatureCount), 0.0);
    if (k < 0 || k >= md::kClassCount) return c;
    const std::vector<float> x = columns_of(columns_of(f));
    const auto& shares = node_shares();
    const auto kk = static_cast<std::size_t>(k);
    for (int t = 0; t < md::kTreeCount; ++t)
        walk(t, x, [&](int node, int next) {
            c[static_cast<std::size_t>(md::kNodes[node].feature)] += shares[next][kk] - shares[node][kk];
        });
    for (double& v : c) v /= md::kTreeCount;
    return c;
}

}  // namespace tavo::condition
