#!/bin/sh
# `make demo`: sizes the README's example with korvan-size, and says around the table what the
# newcomer is looking at and how to size points of their own.
# usage: tools/demo.sh PROGRAM   (the korvan-size just built: build/dev/korvan-size)
set -eu
program="$1"

cat <<TEXT

korvan-size sizes three points, the README's example: a type (0 to 3) and an input value each.

  point 1: type 1, input value 50      demand = type's factor x input value x 0.001 x 4
  point 2: type 0, input value 100     factors: type 0 2.25, type 1 5.62, type 2 2.25, type 3 1.5
  point 3: type 3, input value 80

\$ $program 1:50 0:100 3:80
TEXT
"$program" 1:50 0:100 3:80
cat <<TEXT

One line per point, largest demand first:
  point        the point's place in the input, from 1
  demand       type's factor x input value x 0.001 x 4
  ratio        the largest demand / this point's demand
  valve size   the size picked for it from the series 0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03,
               so that the sizes keep the ratios of the demands
  delivered    valve size x scale factor: what the point receives
  deviation %  (delivered - demand) / demand in percent, rounded down to hundredths:
               below 0 the point receives less than its demand, above 0 more
  the bar      the deviation drawn: dashes left of | for less, pluses right of it for more;
               the largest deviation fills ten characters
Below it: the largest and the most negative deviation, the scale factor (the mean of
demand / valve size: what a point receives per unit of valve size) and the reduced scale
factor (scale factor / 2000).

The program is $program. Size points of your own as TYPE:VALUE, or from a CSV
file whose header names the columns type and inputValue:
  $program 2:120 1:35 0:80
  $program --csv points.csv
  $program --help              (and docs/korvan-size.md)
TEXT
