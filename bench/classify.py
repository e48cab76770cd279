#!/usr/bin/python3
"""Test misclassification of Axona, FANN 2.2 and scikit-learn's MLPClassifier on the same splits.

Data: the shipped Iris example and two public sets Debian's python3-sklearn ships in
sklearn/datasets/data/ (breast_cancer.csv, 569 x 30, two classes; digits.csv.gz, 1797 x 64, ten
classes; UCI data, CC BY 4.0), converted here at bench time. Each set is shuffled with a fixed
seed and split 50/25/25 into training, validation and test patterns (PROBEN1's protocol); the
inputs are scaled to 0..1 by the training part's ranges, the classes are one output each.

Every method trains the same one-hidden-layer sigmoid network for the same epochs and reports
  fixed: the test error of the final weights, and
  best:  the test error of the weights that did best on the validation set (Axona: keep-best on
         the validation set loaded as its test set), the test set being seen by no choice.

Axona's suggestion is also run with seeds 2..K (weights and run), its lowest and highest test
errors shown in one more row.

usage: bench/classify.py BUILD_DIR [--epochs N] [--seeds K]   (default 500 epochs, 5 seeds)
"""
import csv
import gzip
import json
import os
import random
import subprocess
import sys
import tempfile
import time

SKLEARN_DATA = "/usr/lib/python3/dist-packages/sklearn/datasets/data"
HERE = os.path.dirname(os.path.abspath(__file__))


def iris():
    rows = []
    for name in ("iris.pat", "iris.tst"):
        with open(os.path.join(HERE, "..", "examples", name)) as f:
            lines = f.read().split("\n")[1:]
        for line in lines:
            v = [float(x) for x in line.split()]
            if v:
                rows.append((v[:4], v[4:].index(max(v[4:]))))
    return "Iris", rows, 3, 8


def breast_cancer():
    with open(os.path.join(SKLEARN_DATA, "breast_cancer.csv")) as f:
        lines = list(csv.reader(f))[1:]
    rows = [([float(x) for x in r[:30]], int(r[30])) for r in lines]
    return "Breast cancer", rows, 2, 10


def digits():
    with gzip.open(os.path.join(SKLEARN_DATA, "digits.csv.gz"), "rt") as f:
        lines = list(csv.reader(f))
    rows = [([float(x) for x in r[:64]], int(float(r[64]))) for r in lines if r]
    return "Digits", rows, 10, 32


def split(rows, seed=1):
    rows = rows[:]
    random.Random(seed).shuffle(rows)
    n = len(rows)
    a, b = n // 2, n // 2 + n // 4
    return rows[:a], rows[a:b], rows[b:]


def write_pat(path, rows, lo, hi, classes):
    with open(path, "w") as f:
        f.write(" %d  %d  %d \n" % (len(rows), len(lo), classes))
        for x, c in rows:
            scaled = [(v - l) / (h - l) if h > l else 0.0 for v, l, h in zip(x, lo, hi)]
            scaled = [min(max(v, 0.0), 1.0) for v in scaled]
            target = ["1" if k == c else "0" for k in range(classes)]
            f.write(" ".join("%.6g" % v for v in scaled) + "   " + " ".join(target) + "\n")


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, text=True)


def axona(cli, folder, inputs, hidden, classes, epochs, keep_best, seed=1):
    net = "best.net" if keep_best else "fixed.net"
    made = run([cli, "new", net, "--layers", "%d,%d,%d" % (inputs, hidden, classes),
                "--patterns", "train.pat", "--test", "valid.pat", "--suggest", "--seed",
                str(seed)], folder)
    assert made.returncode == 0, made.stderr
    start = time.time()
    # New Net's 5 epochs per engine call: an iteration is 5 passes over the training set.
    args = [cli, "train", net, "--max-iterations", str(epochs // 5), "--target", "-1",
            "--seed", str(seed), "--save"]
    if keep_best:
        args.append("--keep-best")
    trained = run(args, folder)
    seconds = time.time() - start
    assert trained.returncode == 0, trained.stderr
    ev = run([cli, "eval", net, "--data", "test.pat", "--json"], folder)
    assert ev.returncode == 0, ev.stderr
    return json.loads(ev.stdout)["classErrorPercent"], seconds


def fann(binary, folder, hidden, epochs):
    if not os.path.exists(binary):
        return None
    out = run([binary, "train.pat", "valid.pat", "test.pat", str(hidden), str(epochs), "1",
               "rprop"], folder)
    if out.returncode != 0:
        return None
    return json.loads(out.stdout.strip().splitlines()[-1])


def sklearn(train, valid, test, lo, hi, hidden, epochs):
    try:
        import warnings
        from sklearn.exceptions import ConvergenceWarning
        from sklearn.neural_network import MLPClassifier
    except ImportError:
        return None

    def xs(rows):
        return [[(v - l) / (h - l) if h > l else 0.0 for v, l, h in zip(x, lo, hi)]
                for x, _ in rows]

    def err(model, rows):
        pred = model.predict(xs(rows))
        return 100.0 * sum(int(p != c) for p, (_, c) in zip(pred, rows)) / len(rows)

    warnings.simplefilter("ignore", ConvergenceWarning)
    start = time.time()
    model = MLPClassifier(hidden_layer_sizes=(hidden,), activation="logistic", max_iter=epochs,
                          random_state=1)
    model.fit(xs(train), [c for _, c in train])
    seconds = time.time() - start
    # Best on the validation set: one epoch at a time, the test error of the best epoch kept.
    best = MLPClassifier(hidden_layer_sizes=(hidden,), activation="logistic", random_state=1)
    classes = sorted({c for _, c in train})
    best_valid, best_test = 101.0, None
    for _ in range(epochs):
        best.partial_fit(xs(train), [c for _, c in train], classes=classes)
        v = err(best, valid)
        if v < best_valid:
            best_valid, best_test = v, err(best, test)
    return err(model, test), best_test, seconds


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    build = os.path.abspath(sys.argv[1])
    epochs = int(sys.argv[sys.argv.index("--epochs") + 1]) if "--epochs" in sys.argv else 500
    seeds = int(sys.argv[sys.argv.index("--seeds") + 1]) if "--seeds" in sys.argv else 5
    cli = os.path.join(build, "bin", "axona")
    fann_bin = os.path.join(build, "bin", "fann_classify")
    print("| Set | Method | Test error, fixed %d epochs | Test error, best on validation | "
          "Time (fixed) |" % epochs)
    print("|---|---|---|---|---|")
    for name, rows, classes, hidden in (iris(), breast_cancer(), digits()):
        train, valid, test = split(rows)
        inputs = len(rows[0][0])
        lo = [min(x[i] for x, _ in train) for i in range(inputs)]
        hi = [max(x[i] for x, _ in train) for i in range(inputs)]
        with tempfile.TemporaryDirectory() as folder:
            for part, data in (("train", train), ("valid", valid), ("test", test)):
                write_pat(os.path.join(folder, part + ".pat"), data, lo, hi, classes)
            fixed, seconds = axona(cli, folder, inputs, hidden, classes, epochs, False)
            best, _ = axona(cli, folder, inputs, hidden, classes, epochs, True)
            label = "%s (%d-%d-%d, %d/%d/%d)" % (name, inputs, hidden, classes, len(train),
                                                 len(valid), len(test))
            print("| %s | Axona (BP, Suggest, seed 1) | %.1f %% | %.1f %% | %.2f s |"
                  % (label, fixed, best, seconds))
            if seeds > 1:
                runs = [(fixed, best)] + [
                    (axona(cli, folder, inputs, hidden, classes, epochs, False, k)[0],
                     axona(cli, folder, inputs, hidden, classes, epochs, True, k)[0])
                    for k in range(2, seeds + 1)]
                print("| | Axona, seeds 1-%d: lowest-highest | %.1f-%.1f %% | %.1f-%.1f %% | |"
                      % (seeds, min(f for f, _ in runs), max(f for f, _ in runs),
                         min(b for _, b in runs), max(b for _, b in runs)))
            f = fann(fann_bin, folder, hidden, epochs)
            if f:
                print("| | FANN 2.2 (RPROP) | %.1f %% | %.1f %% | %.2f s |"
                      % (f["final"], f["best"], f["seconds"]))
            s = sklearn(train, valid, test, lo, hi, hidden, epochs)
            if s:
                print("| | scikit-learn MLPClassifier (adam) | %.1f %% | %.1f %% | %.2f s |" % s)
        sys.stdout.flush()
    return 0


if __name__ == "__main__":
    sys.exit(main())
