# bash completion for kestrova-cli: the commands and options come from the program's own help, the
# sources from its device list, so the completion always matches the installed program.

_kestrova_cli() {
    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]} program=${COMP_WORDS[0]}
    if [[ $COMP_CWORD -eq 1 ]]; then
        local commands
        commands=$("$program" --help 2>/dev/null | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$current"))
        return
    fi
    case $previous in
        --source)
            local sources
            sources="testpattern $("$program" devices 2>/dev/null | awk -F '\t' '$1 == "vfw" || $1 == "wdm" {print $1 ":" $2}')"
            COMPREPLY=($(compgen -W "$sources" -- "$current"))
            return
            ;;
        --out | --insert | --in)
            COMPREPLY=($(compgen -f -- "$current"))
            return
            ;;
    esac
    if [[ $current == -* ]]; then
        local options
        options=$("$program" "${COMP_WORDS[1]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options --help" -- "$current"))
        return
    fi
    COMPREPLY=($(compgen -f -- "$current"))
}
complete -o filenames -F _kestrova_cli kestrova-cli
