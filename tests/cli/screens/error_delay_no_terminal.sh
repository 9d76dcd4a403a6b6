# --error-delay with stdin from /dev/null: the prompt, no dots, no waiting.
export TEMP=/tmp
"$TARVOLIN" --error-delay -n < /dev/null 2>&1 | grep -a "Press"
