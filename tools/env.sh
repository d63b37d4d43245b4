# Sourced by run.sh and test.sh so that they also work from a bare
# environment (env -i, a fresh container): the package manager and the
# build tools need the usual PATH, and some tools a home.
# Given none, bash keeps a PATH of its own (with ".") that it does not export.
[[ "$(export -p)" == *"declare -x PATH="* ]] || PATH=""
export PATH="${PATH:+$PATH:}/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
export HOME="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
