#!/usr/bin/env bash
# check-package.sh DEB BUILD_DIR: checks the Debian package scripts/package.sh
# made from BUILD_DIR. lintian finds no error; `cmake --install` installs the
# same files; the unpacked program runs (--version, one convert) as a user
# other than root against the unpacked files; the desktop entry and the
# AppStream metainfo validate; the manual page renders and it and the
# completions name every option --help names. Prints one line per check and
# "N passed, N failed" at the end; exits 1 when any failed.
set -uo pipefail
deb=$(realpath "${1:?the .deb to check}")
build=$(realpath "${2:?the build folder it was made from}")
work=$(mktemp -d)
user=""
cleanup() {
  [ -z "$user" ] || userdel "$user" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
root=$work/root
dpkg-deb -x "$deb" "$root"

passed=0
failed=0
check() { # check NAME COMMAND...: runs COMMAND, its output kept for a failure
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    printf '%s\n' "$out" | sed 's/^/     /'
  fi
}

# lintian: no error; its notes are shown (README.md, "Install", says why each is kept).
lintian_clean() {
  lintian --fail-on error --tag-display-limit 0 "$deb"
}
check "lintian reports no error" lintian_clean
lintian --display-info --pedantic --tag-display-limit 0 "$deb" 2>&1 | grep -v "root privileges" | sed 's/^/     /'

# One install, one manifest: cmake --install puts the package's files.
same_files() {
  local staged=$work/staged
  DESTDIR=$staged cmake --install "$build" >/dev/null || return 1
  diff <(cd "$staged" && find . ! -type d | sort) <(cd "$root" && find . ! -type d | sort) || return 1
  # The manifest names each file by its place below DESTDIR.
  diff <(sort "$build/install_manifest.txt") <(cd "$staged" && find . ! -type d | sed 's/^\.//' | sort)
}
check "cmake --install installs the package's files, each in install_manifest.txt" same_files

nothing_writable() {
  local found
  found=$(find "$root" -perm /022 ! -type l)
  [ -z "$found" ] || { echo "writable by others: $found"; return 1; }
  ! find "$root" -path "$root/var/*" | grep -q .
}
check "nothing in the package is writable but by root, nothing under /var" nothing_writable

# The unpacked program as a user other than root.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  user=tonemill-check-$$
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  as_user=(setpriv "--reuid=$user" "--regid=$user" --init-groups)
else
  echo "     (not root: the program runs as $(id -un), no throwaway user needed)"
fi
home=$work/home
mkdir -p "$home/in"
ffmpeg -loglevel error -f lavfi -i "sine=f=440:d=2" "$home/in/tone.wav"
[ -z "$user" ] || chown -R "$user:" "$home"
run_tonemill() {
  env -i PATH=/usr/bin:/bin HOME="$home" LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$home/.config" \
    XDG_STATE_HOME="$home/.local/state" XDG_CACHE_HOME="$home/.cache" \
    "${as_user[@]}" "$root/usr/bin/tonemill" "$@"
}
version_names_licence() {
  local out
  out=$(run_tonemill --version) || return 1
  grep -q "^tonemill $(dpkg-deb -f "$deb" Version)\$" <<<"$out" && grep -q "GPL-3.0-or-later" <<<"$out"
}
check "unpacked tonemill --version names the version and the licence" version_names_licence
converts() {
  local out
  out=$(run_tonemill convert --format mp3 --output "$home/out" "$home/in/tone.wav") || { echo "$out"; return 1; }
  echo "$out"
  [ -s "$home/out/tone.mp3" ] && grep -q "	Complete	" <<<"$out"
}
check "unpacked tonemill convert writes an MP3 with lame" converts

check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/tonemill.desktop"
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
icons_present() {
  local png
  for size in 16 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/tonemill.png
    # A PNG's width and height: big-endian words at bytes 16 and 20.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(((w0 << 24) + (w1 << 16) + (w2 << 8) + w3)) -eq "$size" ] &&
      [ $(((h0 << 24) + (h1 << 16) + (h2 << 8) + h3)) -eq "$size" ] || { echo "$png is not $size x $size"; return 1; }
  done
  [ -s "$root/usr/share/icons/hicolor/scalable/apps/tonemill.svg" ]
}
check "icons in every size, and the SVG" icons_present

# The manual page and the completions against --help.
# Long options wherever the texts name them; short ones where a usage line
# brackets them ("[-0]"): "-5" in "(-40 to -5)" is no option.
helps=$(run_tonemill --help; run_tonemill probe --help; run_tonemill convert --help)
options=$( (grep -oE -- '(^|[^a-z0-9-])--[a-z][a-z0-9-]*' <<<"$helps" | grep -oE -- '--[a-z0-9-]+'
  grep -oE -- '\[-[0-9a-z]\]' <<<"$helps" | tr -d '[]') | sort -u)
man_names_options() {
  local page missing=""
  page=$(MANWIDTH=200 man --warnings -l "$root/usr/share/man/man1/tonemill.1.gz" 2>&1 >/dev/null)
  [ -z "$page" ] || { echo "man warns: $page"; return 1; }
  page=$(MANWIDTH=200 man -l "$root/usr/share/man/man1/tonemill.1.gz" | sed 's/‐/-/g')
  for option in $options; do grep -qe "$option" <<<"$page" || missing+=" $option"; done
  [ -z "$missing" ] || { echo "not in the manual page:$missing"; return 1; }
}
check "the manual page renders and names every option --help names" man_names_options
completions_name_options() {
  local file pattern missing=""
  for file in bash-completion/completions/tonemill zsh/vendor-completions/_tonemill \
    fish/vendor_completions.d/tonemill.fish; do
    for option in $options; do
      # fish names a short option "-s 0", a long one "-l name".
      [[ $file == *.fish && $option != --* ]] && pattern="-s ${option#-}" || pattern=${option#--}
      grep -qe "$pattern" "$root/usr/share/$file" || missing+=" $file:$option"
    done
  done
  [ -z "$missing" ] || { echo "not completed:$missing"; return 1; }
  bash -n "$root/usr/share/bash-completion/completions/tonemill" || return 1
  ! command -v zsh >/dev/null || zsh -n "$root/usr/share/zsh/vendor-completions/_tonemill" || return 1
  ! command -v fish >/dev/null || fish -n "$root/usr/share/fish/vendor_completions.d/tonemill.fish"
}
check "the completions name every option --help names" completions_name_options
bash_completes() {
  local got
  got=$(bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"
    COMP_WORDS=(tonemill convert --format ""); COMP_CWORD=3; COMP_LINE="tonemill convert --format "
    COMP_POINT=${#COMP_LINE}; _tonemill; echo "${COMPREPLY[*]}"' _ "$root/usr/share/bash-completion/completions/tonemill")
  [ "$got" = "wav wma mp3 ogg flac opus m4a" ] || { echo "tonemill convert --format <Tab>: $got"; return 1; }
}
check "bash completes the formats after --format" bash_completes

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
