# Windows: --error-delay on a console with no key pressed: the prompt and exactly 30 dots, about
# 7.5 s. Wine gives the program a console on the terminal and redraws it with escape sequences,
# which are removed before counting.
inner='s=$(date +%s%N); "$TARVOLIN" --error-delay -n 2>&1; echo "elapsed $(( ($(date +%s%N) - s) / 1000000 ))"'
output=$(sleep 10 | TARVOLIN="$TARVOLIN" script -qec "bash -c '$inner'" /dev/null |
         tr -d '\r' | sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g')
echo "$output" | grep -ao 'Press Any Key to Continue\.*' |
  awk '{ print "dots: " length($0) - length("Press Any Key to Continue...") }'
elapsed=$(echo "$output" | sed -n 's/^elapsed //p')
[ "$elapsed" -ge 7000 ] && [ "$elapsed" -le 9500 ] && echo "waited about 7.5 s" || echo "waited $elapsed ms"
