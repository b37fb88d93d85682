# bash completion for selvanor-cli: subcommands, their options, and file names elsewhere.
_selvanor_cli() {
  local cur prev words cword
  _init_completion || return

  local top="build import export check tags homonym unregistered autocorrect merge reference
             examples stats-file stats stats-listing list review batch"
  local cmd="" sub="" i
  for ((i = 1; i < cword; i++)); do
    case "${words[i]}" in
      -*) ;;
      *) if [[ -z $cmd ]]; then cmd=${words[i]}; elif [[ -z $sub ]]; then sub=${words[i]}; fi ;;
    esac
  done

  case "$prev" in
    --format)
      if [[ $cmd == import ]]; then COMPREPLY=($(compgen -W "auto text conllu" -- "$cur"))
      else COMPREPLY=($(compgen -W "text conllu tsv" -- "$cur")); fi
      return ;;
    --encoding) COMPREPLY=($(compgen -W "auto cp949 utf-8 utf-16" -- "$cur")); return ;;
    --type) COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur")); return ;;
    --level) COMPREPLY=($(compgen -W "1 2 3" -- "$cur")); return ;;
    --prefix | --options | --classes | --group | --word | --analysis | --range | --date) return ;;
    --tags | --out | --list | --corrections | --reanalysis | --compare)
      _filedir; return ;;
  esac

  if [[ -z $cmd ]]; then
    COMPREPLY=($(compgen -W "$top --help --version" -- "$cur"))
    return
  fi

  local subs="" opts="--help"
  case "$cmd" in
    export) subs="document homonym unregistered reference"; opts+=" --format --utf8" ;;
    homonym) subs="build lookup add remove merge" ;;
    unregistered) subs="find add remove merge"; opts+=" --replace" ;;
    reference) subs="build lookup merge" ;;
    list) subs="show" ;;
    batch) subs="autocorrect check"; opts+=" --corrections --tags --list --group" ;;
    build) opts+=" --prefix --no-da" ;;
    import) opts+=" --format --encoding --prefix --no-da --replace-unmappable" ;;
    check) opts+=" --tags" ;;
    examples) opts+=" --word --analysis --out" ;;
    stats) opts+=" --type --tags --out --list --group --options --sort --descending --reanalysis
                  --classes --level --range --build-missing --per-million --doc-range --utf8" ;;
    stats-listing) opts+=" --type --tags --out --classes --level --range" ;;
    review) opts+=" --out --compare" ;;
  esac
  if [[ -n $subs && -z $sub ]]; then
    COMPREPLY=($(compgen -W "$subs $opts" -- "$cur"))
    return
  fi
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$opts" -- "$cur"))
    return
  fi
  _filedir
}
complete -F _selvanor_cli selvanor-cli
