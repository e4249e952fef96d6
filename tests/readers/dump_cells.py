"""Every cell of every sheet of the given workbooks, one line each:
book TAB sheet TAB row TAB column TAB kind TAB value, kinds s (text), n (number), d (date or time,
as its serial number in the 1900 date system), b, e. TAB, LF, CR and backslash in a text are
escaped. Mode "xlrd" reads .xls files; modes "fods" and "ods" read the OpenDocument files
LibreOffice (flat) and gnumeric (zipped) made of them, named by their stem."""
import datetime, os, re, sys, zipfile
import xml.etree.ElementTree as ET

def esc(s):
    return s.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n').replace('\r', '\\r')

def out(book, sheet, row, col, kind, value):
    value = repr(float(value)) if kind in 'nd' else esc(str(value))
    sys.stdout.write('%s\t%d\t%d\t%d\t%s\t%s\n' % (book, sheet, row, col, kind, value))

def xlrd_dump(path):
    import xlrd
    book = xlrd.open_workbook(path)
    kinds = {xlrd.XL_CELL_TEXT: 's', xlrd.XL_CELL_NUMBER: 'n', xlrd.XL_CELL_DATE: 'd',
             xlrd.XL_CELL_BOOLEAN: 'b', xlrd.XL_CELL_ERROR: 'e'}
    for i, sh in enumerate(book.sheets()):
        for r in range(sh.nrows):
            for c, cell in enumerate(sh.row(r)):
                if cell.ctype in kinds:
                    out(os.path.basename(path), i, r, c, kinds[cell.ctype], cell.value)

T = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'
X = '{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'
O = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'
EPOCH = datetime.datetime(1899, 12, 30)

def serial(when, leap1900):
    """The serial number of the day the reader shows. gnumeric's days are the 1900 system's, which
    counts a 29 February 1900; LibreOffice counts from 30 December 1899 straight, so it shows the
    serial numbers before March 1900 one day earlier than the system means them."""
    d = datetime.datetime.fromisoformat(when)
    days = (d - EPOCH) / datetime.timedelta(days=1)
    return days - 1 if leap1900 and d < datetime.datetime(1900, 3, 1) and days >= 1 else days

def duration(pt):
    h, m, s = re.fullmatch(r'-?PT(\d+)H(\d+)M([\d.]+)S', pt).groups()
    return (int(h) * 3600 + int(m) * 60 + float(s)) / 86400

def text(e):
    parts = [e.text or '']
    for child in e:
        if child.tag == X + 's': parts.append(' ' * int(child.get(X + 'c', '1')))
        elif child.tag == X + 'tab': parts.append('\t')
        elif child.tag == X + 'line-break': parts.append('\n')
        else: parts.append(text(child))
        parts.append(child.tail or '')
    return ''.join(parts)

def ods_dump(path, leap1900):
    book = os.path.basename(path).rsplit('.', 1)[0] + '.xls'
    src = zipfile.ZipFile(path).open('content.xml') if path.endswith('.ods') else open(path, 'rb')
    sheet, row = -1, 0
    for event, e in ET.iterparse(src, ('start', 'end')):
        if event == 'start':
            if e.tag == T + 'table': sheet, row = sheet + 1, 0
            continue
        if e.tag != T + 'table-row': continue
        col = 0
        for cell in e:
            n = int(cell.get(T + 'number-columns-repeated', '1'))
            kind = cell.get(O + 'value-type')
            if kind in ('float', 'percentage', 'currency'): value, kind = cell.get(O + 'value'), 'n'
            elif kind == 'date': value, kind = serial(cell.get(O + 'date-value'), leap1900), 'd'
            elif kind == 'time': value, kind = duration(cell.get(O + 'time-value')), 'd'
            elif kind == 'boolean': value, kind = cell.get(O + 'boolean-value'), 'b'
            elif kind == 'string':
                value, kind = '\n'.join(text(p) for p in cell.findall(X + 'p')), 's'
            if kind:
                for k in range(n): out(book, sheet, row, col + k, kind, value)
            col += n
        row += int(e.get(T + 'number-rows-repeated', '1'))
        e.clear()

sys.stdout.reconfigure(encoding='utf-8', newline='\n')
for f in sys.argv[2:]:
    if sys.argv[1] == 'xlrd': xlrd_dump(f)
    else: ods_dump(f, sys.argv[1] == 'ods')
