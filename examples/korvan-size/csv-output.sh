#!/bin/sh
# Writes the results as one CSV table, and the four totals to a file of their own.
totals=$(mktemp)
korvan-size --csv points.csv --format csv --totals "$totals"
echo "--- totals:"
cat "$totals"
rm -f "$totals"
