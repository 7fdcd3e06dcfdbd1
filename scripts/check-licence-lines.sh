#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists every source file whose first lines do not name the licence; fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
missing=0
while IFS= read -r file; do
    if ! head -3 "$file" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
        echo "no licence line: $file"
        missing=1
    fi
done < <(find CMakeLists.txt src python tests bench examples scripts cmake man packaging .ci -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' -o -name CMakeLists.txt \
    -o -name run -o -name '*.1.in' \) -not -path '*/corpus/*')
exit "$missing"
