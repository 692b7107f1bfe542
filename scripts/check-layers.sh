#!/usr/bin/env bash
# check-layers.sh SRC: fails when an #include under SRC runs against the layers.
#   platform                  the ground floor: includes no other subsystem
#   engine                    platform only
#   lang, controls            platform only
#   options                   lang, controls, platform
#   settings                  options (whose state it loads and saves), lang (the
#                             texts of its messages; lang lies below options), platform
#   filelist, convert, player anything below app; player never convert
#   cli                       anything below app, but no widget, no controls and no
#                             options: it reaches the options through settings
#   app                       the top floor; nothing else includes it
set -u
src=${1:?usage: check-layers.sh SRC}
status=0

# allowed FOLDER LIST: the subsystems FOLDER may include besides itself.
forbid_except() {
  local folder=$1 allowed=$2 line target
  [ -d "$src/$folder" ] || return 0
  while IFS= read -r line; do
    target=${line#*#include \"}
    target=${target%%/*}
    case " $allowed $folder " in
      *" $target "*) ;;
      *) echo "layer: $line"; status=1 ;;
    esac
  done < <(grep -rnE '^\s*#\s*include "[a-z]+/' "$src/$folder" --include='*.h' --include='*.cpp' | sed "s#^$src/##")
}

all="platform engine lang controls options settings filelist convert player cli app"
forbid_except platform ""
forbid_except engine "platform"
forbid_except lang "platform"
forbid_except controls "platform"
forbid_except options "lang controls platform"
forbid_except settings "options lang platform"
forbid_except filelist "${all/ app/}"
forbid_except convert "${all/ app/}"
forbid_except player "$(echo "$all" | sed 's/ convert//; s/ app//')"
forbid_except cli "$(echo "$all" | sed 's/ controls//; s/ options//; s/ app//')"

# The command line never sees a widget, not even through a subsystem's views.
while IFS= read -r line; do
  echo "layer: $line"; status=1
done < <(grep -rnE '#\s*include ("[a-z]+/[A-Za-z_]*(Widget|View|Panel|Dialog|Window|Delegate)\.h"|"[a-z]+/Qt[A-Za-z]*\.h"|<(QtWidgets|QWidget|QApplication)[/>])' \
           "$src/cli" --include='*.h' --include='*.cpp' 2>/dev/null | sed "s#^$src/##")

[ $status -eq 0 ] && echo "layers: every include runs downhill"
exit $status
