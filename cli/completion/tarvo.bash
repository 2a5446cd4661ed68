# bash completion for tarvo, tarvo32 and tarvo-printersim. The programs answer the questions
# themselves (`--complete`), so commands, options, model, page and setting names always match
# the installed version.

_tarvo_complete() {
    local IFS=$'\n'
    local candidates
    candidates=$("${COMP_WORDS[0]}" --complete "$COMP_CWORD" -- "${COMP_WORDS[@]}" 2>/dev/null)
    # No candidates: the word is a file name (a profile, a configuration file, a graphic...).
    if [ -z "$candidates" ]; then
        COMPREPLY=($(compgen -f -- "${COMP_WORDS[COMP_CWORD]}"))
        return
    fi
    COMPREPLY=($(compgen -W "$candidates" -- "${COMP_WORDS[COMP_CWORD]}"))
}

complete -o filenames -F _tarvo_complete tarvo tarvo32 tarvo-printersim
