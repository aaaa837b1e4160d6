#!/usr/bin/env bash
# check_version_resource.sh OBJDUMP VERSION MODULE...: each module's version resource, read back
# from its .rsrc section, names the product, describes the file and gives VERSION.
set -uo pipefail
objdump=$1 version=$2; shift 2
status=0
for module in "$@"; do
  name=$(basename "$module")
  # The section's bytes as UTF-16 text, one string a line (at both byte parities, so that the
  # strings are found wherever the linker placed the resource).
  strings=$("$objdump" -s -j .rsrc "$module" | perl -ne '
    $hex .= $1 =~ s/ //gr if /^ [0-9a-f]+ (.{35})/;
    END {
      my $bytes = pack("H*", $hex);
      for my $start (0, 1) {
        print map({ $_ >= 32 && $_ < 127 ? chr($_) : "\n" } unpack("v*", substr($bytes, $start))), "\n";
      }
    }' | grep -v '^$')
  value() { awk -v key="$1" 'found { print; exit } $0 == key { found = 1 }' <<<"$strings"; }
  description=$(value FileDescription) product=$(value ProductName)
  file_version=$(value FileVersion) product_version=$(value ProductVersion)
  [ "$product" = "Corvane panel instruments" ] || { echo "FAIL $name: ProductName is '$product'"; status=1; }
  [[ $description == Corvane*gauge ]] || { echo "FAIL $name: FileDescription is '$description'"; status=1; }
  [ "$file_version" = "$version" ] || { echo "FAIL $name: FileVersion is '$file_version', not $version"; status=1; }
  [ "$product_version" = "$version" ] || { echo "FAIL $name: ProductVersion is '$product_version'"; status=1; }
  [ "$(value OriginalFilename)" = "$name" ] || { echo "FAIL $name: OriginalFilename is '$(value OriginalFilename)'"; status=1; }
  [ $status -eq 0 ] && echo "ok $name: '$description', '$product' $file_version"
done
exit $status
