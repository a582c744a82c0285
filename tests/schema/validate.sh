#!/usr/bin/env bash
# Check calibration files against schema/calib_data.xsd.
#
#   validate.sh [--expect-invalid] [--] FILE...
#
# Without the flag every FILE must be valid; with it every FILE must be
# refused (by the schema, or because it is not well-formed XML). A file
# expected to be refused may name the reason it must be refused for, in a
# comment of its own:
#     <!-- expect-error: attribute 'DynamicRange' -->
# xmllint's messages must then contain that text, so that a case refused
# for some other, accidental fault does not count as a pass.
#
# Exit status: 0 when every file gave the expected result, 1 when at least
# one did not (each is named on stderr), 2 on a usage or setup error (no
# xmllint, no schema, a file that cannot be read, a schema that does not
# compile). A setup error is never reported as "invalid as expected".

set -u

usage() {
    echo "usage: $0 [--expect-invalid] [--] FILE..." >&2
    exit 2
}

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd) || exit 2
repo_root=$(cd "$script_dir/../.." && pwd) || exit 2
schema="$repo_root/schema/calib_data.xsd"

expect_invalid=0
files=()
while [ $# -gt 0 ]; do
    case "$1" in
        --expect-invalid) expect_invalid=1 ;;
        --) shift; files+=("$@"); break ;;
        -*) echo "$0: unknown option: $1" >&2; usage ;;
        *) files+=("$1") ;;
    esac
    shift
done
[ ${#files[@]} -gt 0 ] || usage

if ! command -v xmllint >/dev/null 2>&1; then
    echo "$0: xmllint not found (Debian package libxml2-utils)" >&2
    exit 2
fi
if [ ! -r "$schema" ]; then
    echo "$0: cannot read schema $schema" >&2
    exit 2
fi

failures=0
for f in "${files[@]}"; do
    # xmllint gives the same status for a missing file as for a malformed
    # one; test first so a wrong path cannot pass as an invalid file.
    if [ ! -f "$f" ] || [ ! -r "$f" ]; then
        echo "$0: cannot read $f" >&2
        exit 2
    fi

    out=$(xmllint --noout --schema "$schema" "$f" 2>&1)
    rc=$?
    case $rc in
        0) result=valid ;;
        1 | 3) result=invalid ;;   # 1: not well-formed, 3: schema says no
        *)
            echo "$0: xmllint failed on $f (status $rc):" >&2
            echo "$out" >&2
            exit 2
            ;;
    esac

    if [ $expect_invalid -eq 0 ]; then
        if [ $result != valid ]; then
            echo "UNEXPECTED: $f is invalid:" >&2
            echo "$out" >&2
            failures=$((failures + 1))
        fi
        continue
    fi

    if [ $result != invalid ]; then
        echo "UNEXPECTED: $f is valid, expected invalid" >&2
        failures=$((failures + 1))
        continue
    fi
    reason=$(sed -n 's/.*<!-- *expect-error: *\(.*[^ ]\) *-->.*/\1/p' "$f" | head -n 1)
    if [ -n "$reason" ] && ! printf '%s\n' "$out" | grep -qF -- "$reason"; then
        echo "UNEXPECTED: $f is invalid, but not for: $reason" >&2
        echo "$out" >&2
        failures=$((failures + 1))
    fi
done

if [ $failures -ne 0 ]; then
    echo "$failures of ${#files[@]} file(s) gave an unexpected result" >&2
    exit 1
fi
exit 0
