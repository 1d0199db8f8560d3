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

Prints the accuracy, the recall of each condition and the confusion matrix
of a stratified 5-fold cross-validation over the cards (the model of each
fold is fitted on the tester files of the other folds' cards and scored on
fresh tester files of its own), draws the matrix into
docs/card_confusion.png, then fits the model on every card and writes
condition/card_model_data.cpp and tests/core/condition_card_model_expect.txt.
Without the data the script says so and exits 0.

Needs Debian's python3-sklearn (1.2) and python3-matplotlib; n_jobs=1 keeps
the fit on one core and the trees' order fixed.
"""
import argparse
import csv
import io
import os
import subprocess
import sys

import numpy as np
from sklearn.ensemble import ExtraTreesClassifier
from sklearn.metrics import confusion_matrix
from sklearn.model_selection import StratifiedKFold

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEV_SET = os.path.join(ROOT, "..", "shared", "realdata", "cn-oilfield-12class", "OilfieldData2d_TEST_dev.ts")
NAMED_FEATURES = 20          # the model reads the named features only: each can be shown as evidence
TRAIN_VARIANTS, TRAIN_SEED = 4, 11
TEST_SEED = 99
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


def cross_validate(train, test):
    _, ctr, ytr, Xtr = train
    _, cte, yte, Xte = test
    truth, pred, second = [], [], []
    folds = StratifiedKFold(5, shuffle=True, random_state=0)
    for tr, te in folds.split(np.zeros(len(yte)), yte):
        model = fit(Xtr[np.isin(ctr, tr)], ytr[np.isin(ctr, tr)])
        mask = np.isin(cte, te)
        truth += list(yte[mask])
        proba = model.predict_proba(Xte[mask][:, :NAMED_FEATURES])
        order = np.argsort(-proba, axis=1, kind="stable")
        pred += list(model.classes_[order[:, 0]])
        second += list(model.classes_[order[:, 1]])
    return np.array(truth), np.array(pred), np.array(second)


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


def write_model(model, names, path):
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
                nodes.append(f"{{{-len(counts)}, 0.0f, {len(leaf_packed) - len(counts)}}}")
            else:
                # Grown depth first: the left child is the next node.
                assert t.children_left[node] == node + 1
                nodes.append(f"{{{int(t.feature[node])}, {float_literal(float_below(t.threshold[node]))}, "
                             f"{int(t.children_right[node])}}}")
    tree_start.append(len(nodes))

    def arr(values, per_line=16):
        lines = []
        for i in range(0, len(values), per_line):
            lines.append("    " + ", ".join(values[i:i + per_line]) + ",")
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
        f.write("const Node kNodes[] = {\n" + arr(nodes, 6) + "\n};\n")
        f.write("const uint16_t kLeafPacked[] = {\n" + arr([str(v) for v in leaf_packed], 20) + "\n};\n")
        f.write("\n}  // namespace tavo::condition::model_data\n")


def write_expectations(model, X, cards, path):
    """A few feature rows and what the fitted model gives for them."""
    rows = X[:, :NAMED_FEATURES]
    picks = sorted({int(np.where(cards == c)[0][0]) for c in range(0, int(cards.max()) + 1, 53)})
    proba = model.predict_proba(rows[picks])
    with open(path, "w", encoding="utf-8") as f:
        f.write("# Generated by tools/fit_card_model.py: features (as float) | probabilities per class\n")
        for r, p in zip(rows[picks], proba):
            f.write(" ".join(float.hex(float(v)) for v in r) + " | " + " ".join(float.hex(float(v)) for v in p) + "\n")


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
    truth, pred, second = cross_validate(train, test)
    cm = report(truth, pred, classes)
    print(f"label is the diagnosis or the runner-up: {np.mean((truth == pred) | (truth == second)) * 100:.1f} %")
    draw(cm, classes, np.mean(truth == pred), os.path.join(ROOT, "docs", "card_confusion.png"))
    if a.score_only:
        return 0
    names, cards, labels, X = train
    model = fit(X, labels)
    write_model(model, names, os.path.join(ROOT, "condition", "card_model_data.cpp"))
    write_expectations(model, test[3], test[1], os.path.join(ROOT, "tests", "core", "condition_card_model_expect.txt"))
    print("model written: condition/card_model_data.cpp, tests/core/condition_card_model_expect.txt")
    return 0


if __name__ == "__main__":
    sys.exit(main())
