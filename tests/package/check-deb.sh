#!/usr/bin/env bash
# Packs the build folder's programs with `cpack -G DEB` and checks the package: lintian finds
# no error and no warning, its files, its control fields, the changelog's version, the bash
# completion, and that the packed programs, unpacked into a throw-away root, answer --version
# and run `quelbrix demo` from a folder of their own, finding the templates and the umlaut
# table in the package's share/quelbrix and nothing of the build folder.
# Usage: check-deb.sh BUILD_DIR WORK_DIR VERSION
set -euo pipefail
build=$1 work=$2 version=$3

rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/quelbrix_"$version"_*.deb)
[ -f "${debs[0]}" ] || { echo "no quelbrix_${version}_*.deb in $work"; exit 1; }
deb=${debs[0]}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Files: every one the programs need, nothing that is not meant for users.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for f in /usr/bin/quelbrix /usr/bin/quelbrix-gui /usr/share/quelbrix/data/umlaute2.dbf \
  /usr/share/applications/quelbrix-gui.desktop /usr/share/icons/hicolor/scalable/apps/quelbrix.svg \
  /usr/share/man/man1/quelbrix.1.gz /usr/share/man/man1/quelbrix-gui.1.gz \
  /usr/share/doc/quelbrix/README.md /usr/share/doc/quelbrix/copyright \
  /usr/share/doc/quelbrix/changelog.gz /usr/share/bash-completion/completions/quelbrix \
  /usr/share/lintian/overrides/quelbrix; do
  grep -qx "$f" "$work/files" || fail "missing $f"
done
# Every template the build wrote (the survey schema's template list), and only those.
built=$(cd "$build/bin/Templates" && ls -- *.dotx | sed 's|^|/usr/share/quelbrix/Templates/|')
packed=$(grep '^/usr/share/quelbrix/Templates/[A-Za-z0-9]*\.dotx$' "$work/files" | sort || true)
[ -n "$built" ] && [ "$packed" = "$(sort <<<"$built")" ] ||
  fail "templates packed: $(wc -w <<<"$packed") of the $(wc -w <<<"$built") built"
programs=$(grep '^/usr/bin/.' "$work/files" | sort | tr '\n' ' ')
[ "$programs" = "/usr/bin/quelbrix /usr/bin/quelbrix-gui " ] || fail "programs: $programs"
stray=$(grep -v '^/usr/\(bin\|share/\(quelbrix\|applications\|icons\|man\|doc\|bash-completion\|lintian\)\)\(/\|$\)' "$work/files" |
  grep -vx '/\|/usr/\|/usr/share/' || true)
[ -z "$stray" ] || fail "files outside the program's folders: $stray"

# Control fields: the libraries the programs link (found by dpkg-shlibdeps), the helpers recommended.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quelbrix ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
depends=", $(field Depends),"
for lib in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6 libcups2 libsqlite3-0 \
  libzip[0-9]+ libdeflate0 libisal2 libpugixml1v5 libssl3 libproj[0-9]+ proj-data 'libgeos-c1(v5)?'; do
  [[ $depends =~ ,\ ${lib}[\ ,] ]] || fail "Depends lacks $lib: $depends"
done
recommends=", $(field Recommends),"
for helper in 'libreoffice-writer-nogui \| libreoffice-writer' python3-uno cups; do
  [[ $recommends =~ ,\ ${helper}[\ ,] ]] || fail "Recommends lacks $helper: $recommends"
done

# Lintian, as Debian checks its own packages: no error, no warning (the information tags are
# shown). Lintian refuses to run as root unless told it may.
if command -v lintian >/dev/null; then
  lintian -I --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    { grep -v '^running with root' "$work/lintian.log"; fail "lintian found errors or warnings"; }
else
  fail "lintian is not installed (scripts/install-deps.sh test)"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"

# The changelog names this version in its first entry; the manual pages the day of the build.
first=$(zcat "$root/usr/share/doc/quelbrix/changelog.gz" | head -1)
[[ $first == "quelbrix ($version) "* ]] || fail "changelog's first entry: $first"
for page in quelbrix quelbrix-gui; do
  th=$(zcat "$root/usr/share/man/man1/$page.1.gz" | grep '^\.TH')
  [[ $th =~ \"[0-9]{4}-[0-9]{2}-[0-9]{2}\" ]] || fail "$page.1 has no ISO date: $th"
done

# The bash completion as bash uses it: words typed so far, the candidates offered.
completion=$root/usr/share/bash-completion/completions/quelbrix
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quelbrix
           printf "%s " "${COMPREPLY[@]}"' _ "$completion" "$@"
}
[ "$(complete_words quelbrix sh)" = "sheets " ] || fail "completion of 'sh': $(complete_words quelbrix sh)"
[ "$(complete_words quelbrix --db /tmp list --format "")" = "text tsv " ] ||
  fail "completion of list --format: $(complete_words quelbrix --db /tmp list --format "")"
[ "$(complete_words quelbrix settings Data)" = "DataFilesPfad DataFilesPrint " ] ||
  fail "completion of settings keys: $(complete_words quelbrix settings Data)"
[ "$(complete_words quelbrix sheets --types F,G)" = "F,GN F,GT " ] ||
  fail "completion of a type list: $(complete_words quelbrix sheets --types F,G)"

# The packed programs, unpacked elsewhere, run from yet another folder with a settings folder
# of their own and no resource folder given.
mkdir -p "$work/elsewhere" "$work/home"
run() {
  (cd "$work/elsewhere" && env -u QUELBRIX_RESOURCES HOME="$work/home" \
    XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen "$@")
}
answer=$(run "$root/usr/bin/quelbrix" --version) || fail "quelbrix --version failed"
[ "$answer" = "quelbrix $version" ] || fail "quelbrix --version: $answer"
answer=$(run "$root/usr/bin/quelbrix-gui" --version) || fail "quelbrix-gui --version failed"
[ "$answer" = "quelbrix-gui $version" ] || fail "quelbrix-gui --version: $answer"
# The manual page names every command and option that the program's help lists.
page=$(zcat "$root/usr/share/man/man1/quelbrix.1.gz" | sed 's/\\-/-/g')
help=$(run "$root/usr/bin/quelbrix" --help)
commands=$(sed -n '/^Befehle:/,$s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$help")
[ -n "$commands" ] || fail "no commands in quelbrix --help"
for command in "" $commands; do
  # shellcheck disable=SC2086
  for option in $(run "$root/usr/bin/quelbrix" $command --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qE -- "$option([^a-z-]|\$)" <<<"$page" || fail "quelbrix.1 lacks ${command:-quelbrix} $option"
  done
  [ -z "$command" ] || grep -q "^\.B[RI]* $command\b" <<<"$page" || fail "quelbrix.1 lacks $command"
  # The completion offers every command and option too.
  for word in $command $(run "$root/usr/bin/quelbrix" $command --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qE -- "(^|[ \"|])$word([ \"|)]|\$)" "$completion" || fail "completion lacks ${command:-quelbrix} $word"
  done
done

if run "$root/usr/bin/quelbrix" demo >"$work/demo.log" 2>&1; then
  out=$work/elsewhere/demo-output
  sheets=$(find "$out" -mindepth 2 -name '*.docx' -not -path "$out/Report/*" | wc -l)
  reports=$(find "$out/Report" -name '*.docx' | wc -l)
  [ "$sheets" -gt 0 ] && [ "$reports" -gt 0 ] ||
    fail "demo wrote $sheets clean copies and $reports reports into $out"
  [ -d "$work/elsewhere/demo-work/survey" ] || fail "demo wrote no sample database into its folder"
else
  tail -20 "$work/demo.log"
  fail "quelbrix demo from $work/elsewhere failed"
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s); package: $deb"; exit 1; }
echo "ok: $deb"
