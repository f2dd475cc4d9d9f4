#!/bin/sh
# The program finds its skin beside its executable, so it lives in lib/tambrel/; this launcher
# puts it on the PATH.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tambrel/tambrel" "$@"
