#!/usr/bin/env bash
# check-native-names.sh SRC: fails when code under SRC, outside SRC/platform,
# hands a path to something that encodes it as UTF-8 text. A file name is
# bytes: one that is not UTF-8 travels as platform::fromNativeName() made it,
# and only platform::nativeName() gives its bytes back. Qt's file classes and
# its 8-bit conversions put U+FFFD in place of such a byte, so a file in a
# folder named with byte 0xE9 is then "not found". Every file system call on a
# path goes through platform (FileName.h, FileSystem.h, Path.h).
#
# Refused outside platform (comments are not looked at):
#   QFile::encodeName / decodeName, toLocal8Bit / fromLocal8Bit,
#     QUrl's toLocalFile / fromLocalFile (platform's pathOfFileUrl, fileUrl)
#   Qt's file classes: QFile, QFileInfo, QDir (but its pure text functions
#     cleanPath, isAbsolutePath, isRelativePath, to/fromNativeSeparators),
#     QDirIterator, QSaveFile, QLockFile, QStorageInfo
#   toUtf8() / toStdString() / toLatin1() of something named as a path
#     (…path, …file, …folder, …dir), and the reverse QString::fromUtf8 /
#     fromStdString of one (a constant, kName, is not a path)
set -u
src=${1:?usage: check-native-names.sh SRC}
status=0

rules=(
  'QFile::(encodeName|decodeName)'
  '\b(toLocal8Bit|fromLocal8Bit|toLocalFile|fromLocalFile)\b'
  '\bQ(File|FileInfo|DirIterator|SaveFile|LockFile|StorageInfo)\b'
  '\bQDir\b(?!::(cleanPath|isAbsolutePath|isRelativePath|toNativeSeparators|fromNativeSeparators)\b)'
  '\b\w*(?i:path|file|folder|dir)(\(\))?\.(toUtf8|toStdString|toLatin1)\(\)'
  'QString::(fromUtf8|fromStdString)\(\s*(?!k[A-Z])[\w.>-]*(?i:path|file|folder|dir)(\(\))?(\.(c_str|data|constData)\(\))?\s*\)'
)
pattern=$(IFS='|'; echo "${rules[*]}")

# The lines that match anywhere, then each looked at again without its comment.
while IFS= read -r hit; do
  where=${hit%%:*}
  rest=${hit#*:}
  number=${rest%%:*}
  line=${rest#*:}
  case "$where" in platform/*) continue ;; esac
  case "$line" in *'#'*include*) continue ;; esac
  code=${line%%//*}
  if printf '%s\n' "$code" | grep -qP -- "$pattern"; then
    echo "native name: $where:$number: $line"
    status=1
  fi
done < <(cd "$src" && grep -rnP --include='*.cpp' --include='*.h' -- "$pattern" . | sed 's#^\./##')

[ $status -eq 0 ] && echo "native names: every path reaches the system through platform"
exit $status
