# The text item "abc" with every keyword form of the SHA2_384 row.
for form in '--384' '-384' '/384' '--384' '--sha384' '-SHA384' '/Sha384' '--SHA384' '--sha2_384' '-SHA2_384' '/Sha2_384' '--SHA2_384'; do
  "$TARVOLIN" "$form" abc
done
