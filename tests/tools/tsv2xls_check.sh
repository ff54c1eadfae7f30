#!/usr/bin/env bash
# tsv2xls end to end: a GBK and a UTF-8 input give the same workbook, read back by xlrd.
set -euo pipefail
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '设备ID\t温度\t湿度\nTH00000001\t 23.5 ↑\t--\nTH00000002\t\t45.0   \n' >"$dir/in.tsv"
iconv -f UTF-8 -t GBK "$dir/in.tsv" >"$dir/in-gbk.tsv"
"$tool" "$dir/in.tsv" "$dir/utf8.xls"
"$tool" "$dir/in-gbk.tsv" "$dir/gbk.xls"
cmp "$dir/utf8.xls" "$dir/gbk.xls"
/usr/bin/python3 - "$dir/utf8.xls" <<'PY'
import sys, xlrd
s = xlrd.open_workbook(sys.argv[1]).sheet_by_name("Sheet1")
rows = [[s.cell_value(r, c) for c in range(s.ncols)] for r in range(s.nrows)]
expected = [["设备ID", "温度", "湿度"], ["TH00000001", " 23.5 ↑", "--"], ["TH00000002", "", "45.0   "]]
assert rows == expected, rows
PY
if "$tool" "$dir/in.tsv" "$dir/no/such/dir.xls" 2>/dev/null; then echo "unwritable output reported success" >&2; exit 1; fi

# More than 256 fields: exit 2 naming the line, nothing written (an earlier file is kept).
printf 'earlier' >"$dir/wide.xls"
{ printf 'a\tb\n'; for i in $(seq 300); do printf 'f%d\t' "$i"; done; printf 'end\n'; } >"$dir/wide.tsv"
status=0; "$tool" "$dir/wide.tsv" "$dir/wide.xls" 2>"$dir/err" || status=$?
[ "$status" = 2 ] || { echo "300 fields: exit $status" >&2; exit 1; }
grep -q 'line 2 has 301 fields' "$dir/err" || { cat "$dir/err" >&2; exit 1; }
[ "$(cat "$dir/wide.xls")" = earlier ] || { echo "300 fields: file written" >&2; exit 1; }
"$tool" --truncate "$dir/wide.tsv" "$dir/wide.xls" 2>"$dir/err"
grep -qx '1 line cut to 256 fields' "$dir/err" || { cat "$dir/err" >&2; exit 1; }
/usr/bin/python3 - "$dir/wide.xls" <<'PY'
import sys, xlrd
s = xlrd.open_workbook(sys.argv[1]).sheet_by_name("Sheet1")
assert s.ncols == 256 and s.cell_value(1, 255) == "f256", (s.ncols, s.cell_value(1, 255))
PY

# What the workbook cannot hold is counted on stderr, exit 0.
long=$(head -c 40000 /dev/zero | tr '\0' a)
printf 'x\ty\n%s\t😀😀\n%s\tok🎉\n' "$long" "$long" >"$dir/lossy.tsv"
"$tool" "$dir/lossy.tsv" "$dir/lossy.xls" 2>"$dir/err"
[ "$(cat "$dir/err")" = "2 cells cut to 32,767 characters; 3 characters not in GBK written as '?'" ] || { cat "$dir/err" >&2; exit 1; }

# A file-size limit fails the save like a full disk: exit 1 with a message, the earlier
# workbook byte-identical, no temporary left.
cp "$dir/utf8.xls" "$dir/keep.xls"
status=0; (ulimit -f 8; "$tool" "$dir/lossy.tsv" "$dir/utf8.xls" 2>"$dir/err") || status=$?
[ "$status" = 1 ] || { echo "size limit: exit $status" >&2; exit 1; }
grep -q 'cannot write' "$dir/err" || { cat "$dir/err" >&2; exit 1; }
cmp "$dir/utf8.xls" "$dir/keep.xls"
left=$(find "$dir" -mindepth 1 -maxdepth 1 -name '.*')
if [[ -n $left ]]; then echo "temporary left behind: $left" >&2; exit 1; fi
echo "tsv2xls: ok"
