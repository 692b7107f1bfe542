#!/usr/bin/env bash
# check-layers.sh SRC: fails when an #include under SRC runs against the layers.
#   platform                  the ground floor: includes no other subsystem
#   engine                    platform only
#   disc                      engine, platform: sheets, layouts and tracks over the engine
#   tags                      disc (a track's tags are its sheet's), engine, platform
#   loudness                  tags (ReplayGain fields), disc, engine, platform
#   lang, controls            platform only
#   options                   lang, controls, platform
#   settings                  options (whose state it loads and saves), lang (the
#                             texts of its messages; lang lies below options), platform
#   remedy                    settings (where the component's sources are kept), lang,
#                             engine (the WMA check), platform
#   filelist                  anything below it: never convert, player, cli or app
#   convert                   anything below it and filelist: never player, cli or app
#   player                    anything below it and filelist: never convert, cli or app
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

# A folder without rules is a mistake, not a free pass.
known="platform engine disc tags loudness lang controls options settings remedy filelist convert player cli app"
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  case " $known " in
    *" $folder "*) ;;
    *) echo "layer: src/$folder has no place in the layers (add its rules to check-layers.sh)"; status=1 ;;
  esac
done

sound="platform engine disc tags loudness"
settings="platform lang controls options settings"
below_work="$sound $settings remedy"
forbid_except platform ""
forbid_except engine "platform"
forbid_except disc "engine platform"
forbid_except tags "disc engine platform"
forbid_except loudness "tags disc engine platform"
forbid_except lang "platform"
forbid_except controls "platform"
forbid_except options "lang controls platform"
forbid_except settings "options lang platform"
forbid_except remedy "settings lang engine platform"
forbid_except filelist "$below_work"
forbid_except convert "$below_work filelist"
forbid_except player "$below_work filelist"
forbid_except cli "$(echo "$below_work" | sed 's/ controls//; s/ options//') filelist convert player"

# The command line never sees a widget, not even through a subsystem's views.
while IFS= read -r line; do
  echo "layer: $line"; status=1
done < <(grep -rnE '#\s*include ("[a-z]+/[A-Za-z_]*(Widget|View|Panel|Dialog|Window|Delegate)\.h"|"[a-z]+/Qt[A-Za-z]*\.h"|<(QtWidgets|QWidget|QApplication)[/>])' \
           "$src/cli" --include='*.h' --include='*.cpp' 2>/dev/null | sed "s#^$src/##")

[ $status -eq 0 ] && echo "layers: every include runs downhill"
exit $status
