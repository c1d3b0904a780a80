#!/bin/bash
# Prepares a Debian 12 machine to build and test Ovelin:
#   1. installs the Debian packages the build and the tests use (only the
#      missing ones; needs root then),
#   2. creates the project's Wine prefix in <repo>/build/wineprefix,
#   3. builds the "Symbol" and "Wingdings" fonts into build/fonts and installs
#      them in the prefix, and maps Times New Roman, Arial and Courier New to
#      the metric-compatible Liberation fonts.
# Safe to re-run: finished steps are skipped.  Wine's own output goes to
# build/setup.log.
set -euo pipefail

# Bump when the prefix recipe below changes: the prefix is then recreated.
PREFIX_RECIPE=1

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build"
prefix="$build/wineprefix"
fontdir="$build/fonts"
stamp="$prefix/.ovelin-setup"
log="$build/setup.log"
# Debian's own interpreter: python3-fonttools is installed for it only, and
# a python3 earlier on PATH (pyenv, a venv) does not see it.  -I keeps
# PYTHONPATH/PYTHONHOME and user site-packages out.
py=/usr/bin/python3

step() { printf 'setup: %s\n' "$*"; }
die() {
    printf 'setup: FAILED: %s\n' "$*" >&2
    if [ -s "$log" ]; then
        printf 'setup: last lines of %s:\n' "$log" >&2
        tail -n 20 "$log" >&2
    fi
    exit 1
}

# --- 1. Packages -----------------------------------------------------------
packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build
    wine64 fonts-wine xvfb xauth x11-apps imagemagick
    fonts-liberation fonts-urw-base35 fonts-dejavu-core python3-fonttools
    libclang-rt-14-dev clang googletest
)
# Further packages that parts of the test suite use (outside readers and
# writers of images, the image scripts), one per line.
for list in "$repo"/tools/packages-*.txt; do
    [ -f "$list" ] || continue
    while read -r p; do
        [ -n "$p" ] && [ "${p#\#}" = "$p" ] && packages+=("$p")
    done <"$list"
done
missing=()
for p in "${packages[@]}"; do
    # dpkg -s also succeeds for removed packages whose config files remain.
    if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    [ "$(id -u)" -eq 0 ] || die "run as root to install: ${missing[*]}"
    step "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null || die "apt-get update"
    # With recommends: wine64 pulls in wine, and libwine the gnutls, GL and
    # other libraries Wine loads at run time.
    apt-get install -y -qq "${missing[@]}" >/dev/null \
        || die "apt-get install ${missing[*]}"
else
    step "packages present"
fi

"$py" -I -c 'import fontTools' 2>/dev/null || die "$py cannot import fontTools"

# --- 2. Wine prefix ----------------------------------------------------------
if [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64; else wine=$(command -v wine64 || command -v wine); fi
if [ -x /usr/lib/wine/wineserver64 ]; then wineserver=/usr/lib/wine/wineserver64; else wineserver=$(command -v wineserver); fi
[ -n "$wine" ] && [ -n "$wineserver" ] || die "wine not found"

# Same environment as tools/wine-run.
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

# A prefix made before the test programs' window setting below gets it.
grep -q 'app_tests.exe' "$prefix/user.reg" 2>/dev/null || rm -f "$stamp"

# The fonts are part of the recipe: a changed font builder rebuilds them.
fonts_hash=$(sha256sum <"$repo/tools/fonts/make_fonts.py" | cut -c1-16)
dialog_fonts_hash=$(sha256sum <"$repo/tools/fonts/make_dialog_fonts.py" | cut -c1-16)
want="prefix=$PREFIX_RECIPE fonts=$fonts_hash dialog-fonts=$dialog_fonts_hash"
have=$(cat "$stamp" 2>/dev/null || true)
winfonts="$prefix/drive_c/windows/Fonts"
# Wine draws the caption buttons with "Marlett"; the prefix does not see
# Wine's own copy (fonts-wine), so it goes into the prefix's font folder.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ "$have" = "$want" ] && [ -f "$prefix/system.reg" ] &&
    [ -f "$winfonts/symbol.otf" ] && [ -f "$winfonts/wingding.ttf" ] &&
    [ -f "$winfonts/ovelin-liberation-sans-regular.ttf" ] &&
    { [ -f "$winfonts/marlett.ttf" ] || [ ! -f "$marlett" ]; }; then
    step "wine prefix up to date ($prefix)"
    exit 0
fi

mkdir -p "$build"
: >"$log"

if [ ! -f "$prefix/system.reg" ] || [ "${have%% *}" != "prefix=$PREFIX_RECIPE" ]; then
    if [ -d "$prefix" ]; then
        "$wineserver" -k >/dev/null 2>&1 || true
        rm -rf "$prefix"
    fi
    step "creating wine prefix $prefix"
    "$wine" wineboot -i >>"$log" 2>&1 || die "wineboot -i"
    "$wineserver" -w
    [ -f "$prefix/system.reg" ] || die "wineboot did not create the prefix"
fi

# --- 3. Fonts ----------------------------------------------------------------
step "building fonts Symbol, Wingdings"
"$py" -I "$repo/tools/fonts/make_fonts.py" "$fontdir" >>"$log" 2>&1 || die "make_fonts.py"
mkdir -p "$winfonts"
cp -f "$fontdir/symbol.otf" "$fontdir/wingding.ttf" "$winfonts/"
if [ -f "$marlett" ]; then cp -f "$marlett" "$winfonts/"; fi

# Liberation Sans without the positioning that crashes Wine's edit control.
step "building the dialog fonts"
"$py" -I "$repo/tools/fonts/make_dialog_fonts.py" "$fontdir" >>"$log" 2>&1 || die "make_dialog_fonts.py"
cp -f "$fontdir"/ovelin-liberation-sans-*.ttf "$winfonts/"

step "registering font replacements"
regfile="$build/font-replacements.reg"
cat >"$regfile" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Times New Roman"="Liberation Serif"
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
EOF
"$wine" reg import "Z:${regfile//\//\\}" >>"$log" 2>&1 || die "reg import"
"$wineserver" -w
grep -q '"Courier New"="Liberation Mono"' "$prefix/user.reg" || die "font replacements not in user.reg"

# On an X server without a window manager, Wine waits two seconds for one
# whenever it hides a managed window (every dialog a test closes). The
# in-process test program's windows are left unmanaged; the program's are not.
step "test program windows unmanaged"
regfile="$build/test-windows.reg"
cat >"$regfile" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\app_tests.exe\X11 Driver]
"Managed"="N"
EOF
"$wine" reg import "Z:${regfile//\//\\}" >>"$log" 2>&1 || die "reg import"
"$wineserver" -w

printf '%s\n' "$want" >"$stamp"
step "done"
