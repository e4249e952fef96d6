#!/bin/sh
# read_with.sh READER FOLDER BOOK.xls... prints every cell of the workbooks as READER reads them,
# in the line format of dump_cells.py, working in FOLDER. Exit status 77: READER is not installed.
here=$(dirname "$0")
python=/usr/bin/python3
reader=$1 out=$2
shift 2
missing() { echo "$reader is not installed" >&2; exit 77; }
case $reader in
  xlrd)
    $python -c 'import xlrd' 2>/dev/null || missing
    exec $python "$here/dump_cells.py" xlrd "$@" ;;
  parseexcel)
    perl -MSpreadsheet::ParseExcel -e1 2>/dev/null || missing
    exec perl "$here/dump_cells.pl" "$@" ;;
  libreoffice)
    # Flat OpenDocument holds every cell's value and type. A profile of its own, so that runs
    # side by side do not share one.
    command -v soffice >/dev/null && [ -x $python ] || missing
    soffice -env:UserInstallation=file://"$out/profile" --headless --convert-to fods --outdir "$out" "$@" \
      >/dev/null 2>&1 || exit 1
    exec $python "$here/dump_cells.py" fods "$out"/*.fods ;;
  gnumeric)
    command -v ssconvert >/dev/null && [ -x $python ] || missing
    mkdir -p "$out"
    for book; do
      ssconvert -T Gnumeric_OpenCalc:odf "$book" "$out/$(basename "$book" .xls).ods" >/dev/null 2>&1 || exit 1
    done
    exec $python "$here/dump_cells.py" ods "$out"/*.ods ;;
esac
exit 2
