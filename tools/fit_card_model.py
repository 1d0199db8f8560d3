#!/usr/bin/python3
"""Fits the card classifier and scores it; writes the model as C++ source.

Data: the development set of the labelled field cards "cn-oilfield-12class"
(file OilfieldData2d_TEST_dev.ts; from the public repository
SchlomoFeng/shapeformer, Dataset/Oilfield), read from ../shared/realdata
beside the source tree. The features come from the C++ tool
card_features_dump, which makes tester files from the cards (periods of 5 to
25 s, noise, random start phase), analyses them as the program does and
prints the features the program computes, so training and the program see
the same numbers.

    /usr/bin/python3 tools/fit_card_model.py [--build DIR] [--score-only]

Prints, from a stratified 5-fold cross-validation over the cards (the model
of each fold is fitted on the tester files of the other folds' cards and
scored on fresh tester files of its own): top-1 and top-2 accuracy, the
recall of each condition, the confusion matrix, the calibration gap (mean
|confidence - accuracy| over 5 equal-count bins of the out-of-fold
diagnoses, each fold's calibration fitted on the other folds' predictions)
and the accuracy and share of the diagnoses not marked needs_review; draws
the matrix into docs/card_confusion.png. Then fits the model on every card,
the calibration (temperature scaling of the forest's probabilities) on all
out-of-fold predictions, and writes condition/generated/card_model_data.cpp and
tests/core/condition_card_model_expect.txt. Without the data the script says
so and exits 0.

Needs Debian's python3-sklearn (1.2) and python3-matplotlib; n_jobs=1 keeps
the fit on one core and the trees' order fixed.
"""
import argparse
import csv
import io
import math
import os
import subprocess
import sys

import numpy as np
from sklearn.ensemble import ExtraTreesClassifier
from sklearn.metrics import confusion_matrix
from sklearn.model_selection import StratifiedKFold

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEV_SET = os.path.join(ROOT, "..", "shared", "realdata", "cn-oilfield-12class", "OilfieldData2d_TEST_dev.ts")
NAMED_FEATURES = 28          # the model reads the named features only: each can be shown as evidence
TRAIN_VARIANTS, TRAIN_SEED = 4, 11
TEST_SEED = 99
REVIEW_TARGET = 0.90         # diagnoses not marked needs_review: at least this share right
CAL_FLOOR = 0.002            # added to the forest's probabilities before the temperature (no log 0)
MODEL = dict(n_estimators=60, max_features=0.5, min_samples_leaf=3, random_state=0, n_jobs=1)

CHINESE = {
    "REGULAR_WORK": "正常", "LIQUID_NOT_ENOUGH": "供液不足", "GAS_EFFECTIVE": "气体影响",
    "TRAVELLING_VALVE_LEAKAGE": "游动阀漏失", "STATIC_VALVE_LEAKAGE": "固定阀漏失",
    "DOUBLE_VALVE_LEAKAGE": "双阀漏失", "OIL_ROD_LEAKAGE": "油管漏失", "ROD_BROKEN": "抽油杆断脱",
    "PUMP_UP_BANG": "上碰泵", "PUMP_DOWN_BANG": "下碰泵", "OIL_TO_DENSE": "稠油影响",
    "WORK_WITH_FLOAT": "连抽带喷",
}


def dump(tool, *args):
    out = subprocess.run([tool, *args, DEV_SET], check=True, capture_output=True, text=True).stdout
    rows = list(csv.reader(io.StringIO(out)))
    header, body = rows[0], rows[1:]
    cards = np.array([int(r[0]) for r in body])
    labels = np.array([r[1] for r in body])
    X = np.array([[float(v) for v in r[3:]] for r in body], dtype=np.float32)
    return header[3:], cards, labels, X


def fit(X, y):
    return ExtraTreesClassifier(**MODEL).fit(X[:, :NAMED_FEATURES], y)


def cross_validate(train, test, classes):
    """Out-of-fold probabilities of each test card (rows in card order) and
    each card's fold."""
    _, ctr, ytr, Xtr = train
    _, cte, yte, Xte = test
    proba = np.zeros((len(yte), len(classes)))
    fold_of = np.zeros(len(yte), dtype=int)
    folds = StratifiedKFold(5, shuffle=True, random_state=0)
    for f, (tr, te) in enumerate(folds.split(np.zeros(len(yte)), yte)):
        model = fit(Xtr[np.isin(ctr, tr)], ytr[np.isin(ctr, tr)])
        assert list(model.classes_) == classes
        rows = np.where(np.isin(cte, te))[0]
        proba[rows] = model.predict_proba(Xte[rows][:, :NAMED_FEATURES])
        fold_of[rows] = f
    return yte, proba, fold_of


def calibrate(raw, T):
    """Temperature scaling as the program evaluates it: summed in order, math.pow."""
    out = []
    for row in raw:
        q = [math.pow(float(v) + CAL_FLOOR, 1.0 / T) for v in row]
        s = 0.0
        for v in q:
            s += v
        out.append([v / s for v in q])
    return np.array(out)


def fit_temperature(raw, truth_index):
    """The temperature of least log loss on a grid (deterministic)."""
    best = None
    for T in np.round(np.arange(0.20, 2.0001, 0.01), 2):
        q = calibrate(raw, float(T))
        loss = -np.mean(np.log(q[np.arange(len(q)), truth_index]))
        if best is None or loss < best[0] - 1e-12:
            best = (loss, float(T))
    return best[1]


def calibration_gap(conf, right, bins=5):
    order = np.argsort(conf, kind="stable")
    parts = np.array_split(order, bins)
    return float(np.mean([abs(conf[p].mean() - right[p].mean()) for p in parts])), \
        [(conf[p].mean(), right[p].mean()) for p in parts]


def review_threshold(conf, right):
    """The lowest confidence threshold at which the diagnoses at or above it
    are right at least REVIEW_TARGET of the time."""
    for t in np.round(np.arange(0.20, 1.0001, 0.01), 2):
        kept = conf >= t
        if kept.sum() > 0 and right[kept].mean() >= REVIEW_TARGET:
            return float(t)
    return 1.0


def report(truth, pred, classes):
    cm = confusion_matrix(truth, pred, labels=classes)
    print(f"cards: {len(truth)}  accuracy: {np.mean(truth == pred) * 100:.1f} %")
    print("recall per condition:")
    for i, c in enumerate(classes):
        print(f"  {c:26s} {cm[i, i] / max(1, cm[i].sum()) * 100:5.1f} %")
    print("confusion matrix (rows: label, columns: diagnosis):")
    short = [c[:6] for c in classes]
    print(" " * 27 + " ".join(f"{s:>6s}" for s in short))
    for i, c in enumerate(classes):
        print(f"  {c:25s}" + " ".join(f"{v:6d}" for v in cm[i]))
    return cm


def draw(cm, classes, accuracy, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    fig, ax = plt.subplots(figsize=(9, 8))
    ax.imshow(cm, cmap="Blues")
    for i in range(len(classes)):
        for j in range(len(classes)):
            ax.text(j, i, str(cm[i, j]), ha="center", va="center",
                    color="white" if cm[i, j] > cm.max() / 2 else "black", fontsize=9)
    ax.set_xticks(range(len(classes)), classes, rotation=60, ha="right", fontsize=8)
    ax.set_yticks(range(len(classes)), classes, fontsize=8)
    ax.set_xlabel("diagnosis")
    ax.set_ylabel("label")
    ax.set_title(f"Card diagnosis, 5-fold cross-validation through tester files: {accuracy * 100:.1f} %")
    fig.tight_layout()
    fig.savefig(path, dpi=80)


def float_below(threshold):
    """The largest float not above a split threshold: a float feature goes left
    against it exactly when it goes left against the double threshold."""
    t = np.float32(threshold)
    if float(t) > threshold:
        t = np.nextafter(t, np.float32(-np.inf))
    return t


def float_literal(v):
    text = str(np.float32(v))  # the shortest text that reads back to the same float
    if not any(c in text for c in ".e"):
        text += ".0"
    return text + "f"


def write_model(model, names, path, T, threshold, sentence):
    classes = list(model.classes_)
    nodes, leaf_packed, tree_start = [], [], []
    for est in model.estimators_:
        t = est.tree_
        tree_start.append(len(nodes))
        for node in range(t.node_count):
            if t.children_left[node] == -1:
                counts = [(k, v) for k, v in enumerate(t.value[node][0]) if v != 0]
                for k, v in counts:
                    assert float(v).is_integer() and v < 4096
                    leaf_packed.append(k << 12 | int(v))
                nodes.append(f"{{{-len(counts)},0,{len(leaf_packed) - len(counts)}}}")
            else:
                # Grown depth first: the left child is the next node.
                assert t.children_left[node] == node + 1
                nodes.append(f"{{{int(t.feature[node])},{float_literal(float_below(t.threshold[node]))},"
                             f"{int(t.children_right[node])}}}")
    tree_start.append(len(nodes))

    def arr(values, per_line=16):
        # Compact, since the browser edition ships this source's object too.
        lines = []
        for i in range(0, len(values), per_line):
            lines.append("    " + ",".join(values[i:i + per_line]) + ",")
        return "\n".join(lines)

    with open(path, "w", encoding="utf-8") as f:
        f.write("// Generated by tools/fit_card_model.py from the cn-oilfield-12class development\n")
        f.write("// cards (SchlomoFeng/shapeformer, Dataset/Oilfield). Do not edit: run the script.\n")
        f.write(f"// Extremely randomised trees: {MODEL}.\n")
        f.write('#include "condition/card_model_data.h"\n\nnamespace tavo::condition::model_data {\n\n')
        f.write(f"const int kClassCount = {len(classes)};\n")
        f.write("const char* const kClasses[] = {" + ", ".join(f'"{c}"' for c in classes) + "};\n")
        f.write(f"const int kFeatureCount = {NAMED_FEATURES};\n")
        f.write("// Model column k reads card feature k (" + ", ".join(names[:NAMED_FEATURES]) + ").\n")
        f.write(f"const int kTreeCount = {len(model.estimators_)};\n")
        f.write("const int kTreeStart[] = {\n" + arr([str(v) for v in tree_start]) + "\n};\n")
        f.write("const Node kNodes[] = {\n" + arr(nodes, 8) + "\n};\n")
        f.write("const uint16_t kLeafPacked[] = {\n" + arr([str(v) for v in leaf_packed], 20) + "\n};\n")
        f.write(f"const double kCalibrationTemperature = {T!r};\n")
        f.write(f"const double kCalibrationFloor = {CAL_FLOOR!r};\n")
        f.write(f"const double kReviewBelow = {threshold!r};\n")
        f.write(f'const char* const kAccuracySentence = "{sentence}";\n')
        f.write("\n}  // namespace tavo::condition::model_data\n")


def write_expectations(model, T, X, cards, path):
    """A few feature rows, what the fitted model gives for them and the same calibrated."""
    rows = X[:, :NAMED_FEATURES]
    picks = sorted({int(np.where(cards == c)[0][0]) for c in range(0, int(cards.max()) + 1, 53)})
    proba = model.predict_proba(rows[picks])
    cal = calibrate(proba, T)
    with open(path, "w", encoding="utf-8") as f:
        f.write("# Generated by tools/fit_card_model.py: features (as float) | probabilities per class"
                " | calibrated\n")
        for r, p, q in zip(rows[picks], proba, cal):
            f.write(" ".join(float.hex(float(v)) for v in r) + " | " + " ".join(float.hex(float(v)) for v in p)
                    + " | " + " ".join(float.hex(float(v)) for v in q) + "\n")


def accuracy_sentence(cards, top1, top2, kept_right, kept_share, recall):
    weakest = sorted(recall.items(), key=lambda kv: kv[1])[:2]
    (a, ra), (b, rb) = weakest
    weak = f"{CHINESE[a]}（只认出这类示功图的 {ra * 100:.0f} %）和{CHINESE[b]}（{rb * 100:.0f} %）"
    return (f"在 {cards} 张油田实测示功图上交叉验证：首选工况正确 {top1 * 100:.0f} %，"
            f"正确工况在前两位 {top2 * 100:.0f} %；未标“不确定”的诊断占 {kept_share * 100:.0f} %，"
            f"其中正确 {kept_right * 100:.0f} %；最弱的是{weak}。")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(ROOT, "build"), help="build folder with card_features_dump")
    ap.add_argument("--score-only", action="store_true", help="cross-validate and draw, write no model")
    a = ap.parse_args()
    if not os.path.exists(DEV_SET):
        print(f"fit_card_model: {DEV_SET} is not here; nothing to do")
        return 0
    tool = os.path.join(a.build, "card_features_dump")
    if not os.path.exists(tool):
        print(f"fit_card_model: build the tool first ({tool})", file=sys.stderr)
        return 1
    train = dump(tool, "--variants", str(TRAIN_VARIANTS), "--seed", str(TRAIN_SEED))
    test = dump(tool, "--variants", "1", "--seed", str(TEST_SEED))
    classes = sorted(set(train[2]))
    truth, raw, fold_of = cross_validate(train, test, classes)
    truth_index = np.array([classes.index(t) for t in truth])

    # Each fold calibrated by the other folds' out-of-fold predictions, so
    # the gap measured is that of cards the calibration never saw.
    cal = np.zeros_like(raw)
    for f in range(5):
        T = fit_temperature(raw[fold_of != f], truth_index[fold_of != f])
        cal[fold_of == f] = calibrate(raw[fold_of == f], T)
    order = np.argsort(-cal, axis=1, kind="stable")
    pred = np.array(classes)[order[:, 0]]
    second = np.array(classes)[order[:, 1]]
    conf = cal[np.arange(len(cal)), order[:, 0]]
    right = (pred == truth).astype(float)
    cm = report(truth, pred, classes)
    recall = {c: cm[i, i] / max(1, cm[i].sum()) for i, c in enumerate(classes)}
    top1, top2 = float(right.mean()), float(np.mean((truth == pred) | (truth == second)))
    print(f"top-2 (the label is the diagnosis or the runner-up): {top2 * 100:.1f} %")
    raw_conf = raw.max(axis=1)
    print(f"calibration gap, forest's own probabilities: {calibration_gap(raw_conf, right)[0]:.3f}")
    gap, bins = calibration_gap(conf, right)
    print(f"calibration gap, temperature-scaled (5 equal-count bins): {gap:.3f}")
    for c, r in bins:
        print(f"  confidence {c:.3f}  accuracy {r:.3f}")
    # The threshold: each fold's chosen on the other folds, to measure it honestly.
    kept = np.zeros(len(conf), dtype=bool)
    for f in range(5):
        t = review_threshold(conf[fold_of != f], right[fold_of != f])
        kept[fold_of == f] = conf[fold_of == f] >= t
    kept_right, kept_share = float(right[kept].mean()), float(kept.mean())
    print(f"not needs_review: {kept_share * 100:.1f} % of the cards, right {kept_right * 100:.1f} %")
    draw(cm, classes, top1, os.path.join(ROOT, "docs", "card_confusion.png"))
    if a.score_only:
        return 0
    names, cards, labels, X = train
    model = fit(X, labels)
    T = fit_temperature(raw, truth_index)
    cal_all = calibrate(raw, T)
    conf_all = cal_all.max(axis=1)
    right_all = (np.array(classes)[cal_all.argmax(axis=1)] == truth).astype(float)
    threshold = review_threshold(conf_all, right_all)
    print(f"shipped: temperature {T}, needs_review below {threshold}")
    sentence = accuracy_sentence(len(truth), top1, top2, kept_right, kept_share, recall)
    print(sentence)
    write_model(model, names, os.path.join(ROOT, "condition", "generated", "card_model_data.cpp"), T, threshold, sentence)
    write_expectations(model, T, test[3], test[1], os.path.join(ROOT, "tests", "core", "condition_card_model_expect.txt"))
    print("model written: condition/generated/card_model_data.cpp, tests/core/condition_card_model_expect.txt")
    return 0


if __name__ == "__main__":
    sys.exit(main())
