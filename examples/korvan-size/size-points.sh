#!/bin/sh
# Sizes the points of a CSV file and shows them as a table.
korvan-size --csv points.csv
