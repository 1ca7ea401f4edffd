# Shared settings of the scripts: source it, don't run it.
BRN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BRN_BUILD="${BRN_BUILD:-$BRN_ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$BRN_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# A Japanese Windows: ANSI code page 932 for metadata text and file names.
BRN_LOCALE=ja_JP.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
BRN_WINE=(env LC_ALL=$BRN_LOCALE /usr/lib/wine/wine64)
# ccache (when present) keys on paths relative to the tree, so work trees share their objects.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$BRN_ROOT")}"
# ccache takes the program's precompiled header only with these.
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
