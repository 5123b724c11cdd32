# bash completion for qinglan-cli
_qinglan_cli() {
  local cur prev words cword
  _init_completion || return

  local commands="find rules note scan large software-cache clean history restore purge check-updates silence"
  local command="" word
  for word in "${words[@]:1:cword-1}"; do
    case $word in
      -*) ;;
      *) command=$word; break ;;
    esac
  done

  case $prev in
    --cache | --app-dir)
      _filedir -d
      return
      ;;
    --db)
      _filedir db
      return
      ;;
    --mask | --exclude | --min-size | --max-size | --min-mb | --threads)
      return
      ;;
  esac

  local options
  case $command in
    "") options="--help --version"; [[ $cur != -* ]] && options=$commands ;;
    find) options="--mask --exclude --no-subfolders --no-folders --min-size --max-size --json --threads --help" ;;
    rules) options="--db --json --check --help" ;;
    note) options="--db --help" ;;
    scan) options="--cache --app-dir --json --summary --threads --help" ;;
    large) options="--cache --min-mb --media --keep-lva --json --threads --help" ;;
    software-cache) options="--app-dir --json --threads --help" ;;
    clean) options="--cache --app-dir --software-cache --yes --trash --include-in-use --json --help" ;;
    history) options="--app-dir --json --help" ;;
    restore) options="--app-dir --help" ;;
    purge) options="--older-than --app-dir --json --help" ;;
    check-updates) options="--cache --app-dir --json --help" ;;
    silence) options="--app-dir --help" ;;
  esac

  if [[ $command == find && $cur != -* ]]; then
    _filedir -d
    return
  fi
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
}
complete -F _qinglan_cli qinglan-cli
