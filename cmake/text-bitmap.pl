#!/usr/bin/perl
# Writes a 16-colour BMP from a text picture, so that toolbar images live in the
# sources as text. The picture: "color C RRGGBB" lines give the palette (at most 16
# colours, in order); every other line that is not empty or a "#" comment is one row
# of pixels, top row first, one palette character per pixel. A strip of images can be
# drawn one image at a time: an "image" line (the rest of it is free text) starts the
# next image, placed to the right of the ones before; all images have the same height.
#   perl text-bitmap.pl picture.txt out.bmp
use strict;
use warnings;

my ($in, $out) = @ARGV;
die "usage: text-bitmap.pl picture.txt out.bmp\n" unless defined $out;
open my $picture, '<', $in or die "$in: $!\n";

my (%index, @palette, @images);
my $rows = [];
while (my $line = <$picture>) {
    $line =~ s/\r?\n\z//;
    next if $line =~ /^\s*(#|\z)/;
    if ($line =~ /^image\b/) {
        push @images, $rows if @$rows;
        $rows = [];
        next;
    }
    if ($line =~ /^color (\S) ([0-9a-fA-F]{6})\s*\z/) {
        die "$in: more than 16 colours\n" if @palette == 16;
        $index{$1} = scalar @palette;
        push @palette, hex $2;
        next;
    }
    push @$rows, $line;
}
push @images, $rows if @$rows;
die "$in: no pixel rows\n" unless @images;

my @rows = @{ $images[0] };
for my $i (1 .. $#images) {
    my $image = $images[$i];
    die "$in: image " . ($i + 1) . " is not as high as the first\n" if @$image != @rows;
    $rows[$_] .= $image->[$_] for 0 .. $#rows;
}

my $width = length $rows[0];
my $stride = int(($width + 7) / 8) * 4;    # 4 bits a pixel, rows padded to 4 bytes
my $pixels = '';
for my $row (reverse @rows) {              # a BMP stores the bottom row first
    die "$in: rows differ in length\n" if length $row != $width;
    my $nibbles = '';
    for my $char (split //, $row) {
        die "$in: no colour for '$char'\n" unless exists $index{$char};
        $nibbles .= sprintf '%x', $index{$char};
    }
    $nibbles .= '0' x ($stride * 2 - length $nibbles);
    $pixels .= pack 'H*', $nibbles;
}

my $colours = join '', map { pack 'C4', $_ & 0xff, ($_ >> 8) & 0xff, ($_ >> 16) & 0xff, 0 }
    @palette, (0) x (16 - @palette);
my $offset = 14 + 40 + length $colours;

open my $bmp, '>:raw', $out or die "$out: $!\n";
print $bmp pack('a2 V v v V', 'BM', $offset + length $pixels, 0, 0, $offset);
print $bmp pack('V l< l< v v V V l< l< V V',
    40, $width, scalar @rows, 1, 4, 0, length $pixels, 2835, 2835, 16, 0);
print $bmp $colours, $pixels;
close $bmp or die "$out: $!\n";
