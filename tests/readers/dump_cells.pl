# Every cell of every sheet of the given workbooks as Spreadsheet::ParseExcel reads them, in the
# line format of dump_cells.py.
use strict;
use warnings;
use Encode qw(decode);
use File::Basename qw(basename);
use Spreadsheet::ParseExcel;

binmode STDOUT, ':encoding(UTF-8)';
my %kinds = (Text => 's', Numeric => 'n', Date => 'd');
for my $path (@ARGV) {
    my $book = Spreadsheet::ParseExcel->new->parse($path) or die "$path: cannot be read\n";
    my $s = 0;
    for my $sheet ($book->worksheets) {
        my ($r0, $r1) = $sheet->row_range;
        my ($c0, $c1) = $sheet->col_range;
        for my $r ($r0 .. $r1) {
            for my $c ($c0 .. $c1) {
                my $cell = $sheet->get_cell($r, $c) or next;
                my $kind = $kinds{$cell->type} // '?';
                my $v = $cell->unformatted;
                next if !defined $v || $v eq '';
                if ($kind eq 's') {
                    # 16-bit strings come as UTF-16BE bytes, 8-bit ones as Latin-1.
                    $v = decode($cell->encoding == 2 ? 'UTF-16BE' : 'latin1', $v);
                    $v =~ s/([\\\t\n\r])/{"\\" => "\\\\", "\t" => "\\t", "\n" => "\\n", "\r" => "\\r"}->{$1}/ge;
                } else {
                    $v = sprintf('%.17g', $v);
                }
                print join("\t", basename($path), $s, $r, $c, $kind, $v), "\n";
            }
        }
        $s++;
    }
}
