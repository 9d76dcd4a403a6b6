# --error-delay on a terminal with no key pressed: the prompt and exactly 30 dots, about 7.5 s.
# The terminal's input stays open (no key, no end of input) for longer than the wait.
inner='s=$(date +%s%N); "$TARVOLIN" --error-delay -n 2>&1; echo "elapsed $(( ($(date +%s%N) - s) / 1000000 ))"'
output=$(sleep 10 | TARVOLIN="$TARVOLIN" script -qec "bash -c '$inner'" /dev/null | tr -d '\r')
echo "$output" | grep -o 'Press Any Key to Continue\.*' |
  awk '{ print "dots: " length($0) - length("Press Any Key to Continue...") }'
elapsed=$(echo "$output" | sed -n 's/^elapsed //p')
[ "$elapsed" -ge 7000 ] && [ "$elapsed" -le 9500 ] && echo "waited about 7.5 s" || echo "waited $elapsed ms"
