# bash completion for tallyvault-cli: commands, their options, files and folders.

_tallyvault_cli() {
    local cur prev
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    local commands="settings cards identify profile archive verify validate make-card"
    local globals="--data-dir --card-image --yes --no --help --version"

    # The command: the first word after the global options and their values.
    local i command="" kind=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case "${COMP_WORDS[i]}" in
            --data-dir|--card-image) ((i++)) ;;
            -*) ;;
            *)
                if [[ -z "$command" ]]; then
                    command="${COMP_WORDS[i]}"
                elif [[ "$command" == archive && -z "$kind" ]]; then
                    kind="${COMP_WORDS[i]}"
                fi
                ;;
        esac
    done

    # Values of the options before the word.
    case "$prev" in
        --data-dir|--out|--to|--extend)
            COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --card-image|--card)
            return ;;
        --report)
            COMPREPLY=($(compgen -f -X '!*.@(html|htm|pdf)' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --archive-log)
            COMPREPLY=($(compgen -f -X '!*.@(log|LOG)' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --scale-key)
            COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --family)
            COMPREPLY=($(compgen -W "dx zt4" -- "$cur")); return ;;
        --purpose)
            COMPREPLY=($(compgen -W "archive verify" -- "$cur")); return ;;
        --damage)
            COMPREPLY=($(compgen -W "payload chain signature ds-version" -- "$cur")); return ;;
        --origin-incident)
            COMPREPLY=($(compgen -W "C F P R" -- "$cur")); return ;;
        --seed|--start|--days|--receipts-per-day|--multi-sector|--store-files|--total-sectors|--cust-id|--closure-sectors|--from|--until)
            return ;;
    esac

    if [[ -z "$command" ]]; then
        if [[ "$cur" == -* ]]; then
            COMPREPLY=($(compgen -W "$globals" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    local options=""
    case "$command" in
        settings) options="" ;;
        cards) options="--json" ;;
        identify) options="--card --purpose --json" ;;
        profile) options="--card --json" ;;
        verify) options="--card --report --all-findings --scale-key --json" ;;
        validate) options="--archive-log --card --report --json" ;;
        archive)
            if [[ -z "$kind" ]]; then
                COMPREPLY=($(compgen -W "complete continue date" -- "$cur")); return
            fi
            options="--card --to --json"
            [[ "$kind" == date ]] && options+=" --from --until"
            ;;
        make-card)
            options="--family --out --seed --start --days --receipts-per-day --multi-sector --unclosed-tail
                     --split-store --store-files --total-sectors --not-fused --empty --cust-id --damage
                     --short-last-sector --origin-incident --closure-sectors --incident-after-closures --extend"
            ;;
    esac
    if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ "$command" == verify || "$command" == validate ]]; then
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -F _tallyvault_cli tallyvault-cli
