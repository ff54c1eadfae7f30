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
echo "tsv2xls: ok"
