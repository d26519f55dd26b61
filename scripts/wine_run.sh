#!/usr/bin/env bash
# Runs one Windows program under Wine; ctest uses it for every test binary.
. "$(dirname "$0")/wine_session.sh"
exec wine "$@"
