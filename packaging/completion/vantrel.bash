# bash completion for vantrel. The words come from `vantrel complete`, so the
# commands, their options, the languages and the app ids of the last catalog
# are always the installed tool's own. Where it offers nothing (a manifest
# file for `check`), bash completes file names.
_vantrel()
{
    local IFS=$'\n'
    local words
    words=$("${COMP_WORDS[0]}" complete "${COMP_WORDS[@]:1:COMP_CWORD-1}" 2>/dev/null)
    COMPREPLY=($(compgen -W "$words" -- "${COMP_WORDS[COMP_CWORD]}"))
}
complete -o default -F _vantrel vantrel
