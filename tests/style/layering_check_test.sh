#!/usr/bin/env bash
# The include layering check passes on the tree and fails, naming the file,
# on includes against the layers: the engine using the toolkit, the platform
# using its printing library.
set -euo pipefail
source_dir=$1
check=$source_dir/cmake/CheckLayering.cmake
cmake -DSOURCE_DIR="$source_dir" -P "$check"

scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch"/client/{engine,windows} "$scratch"/platform/print
echo '#include "toolkit/window.h"' >"$scratch/client/engine/wrong.cpp"
echo '#include "toolkit/window.h"' >"$scratch/client/windows/right.cpp"
echo '#include "client/engine/job_file.h"' >"$scratch/client/windows/also_right.cpp"
echo '#include "platform/print/print_device.h"' >"$scratch/platform/wrong_too.cpp"
echo '#include "platform/paths.h"' >"$scratch/platform/print/fine.cpp"
if out=$(cmake -DSOURCE_DIR="$scratch" -P "$check" 2>&1); then
  echo "the check passed includes against the layering"; exit 1
fi
grep -q 'client/engine/wrong.cpp: #include "toolkit/window.h"' <<<"$out"
grep -q 'platform/wrong_too.cpp: #include "platform/print/print_device.h"' <<<"$out"
if grep -q 'right.cpp\|fine.cpp' <<<"$out"; then echo "$out"; exit 1; fi
echo "layering check: passes on the tree, catches both wrong includes"
