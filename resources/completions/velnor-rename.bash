# bash completion for velnor-rename. The option lists below are the ones
# "velnor-rename --help" shows; a test keeps them in step with it.
_velnor_rename()
{
    local cur prev words cword
    # -n : keeps "old-name:desc" one word.
    _init_completion -s -n : || return

    local with_value="--name --ext --search --replace --case --start --step --digits --sort --date-from --files-from --names-from --map --preset --save-preset --include --exclude"
    local flags="--regex --ignore-case --counter-per-folder --24-hour --ascii --companions --unique --make-folders --rename-folders --only-folders --natural --no-hidden --null --list-presets --edit --apply --no-journal --json --history --undo --redo --help --version --"

    case $prev in
        --case)
            COMPREPLY=($(compgen -W 'keep lower upper title sentence' -- "$cur"))
            return ;;
        --sort)
            COMPREPLY=($(compgen -W 'old-name size date location old-name:desc size:desc date:desc location:desc' -- "$cur"))
            __ltrim_colon_completions "$cur"
            return ;;
        --date-from)
            COMPREPLY=($(compgen -W 'modified created taken taken,modified taken,created,modified' -- "$cur"))
            return ;;
        --files-from | --names-from | --map)
            _filedir
            return ;;
        --undo | --redo)
            # The IDs of the runs, the first column of --history.
            COMPREPLY=($(compgen -W "$(velnor-rename --history 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
            return ;;
        --name | --ext | --search | --replace | --start | --step | --digits | --preset | --save-preset | --include | --exclude)
            return ;;
    esac

    local i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == -- ]]; then
            _filedir
            return
        fi
    done

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$with_value $flags" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _velnor_rename velnor-rename
