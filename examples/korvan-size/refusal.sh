#!/bin/sh
# A point the library refuses: the message names the point and the library's rule.
korvan-size 1:50 0:0 3:80 2>&1
echo "exit status $?"
