#!/usr/bin/env bash
# Lists the C++ files whose layout differs from .clang-format and fails if there are any.
# clang-format -i on a listed file fixes it. CLANG_FORMAT names another binary (version 14).
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format}
command -v "$format" >/dev/null || { echo "check-format: $format not found" >&2; exit 2; }

differing=()
while IFS= read -r -d '' file; do
  "$format" --dry-run --Werror "$file" >/dev/null 2>&1 || differing+=("$file")
done < <(find src tests bench tools -name '*.cpp' -print0 -o -name '*.h' -print0 | sort -z)

if [ ${#differing[@]} -gt 0 ]; then
  echo "check-format: these files differ from .clang-format:" >&2
  printf '  %s\n' "${differing[@]}" >&2
  exit 1
fi
echo "check-format: all files match .clang-format"
