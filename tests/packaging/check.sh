#!/usr/bin/env bash
# Checks of the installed desktop program and its Debian package.
#   check.sh MODE BUILD_DIR SOURCE_DIR WORK_DIR
# MODE: install | desktop | mime | association | deb. desktop, mime and association read the tree
# that install leaves in WORK_DIR/root; deb makes its own. Exit 77 (skipped) when a tool the check
# needs is missing.
set -euo pipefail

mode=$1 build=$2 source=$3 work=$4
root=$work/root
share=$root/usr/share

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
}

# The type names the desktop entry claims, one a line.
claimed_types() {
    sed -n 's/^MimeType=//p' "$share/applications/zorvane.desktop" | tr ';' '\n' | sed '/^$/d'
}

check_install() {
    rm -rf "$root"
    DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log"
    local files=(bin/zorvane bin/zorvane-cli share/applications/zorvane.desktop
        share/icons/hicolor/scalable/apps/zorvane.svg share/mime/packages/zorvane.xml
        share/man/man1/zorvane.1.gz share/man/man1/zorvane-cli.1.gz
        share/doc/zorvane/copyright share/doc/zorvane/changelog.gz)
    for size in 16 24 32 48 64 128 256; do
        files+=("share/icons/hicolor/${size}x${size}/apps/zorvane.png")
    done
    for f in "${files[@]}"; do
        [ -s "$root/usr/$f" ] || fail "not installed: /usr/$f"
    done
    [ -x "$root/usr/bin/zorvane" ] && [ -x "$root/usr/bin/zorvane-cli" ] || fail "the programs are not executable"
    # A PNG's width and height are big-endian at bytes 16 and 20.
    for size in 16 256; do
        local png=$share/icons/hicolor/${size}x${size}/apps/zorvane.png
        [ "$(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)" = "$size $size" ] ||
            fail "$png is not ${size}x${size}"
    done
    [[ $(zcat "$share/man/man1/zorvane.1.gz") == *'zorvane \- '* ]] || fail "the editor's manual page has no NAME line"
}

check_desktop() {
    need desktop-file-validate
    local out
    out=$(desktop-file-validate "$share/applications/zorvane.desktop" 2>&1) || fail "$out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
}

check_mime() {
    need xmllint update-mime-database
    xmllint --noout --schema "$source/packaging/shared-mime-info.xsd" "$share/mime/packages/zorvane.xml"
    # Every type of ours the entry claims is one the XML declares (the model/ types are the
    # system's own).
    while read -r type; do
        grep -q "<mime-type type=\"$type\">" "$share/mime/packages/zorvane.xml" ||
            fail "the desktop entry claims $type, which zorvane.xml does not declare"
    done < <(claimed_types | grep -v '^model/')
    # In a data directory of its own, which must be on the search path for it to be silent.
    local data=$work/mimecheck
    rm -rf "$data" && mkdir -p "$data/mime" && cp -r "$share/mime/packages" "$data/mime/"
    local out
    out=$(XDG_DATA_HOME=$data update-mime-database "$data/mime" 2>&1) || fail "$out"
    [ -z "$out" ] || fail "update-mime-database: $out"
}

# Asks xdg-mime, as on a desktop it does not know, with only the installed tree and the system's
# data directories.
xdg() {
    env -i PATH="$PATH" HOME="$work/home" XDG_CURRENT_DESKTOP=X-Generic XDG_CONFIG_HOME="$work/home/config" \
        XDG_CONFIG_DIRS="$work/home/config" XDG_DATA_HOME="$data" XDG_DATA_DIRS="$data:/usr/share" xdg-mime "$@"
}

check_association() {
    need update-mime-database update-desktop-database xdg-mime mimetype
    data=$work/xdg
    rm -rf "$data" "$work/home" && mkdir -p "$data/mime" "$work/home/config"
    cp -r "$share/mime/packages" "$data/mime/" && cp -r "$share/applications" "$data/"
    XDG_DATA_HOME=$data update-mime-database "$data/mime"
    update-desktop-database "$data/applications"
    cp "$source/samples/box.vrl" "$work/BOX.VRL"
    for sample in "$source/samples/box.vrl" "$work/BOX.VRL"; do
        local type
        type=$(xdg query filetype "$sample")
        [ "$type" = application/x-zorvane-vrl ] || fail "xdg-mime gives '$type' for $sample"
    done
    # ".asc" is also plain text's and signatures': the first lines decide.
    local asc
    asc=$(xdg query filetype "$source/tests/data/secondreality_TESTI.ASC")
    [ "$asc" = application/x-zorvane-asc ] || fail "xdg-mime gives '$asc' for a 3D Studio ASCII file"
    printf 'just some text\n' >"$work/notes.asc"
    asc=$(xdg query filetype "$work/notes.asc")
    [ "$asc" != application/x-zorvane-asc ] || fail "any .asc file is taken for a 3D Studio ASCII file"
    # Our own types; the well-known ones (glTF, OBJ, STL) may have other programs on this machine.
    while read -r type; do
        local app
        app=$(xdg query default "$type")
        [ "$app" = zorvane.desktop ] || fail "xdg-mime gives '$app' as the program for $type"
    done < <(claimed_types | grep '^application/x-zorvane-')
}

check_deb() {
    need dpkg-deb dpkg-shlibdeps lintian
    local out=$work/deb
    rm -rf "$out" && mkdir -p "$out"
    (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
    local deb depends contents
    deb=$(ls "$out"/zorvane_*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libc6* ]] || fail "no runtime dependencies: $depends"
    contents=$(dpkg-deb -c "$deb")
    [[ $contents == *" ./usr/bin/zorvane"$'\n'* ]] || fail "the package has no /usr/bin/zorvane"
    # Warnings are listed but allowed; an error fails.
    lintian --fail-on error "$deb" 2> >(grep -v 'root privileges' >&2) || fail "lintian reports errors"
    rm -rf "$out/_CPack_Packages" # a second copy of the installed tree
}

case $mode in
install) check_install ;;
desktop) check_desktop ;;
mime) check_mime ;;
association) check_association ;;
deb) check_deb ;;
*) fail "unknown mode $mode" ;;
esac
