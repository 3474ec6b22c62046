#!/usr/bin/env bash
# The window and the command-line tool speak to a processor only through the
# session's operations: neither builds a frame or a command byte list, nor
# reaches the link's internals. Prints every offending line; exit 1 on any.
set -u
root=${1:?usage: check_layering.sh SOURCE_ROOT}
patterns=(
  'SendCommandBytes' 'SendParamFrame' 'SendBlockWrite' 'RouteFrame' 'WriteUsbData' 'NetSend'
  'BuildParamFrame' 'BuildCommandFrame' 'BuildBlockWriteFrame' 'BuildSerialApiFrame' 'SendPlugRequest'
  'MakeUsbReport' 'LinkState' '\.Link\(\)' '\.Tcp\(\)' '\.Usb\(\)' '\.Dispatcher\(\)' 'core::link::cmd::'
  'link/commands\.h' 'link/frames\.h' 'link/plug_requests\.h'
)
status=0
for dir in src/ui src/cli; do
  for p in "${patterns[@]}"; do
    if hits=$(grep -rnE --include='*.cpp' --include='*.h' -- "$p" "$root/$dir"); then
      printf '%s\n' "$hits"
      status=1
    fi
  done
done
if [ $status -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $status
