# bash completion for quenlor-cli: commands, options, edit operations and option names, as the
# installed program itself lists them.
_quenlor_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local words
    words=$("${COMP_WORDS[0]}" --complete -- "${COMP_WORDS[@]:1:COMP_CWORD-1}" 2>/dev/null) ||
        return
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
        return
    fi
    # Words that are no options are the command's own (a command, an operation, a name, a
    # format); where there are none, a path goes.
    local own
    own=$(grep -v '^-' <<<"$words")
    if [[ -n $own ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$own" -- "$cur")
    else
        compopt -o default
        COMPREPLY=()
    fi
}
complete -F _quenlor_cli quenlor-cli
