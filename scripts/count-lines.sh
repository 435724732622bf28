#!/usr/bin/env bash
# Counts the lines of code and of tests that are neither blank nor only a
# comment, and prints the ratio of tests to code.
#   scripts/count-lines.sh [-v]     (-v: a line per folder)
# Code is the program's subsystem folders and the stand-ins; tests are
# everything under tests/ but the benchmarks and the fuzz seed corpora.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
verbose=no
[ "${1:-}" = -v ] && verbose=yes

# count FILE...: the lines that carry something besides blanks and comments,
# by the comment syntax of each file's language. Binary files count nothing.
count() {
  local total=0 n f
  for f in "$@"; do
    grep -Iq . "$f" 2>/dev/null || continue
    case "$f" in
      *.cpp|*.h|*.rc|*.c)
        n=$(awk '
          { line = $0
            out = ""
            while (length(line) > 0) {
              if (inblock) {
                e = index(line, "*/")
                if (e == 0) { line = ""; break }
                line = substr(line, e + 2); inblock = 0; continue
              }
              s = index(line, "/*"); c = index(line, "//")
              if (c > 0 && (s == 0 || c < s)) { out = out substr(line, 1, c - 1); line = ""; break }
              if (s > 0) { out = out substr(line, 1, s - 1); line = substr(line, s + 2); inblock = 1; continue }
              out = out line; line = ""
            }
            if (out ~ /[^ \t\r]/) n++ }
          END { print n + 0 }' "$f") ;;
      *.def) n=$(grep -cvE '^[[:space:]]*(;|$)' "$f" || true) ;;
      *.manifest|*.xml) n=$(grep -cvE '^[[:space:]]*(<!--.*-->)?[[:space:]]*$' "$f" || true) ;;
      *) n=$(grep -cvE '^[[:space:]]*(#|$)' "$f" || true) ;;
    esac
    total=$((total + n))
  done
  echo "$total"
}

files_in() { find "$@" -type f 2>/dev/null | sort; }

code_dirs=(app device filelist readout transfer pause settings resources stand-ins)
code=0
for d in "${code_dirs[@]}"; do
  mapfile -t list < <(files_in "$d")
  n=$(count "${list[@]}")
  [ "$verbose" = yes ] && printf '  %-22s %6d\n' "$d" "$n"
  code=$((code + n))
done

tests=0
mapfile -t test_dirs < <(find tests -mindepth 1 -maxdepth 1 | sort)
for d in "${test_dirs[@]}"; do
  case "$d" in tests/bench) continue ;; esac
  mapfile -t list < <(files_in "$d" | grep -v '^tests/fuzz/corpus/')
  n=$(count "${list[@]}")
  [ "$verbose" = yes ] && printf '  %-22s %6d\n' "$d" "$n"
  tests=$((tests + n))
done

printf 'code  %6d\ntests %6d\nratio %6s\n' "$code" "$tests" \
  "$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", c ? t / c : 0 }')"
