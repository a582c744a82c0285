#!/usr/bin/env bash
# Run the schema cases under tests/schema_cases: every file in valid/ must
# pass, every file in invalid/ must be refused for the reason it names.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd) || exit 2
cases="$here/../schema_cases"
validate="$here/validate.sh"
status=0

shopt -s nullglob
valid=("$cases"/valid/*.xml)
invalid=("$cases"/invalid/*.xml)
if [ ${#valid[@]} -eq 0 ] || [ ${#invalid[@]} -eq 0 ]; then
    echo "no schema cases found under $cases" >&2
    exit 2
fi

# Without its reason an invalid case could pass on an accidental fault.
for f in "${invalid[@]}"; do
    if ! grep -q 'expect-error:' "$f"; then
        echo "FAIL: $f names no expect-error reason" >&2
        status=1
    fi
done

"$validate" "${valid[@]}" || status=1
"$validate" --expect-invalid "${invalid[@]}" || status=1

# The checker must itself notice a wrong expectation, or the two runs above
# would prove nothing.
if "$validate" --expect-invalid "${valid[0]}" 2>/dev/null; then
    echo "FAIL: validate.sh accepted a valid file as invalid" >&2
    status=1
fi
if "$validate" "${invalid[0]}" 2>/dev/null; then
    echo "FAIL: validate.sh accepted an invalid file as valid" >&2
    status=1
fi

[ $status -eq 0 ] && echo "schema cases: ${#valid[@]} valid, ${#invalid[@]} invalid, all as expected"
exit $status
