#!/usr/bin/env bash
# Runs the WebAssembly command line under node over the sample tests and a
# generated corpus and compares analyze --arrays, inspect, export, rebuild and
# render's operations with the native tavo-cli byte for byte (output and
# messages).
# Usage: web/compare_native.sh NATIVE_BUILD WEB_BUILD [CORPUS_COUNT]
# render is compared when the native tavo-cli draws without the window (a
# build with -DTAVO_BUILD_APP=OFF); with the window it measures text with Qt.
set -euo pipefail
native=$(cd "$1" && pwd)
web=$(cd "$2" && pwd)
count=${3:-40}
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tavo-web-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Neither side reads the user's well records; the pump cards come from the
# sample wells' file below.
export TAVO_WELLS_DB=$work/no-such-wells.sqlite

wasm() { node --no-experimental-fetch "$web/tavo-cli.js" "$@"; }
cli() { "$native/tavo-cli" "$@"; }

mkdir -p "$work/corpus"
"$native/make_samples" --corpus "$count" "$work/corpus" >/dev/null
files=()
for f in "$src"/samples/*; do
  [ "$(basename "$f")" = README.md ] || files+=("$f")
done
for f in "$work"/corpus/*; do files+=("$f"); done

failed=0
passed=0
# compare NAME: the two runs' outputs, messages and exit statuses.
compare() {
  if cmp -s "$work/n.out" "$work/w.out" && cmp -s "$work/n.err" "$work/w.err" && [ "$n_rc" = "$w_rc" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "DIFFERS: $1"
    diff <(head -c 2000 "$work/n.out") <(head -c 2000 "$work/w.out") | head -5 || true
    diff "$work/n.err" "$work/w.err" | head -5 || true
  fi
}
run_both() {
  local name=$1
  shift
  n_rc=0 w_rc=0
  (cd "$work" && cli "$@" >n.out 2>n.err) || n_rc=$?
  (cd "$work" && wasm "$@" >w.out 2>w.err) || w_rc=$?
  compare "$name"
}

run_both "analyze --arrays" analyze --arrays "${files[@]}"
run_both "inspect" inspect "${files[@]}"
run_both "inspect with the pump cards" inspect --arrays --well "$src/samples/wells.json" "${files[@]}"

# export appends to its file: each run writes a new one.
for side in n w; do
  rm -f "$work/$side.txt"
done
n_rc=0 w_rc=0
cli export -o "$work/n.txt" "${files[@]}" >"$work/n.out" 2>"$work/n.err" || n_rc=$?
wasm export -o "$work/w.txt" "${files[@]}" >"$work/w.out" 2>"$work/w.err" || w_rc=$?
sed -i "s|$work/[nw].txt|OUT.txt|g" "$work/n.out" "$work/w.out" "$work/n.err" "$work/w.err"
compare "export messages"
if cmp -s "$work/n.txt" "$work/w.txt"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "DIFFERS: exchange text"; fi

# rebuild writes the tester files beside the exchange text: a folder each.
mkdir -p "$work/rn" "$work/rw"
cp "$work/n.txt" "$work/rn/x.txt"
cp "$work/n.txt" "$work/rw/x.txt"
n_rc=0 w_rc=0
cli rebuild --json "$work/rn/x.txt" >"$work/n.out" 2>"$work/n.err" || n_rc=$?
wasm rebuild --json "$work/rw/x.txt" >"$work/w.out" 2>"$work/w.err" || w_rc=$?
sed -i "s|$work/r[nw]/|DIR/|g" "$work/n.out" "$work/w.out" "$work/n.err" "$work/w.err"
compare "rebuild --json"
for f in $(cd "$work/rn" && find . -type f ! -name x.txt); do
  f=$work/rn/$f
  if cmp -s "$f" "$work/rw/${f#"$work"/rn/}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "DIFFERS: rebuilt ${f#"$work"/rn/}"; fi
done

if [ ! -e "$native/tavo-draw" ]; then
  for f in "${files[@]}"; do
    for view in chart table card; do
      n_rc=0 w_rc=0
      cli render --view "$view" -o "$work/n.json" "$f" >"$work/n.out" 2>"$work/n.err" || n_rc=$?
      wasm render --view "$view" -o "$work/w.json" "$f" >"$work/w.out" 2>"$work/w.err" || w_rc=$?
      [ -e "$work/n.json" ] && cat "$work/n.json" >>"$work/n.out"
      [ -e "$work/w.json" ] && cat "$work/w.json" >>"$work/w.out"
      rm -f "$work/n.json" "$work/w.json"
      compare "render --view $view $(basename "$f")"
    done
  done
else
  echo "render: not compared ($native/tavo-cli measures text with the window's fonts)"
fi

echo "web: ${#files[@]} tester files"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
