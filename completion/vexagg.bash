# bash completion for vexagg: its commands, each command's options, file and folder names
# where a path goes, and for extract the archive's member names. The options are those of
# `vexagg COMMAND --help`; a change there is a change here.

# Paths for the current word: bash-completion's _filedir where it is loaded (quoting, ~ and
# folders done its way), else compgen, readline marking folders with "/". $1: "-d" for folders
# only.
_vexagg_paths() {
  if declare -F _filedir >/dev/null; then
    _filedir "$@"
    return
  fi
  local IFS=$'\n' cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=($(compgen "${1:--f}" -- "$cur"))
  compopt -o filenames 2>/dev/null
}

# The member names of archive $1 (the third column of `vexagg list`) that start with $2. The
# archive's word is read as the shell will pass it, without evaluating it: a leading ~/ is the
# home folder, and a blank after a backslash is a blank.
_vexagg_members() {
  local IFS=$'\n' archive=$1
  [[ $archive == "~/"* ]] && archive=$HOME/${archive:2}
  archive=${archive//\\ / }
  COMPREPLY=($(compgen -W "$(command vexagg list "$archive" 2>/dev/null | cut -f3)" -- "$2"))
}

_vexagg() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command=${COMP_WORDS[1]-} options
  COMPREPLY=()
  if [ "$COMP_CWORD" -eq 1 ]; then
    COMPREPLY=($(compgen -W 'list update extract template gallery --help -h --version' \
      -- "$cur"))
    return
  fi
  case $command in
  list) options='--help' ;;
  update) options='--add --resize --transparent -n --dry-run --help' ;;
  extract) options='-C -O --png --raw --palette --bits --help' ;;
  template) options='--bits --help' ;;
  gallery) options='--palette --open --help' ;;
  *) return ;;
  esac
  # An option's value: a folder, a number or a file.
  case $prev in
  -C) _vexagg_paths -d; return ;;
  --bits) COMPREPLY=($(compgen -W '6 8' -- "$cur")); return ;;
  --transparent) return ;;
  --palette) _vexagg_paths; return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi
  # extract takes member names after its archive, the first word that is no option or value.
  if [ "$command" = extract ]; then
    local i archive=
    for ((i = 2; i < COMP_CWORD; i++)); do
      case ${COMP_WORDS[i]} in
      -C | --palette | --bits) ((i++)) ;;
      -*) ;;
      *) archive=${COMP_WORDS[i]}; break ;;
      esac
    done
    if [ -n "$archive" ]; then
      _vexagg_members "$archive" "$cur"
      return
    fi
  fi
  _vexagg_paths
}
complete -F _vexagg vexagg
