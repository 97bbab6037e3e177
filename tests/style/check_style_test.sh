#!/usr/bin/env bash
# The style check fails on a scratch tree with a misformatted file and a method
# named against the rules, naming both, and passes on the file that keeps them.
set -euo pipefail
source_dir=$1
for tool in clang-format clang-tidy python3 git; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
cp "$source_dir/.clang-format" "$source_dir/.clang-tidy" "$scratch/"
mkdir -p "$scratch/toolkit" "$scratch/build"
printf 'int Twice(int x) { return 2 * x; }\n' >"$scratch/toolkit/good.cpp"
printf 'int  Half(int x)\n{ return x / 2; }\n' >"$scratch/toolkit/layout.cpp"
printf 'class Box {\n public:\n  int get_size() const { return 1; }\n};\n' >"$scratch/toolkit/names.cpp"
entries=()
for f in good layout names; do
  entries+=("{\"directory\": \"$scratch/build\", \"file\": \"$scratch/toolkit/$f.cpp\",
    \"command\": \"c++ -std=c++20 -o $f.o -c $scratch/toolkit/$f.cpp\"}")
done
(IFS=,; echo "[${entries[*]}]") >"$scratch/build/compile_commands.json"
git -C "$scratch" init -q && git -C "$scratch" add .

check=("$source_dir/scripts/check-style" --root "$scratch" --build "$scratch/build" --no-windows)
if out=$("${check[@]}" 2>&1); then
  echo "the check passed a misformatted file and a misnamed method"; exit 1
fi
grep -q 'toolkit/layout.cpp' <<<"$out" || { echo "$out"; exit 1; }
grep -q "toolkit/names.cpp:3:.*'get_size'.*readability-identifier-naming" <<<"$out" || { echo "$out"; exit 1; }
if grep -q 'good.cpp' <<<"$out"; then echo "$out"; exit 1; fi
"${check[@]}" "$scratch/toolkit/good.cpp"
echo "style check: catches the layout and the name, passes the clean file"
